// Times Palvo's engine against GNU split and cp on the same files in the same folder, in
// interleaved rounds, and judges the results against the project's goals. Palvo's job ends
// only once its files are on the medium: its time without that flush is compared with the
// peers as they are ("plain"), its whole time with the peers followed by sync ("durable").
// Usage: palvo_bench [--quick] [--rounds N] [--folder DIR] [--medium ext4|xfs|btrfs]
// The last line is "bench: PASS" or "bench: FAIL <which goals>".
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
constexpr std::int64_t KiB = 1024, MiB = 1024 * KiB, GiB = 1024 * MiB;

struct Run {
    double seconds = 0;
    double peakMiB = 0;
    double flushSeconds = 0;  // palvo_cut's: from its last byte moved to its end
    std::string output;
};

// Runs a program, waits for it, and measures its wall time; palvo_cut reports its own peak
// resident memory (the kernel's count for a child would include this process's, which it
// shares until it starts the program).
Run run(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);

    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start " + arguments[0]);
    ::close(pipeEnds[1]);
    Run result;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        result.output.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    long peakKiB = 0;
    if (std::sscanf(result.output.c_str(), "flush_s %lf peak_kib %ld", &result.flushSeconds, &peakKiB) == 2 ||
        std::sscanf(result.output.c_str(), "peak_kib %ld", &peakKiB) == 1)
        result.peakMiB = peakKiB / 1024.0;
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(arguments[0] + " failed");
    return result;
}

void makeRandomFile(const fs::path& path, std::int64_t bytes)
{
    std::ofstream out(path, std::ios::binary);
    std::vector<std::uint64_t> block(MiB / 8);
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    for (std::int64_t written = 0; written < bytes; written += MiB) {
        for (auto& word : block) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            word = state;
        }
        out.write(reinterpret_cast<const char*>(block.data()), std::min<std::int64_t>(MiB, bytes - written));
    }
}

// A fresh folder for one run, holding the source under a second name, with the disk
// caught up on what earlier runs wrote.
fs::path freshFolder(const fs::path& folder, const std::string& source)
{
    static int count = 0;
    const fs::path run = folder / ("lauf" + std::to_string(++count));
    fs::create_directory(run);
    fs::create_hard_link(folder / source, run / source);
    ::sync();
    return run;
}

// Gives back the room of a run's outputs but keeps their inodes until the benchmark ends and
// removes its folder. On ext4 without a journal, creating a file is slow for minutes after
// thousands were deleted nearby (the allocator passes over inodes freed recently), which would
// time the previous run's clean-up instead of the next tool.
void emptyOutputs(const fs::path& run, const std::string& source)
{
    fs::remove(run / source);
    for (const auto& entry : fs::directory_iterator(run))
        fs::resize_file(entry.path(), 0);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string sizeText(std::int64_t bytes)
{
    return bytes % GiB == 0 ? std::to_string(bytes / GiB) + " GiB"
         : bytes % MiB == 0 ? std::to_string(bytes / MiB) + " MiB"
                            : std::to_string(bytes / KiB) + " KiB";
}

// The last line, which says whether every goal was met and which were not.
int verdict(const std::vector<std::string>& failures)
{
    std::string line = failures.empty() ? "bench: PASS" : "bench: FAIL";
    for (std::size_t i = 0; i < failures.size(); ++i)
        line += (i ? ", " : " ") + failures[i];
    std::printf("\n%s\n", line.c_str());
    return failures.empty() ? 0 : 1;
}

// One round's run of each tool, by its name.
using Round = std::map<std::string, Run>;

// A goal: Palvo's time (with its digests, or without them as the cut was before) at most limit x
// what the reference makes of the round's other runs. Each round's ratio is taken on its own,
// since the tools ran one after the other in it: the median of the ratios is judged, and their
// spread shows how far the round went with the machine.
struct Goal {
    std::string reference;  // what the goal compares with, as the report names it
    std::vector<std::string> tools;  // the tools it is made of
    std::function<double(const Round&)> seconds;
    double limit;
    std::string palvo;  // "palvo" or "palvo-no-digests"
    bool durable;       // palvo's whole time; else without its flush
};

double palvoSeconds(const Run& run, bool durable)
{
    return durable ? run.seconds : run.seconds - run.flushSeconds;
}

Goal fasterOf(const std::vector<std::string>& tools, double limit, const std::string& palvo, bool durable)
{
    std::string names;
    for (const std::string& tool : tools)
        names += (names.empty() ? "" : " or ") + tool;
    return {"the faster of " + names, tools, [tools](const Round& round) {
                double fastest = round.at(tools.front()).seconds;
                for (const std::string& tool : tools)
                    fastest = std::min(fastest, round.at(tool).seconds);
                return fastest;
            }, limit, palvo, durable};
}

// What a cut must do at least where every byte is copied: the copy, and a file per piece.
Goal copyAndEmptyFiles(double limit)
{
    return {"cp plus making the empty files", {"cp", "empty"},
            [](const Round& round) { return round.at("cp").seconds + round.at("empty").seconds; }, limit,
            "palvo-no-digests", false};
}

// What the digests may cost at most: the longer of the cut without them and of hashing the file once.
Goal cutOrHash(double limit)
{
    return {"the longer of palvo without digests and sha256", {"palvo-no-digests", "sha256"},
            [](const Round& round) {
                return std::max(round.at("palvo-no-digests").seconds, round.at("sha256").seconds);
            }, limit, "palvo", true};
}

struct Case {
    std::string source;
    std::int64_t length;
    std::int64_t piece;
    std::vector<Goal> goals;
    std::vector<std::string> references;  // timed and shown beside the others, without a goal
    std::vector<Round> rounds;
    std::string name() const { return sizeText(length) + " / " + sizeText(piece); }
    std::int64_t pieces() const { return (length + piece - 1) / piece; }
};

// The cases and goals for the medium the benchmark runs on: on ext4 every byte is copied; XFS
// and btrfs let the pieces share the source's blocks, so there a cut is to cost about what
// making its empty files costs, and with its digests about what hashing the file once costs.
std::vector<Case> casesFor(const std::string& medium, bool quick)
{
    const std::int64_t large = quick ? 256 * MiB : 2 * GiB;
    const std::int64_t small = quick ? 4 * MiB : 16 * MiB;
    const Goal sha256 = {"sha256", {"sha256"}, [](const Round& round) { return round.at("sha256").seconds; }, 1.15,
                         "palvo", true};
    // Where blocks are shared the cut costs the same for any length: always 2 GiB, so that the
    // peers have as much to do as in the full run.
    if (medium == "xfs" || medium == "btrfs")
        return {{"gross.bin", 2 * GiB, 1400 * KiB, {fasterOf({"empty"}, 2.0, "palvo-no-digests", false), sha256}, {}, {}}};
    // The whole job, its flush included, is the user's wait: at the pace of the faster peer that
    // also waits for the medium. Writing the file straight to the medium shows the medium's limit.
    return {
        {"gross.bin", large, 1400 * KiB,
         {fasterOf({"split"}, 0.7, "palvo-no-digests", false), copyAndEmptyFiles(1.0),
          fasterOf({"cp+sync", "split+sync"}, 1.05, "palvo-no-digests", true), cutOrHash(1.15)},
         {"dd-direct"}, {}},
        {"gross.bin", large, 64 * MiB, {copyAndEmptyFiles(1.0)}, {}, {}},
        {"klein.bin", small, 1 * KiB, {fasterOf({"split"}, 0.6, "palvo-no-digests", false)}, {}, {}},
    };
}

std::vector<std::string> command(const std::string& tool, const fs::path& here, const Case& c, const fs::path& folder)
{
    const std::string source = (folder / c.source).string();
    if (tool == "palvo")
        return {PALVO_CUT, source, std::to_string(c.piece)};
    if (tool == "palvo-no-digests")
        return {PALVO_CUT, source, std::to_string(c.piece), "--no-digests"};
    if (tool == "empty")
        return {(here / "palvo_bench").string(), "--make-empty-files", folder.string(), std::to_string(c.pieces())};
    if (tool == "sha256")
        return {"openssl", "dgst", "-sha256", source};
    if (tool == "dd-direct")
        return {"dd", "if=" + source, "of=" + source + ".dd", "bs=16M", "oflag=direct", "conv=fsync", "status=none"};
    const bool synced = tool.ends_with("+sync");
    std::vector<std::string> peer;
    if (tool.starts_with("split")) {
        // Numbered suffixes of at least four digits, and as many as the count of pieces needs.
        const std::size_t digits = std::max<std::size_t>(4, std::to_string(c.pieces() - 1).size());
        peer = {"split", "-b", std::to_string(c.piece), "-d", "-a", std::to_string(digits), source, source + ".split."};
    } else {
        peer = {"cp", source, source + ".copy"};
    }
    if (!synced)
        return peer;
    std::string line = "\"$@\" && sync";
    peer.insert(peer.begin(), {"sh", "-c", line, "sh"});
    return peer;
}

// The reference for the limit on media that share blocks: as many empty files as a job has
// pieces, made one after the other in the same folder.
int makeEmptyFiles(const fs::path& folder, std::int64_t count)
{
    for (std::int64_t number = 1; number <= count; ++number)
        std::ofstream(folder / ("leer." + std::to_string(number)));
    return 0;
}

std::vector<std::string> judge(Case& c)
{
    std::vector<std::string> missed;
    std::printf("\n%-22s %-17s %9s %9s %9s %10s\n", c.name().c_str(), "tool", "median s", "min s", "max s",
                "peak MiB");
    const auto show = [&](const std::string& label, const std::string& tool,
                          const std::function<double(const Run&)>& seconds) {
        std::vector<double> values;
        double peak = 0;
        for (const Round& round : c.rounds) {
            values.push_back(seconds(round.at(tool)));
            peak = std::max(peak, round.at(tool).peakMiB);
        }
        std::printf("%-22s %-17s %9.3f %9.3f %9.3f %10s\n", "", label.c_str(), median(values),
                    *std::min_element(values.begin(), values.end()), *std::max_element(values.begin(), values.end()),
                    peak > 0 ? std::to_string(peak).substr(0, std::to_string(peak).find('.') + 2).c_str() : "-");
    };
    for (const auto& [tool, run] : c.rounds.front())
        show(tool, tool, [](const Run& r) { return r.seconds; });
    for (const std::string palvo : {"palvo", "palvo-no-digests"}) {
        show(palvo + " plain", palvo, [](const Run& r) { return palvoSeconds(r, false); });
        std::vector<double> flushes;
        for (const Round& round : c.rounds)
            flushes.push_back(round.at(palvo).flushSeconds);
        std::printf("%-22s %-17s its flush alone: median %.3f s\n", "", palvo.c_str(), median(flushes));
    }
    for (const Goal& goal : c.goals) {
        std::vector<double> ratios;
        for (const Round& round : c.rounds)
            ratios.push_back(palvoSeconds(round.at(goal.palvo), goal.durable) / goal.seconds(round));
        const double ratio = median(ratios);
        const bool met = ratio <= goal.limit;
        std::printf("    %-7s %s / %s = %.2f (rounds %.2f to %.2f; goal <= %.2f) %s\n", goal.durable ? "durable" : "plain",
                    goal.palvo.c_str(), goal.reference.c_str(), ratio, *std::min_element(ratios.begin(), ratios.end()),
                    *std::max_element(ratios.begin(), ratios.end()), goal.limit, met ? "ok" : "MISSED");
        if (!met)
            missed.push_back(c.name() + " " + goal.palvo + " vs " + goal.reference);
    }
    return missed;
}

int measure(bool quick, int rounds, const fs::path& folder, const std::string& mediumName)
{
    const fs::path here = fs::canonical("/proc/self/exe").parent_path();
    fs::create_directories(folder);

    std::vector<Case> cases = casesFor(mediumName, quick);
    const std::int64_t large = cases.front().length;
    const std::int64_t small = quick ? 4 * MiB : 16 * MiB;
    std::printf("making test files in %s (%s)\n", folder.c_str(), mediumName.c_str());
    std::fflush(stdout);
    makeRandomFile(folder / "gross.bin", large);
    makeRandomFile(folder / "klein.bin", small);
    makeRandomFile(folder / "mittel.bin", 64 * MiB);

    // Round 0 warms the page cache and is not counted. In each round every tool runs once, one
    // after the other, Palvo with and without its digests first.
    for (int round = 0; round <= rounds; ++round) {
        for (Case& c : cases) {
            std::vector<std::string> tools = {"palvo", "palvo-no-digests"};
            for (const Goal& goal : c.goals)
                tools.insert(tools.end(), goal.tools.begin(), goal.tools.end());
            tools.insert(tools.end(), c.references.begin(), c.references.end());
            Round runs;
            for (const std::string& tool : tools) {
                if (runs.count(tool))
                    continue;
                const fs::path runFolder = freshFolder(folder, c.source);
                runs[tool] = run(command(tool, here, c, runFolder));
                emptyOutputs(runFolder, c.source);
            }
            if (round > 0)
                c.rounds.push_back(std::move(runs));
        }
        std::fprintf(stderr, "round %d of %d done\n", round, rounds);
    }

    std::vector<std::string> failures;
    for (Case& c : cases) {
        const auto missed = judge(c);
        failures.insert(failures.end(), missed.begin(), missed.end());
    }
    if (mediumName != "ext4") {
        fs::remove_all(folder);
        return verdict(failures);
    }

    // Memory does not grow with the file.
    const fs::path mediumFolder = freshFolder(folder, "mittel.bin");
    const Run medium = run(command("palvo", here, {"mittel.bin", 64 * MiB, 1400 * KiB, {}, {}, {}}, mediumFolder));
    fs::remove_all(mediumFolder);
    // Neither with a large file nor with many pieces: the digests' buffers are the same for any.
    for (const Case* c : {&cases[0], &cases[2]}) {
        double peak = 0;
        for (const Round& round : c->rounds)
            peak = std::max(peak, round.at("palvo").peakMiB);
        const double growth = peak - medium.peakMiB;
        std::printf("\nmemory: %s job %.1f MiB, 64 MiB job %.1f MiB, difference %.1f MiB (goal < 2) %s", c->name().c_str(),
                    peak, medium.peakMiB, growth, growth < 2 ? "ok" : "MISSED");
        if (growth >= 2)
            failures.push_back("memory growth of " + c->name());
    }
    std::printf("\n");

    // Ten million pieces planned, more than any disk here holds: the job is refused before its
    // first piece, in as little memory and time as any other.
    const fs::path plannedFolder = freshFolder(folder, "klein.bin");
    std::ofstream(plannedFolder / "leer.bin").close();
    fs::resize_file(plannedFolder / "leer.bin", 10'000'000 * MiB);  // sparse: takes no room
    const Run planned = run({PALVO_CUT, (plannedFolder / "leer.bin").string(), std::to_string(MiB)});
    fs::remove_all(plannedFolder);
    std::printf("ten million pieces planned: refused after %.2f s, peak %.1f MiB (goal <= 16) %s\n", planned.seconds,
                planned.peakMiB, planned.peakMiB <= 16 ? "ok" : "MISSED");
    if (planned.peakMiB > 16)
        failures.push_back("memory of a plan of ten million pieces");

    // The window during a job with the largest pieces.
    const std::int64_t windowPiece = large / 2;
    const fs::path windowFolder = freshFolder(folder, "gross.bin");
    const Run window = run({(here / "palvo_window_bench").string(), (windowFolder / "gross.bin").string(),
                            std::to_string(windowPiece / KiB)});
    fs::remove_all(windowFolder);
    long long gap = 0;
    double idle = 0, peak = 0;
    std::sscanf(window.output.c_str(), "gap_ms %lld idle_mib %lf peak_mib %lf", &gap, &idle, &peak);
    std::printf("window: %s into %s pieces: largest paint gap %lld ms (goal <= 100) %s; memory idle %.1f MiB, "
                "during the job %.1f MiB (goal: within 16) %s\n",
                sizeText(large).c_str(), sizeText(windowPiece).c_str(), gap, gap <= 100 ? "ok" : "MISSED", idle,
                peak, peak - idle <= 16 ? "ok" : "MISSED");
    // Stopped by the user while a piece of a gigabyte (the full run) is written.
    const fs::path stopFolder = freshFolder(folder, "gross.bin");
    const Run stopped = run({(here / "palvo_window_bench").string(), (stopFolder / "gross.bin").string(),
                             std::to_string(windowPiece / KiB), "--stop"});
    const bool nothingLeft = std::distance(fs::directory_iterator(stopFolder), fs::directory_iterator()) == 1;
    fs::remove_all(stopFolder);
    long long stopMs = -1;
    std::sscanf(stopped.output.c_str(), "stop_ms %lld", &stopMs);
    const bool stopMet = stopMs >= 0 && stopMs < 500 && nothingLeft;
    std::printf("stop: from \"Ja\" to the job's end %lld ms while a %s piece was written (goal < 500)%s %s\n", stopMs,
                sizeText(windowPiece).c_str(), nothingLeft ? "" : ", but pieces were left", stopMet ? "ok" : "MISSED");
    if (!stopMet)
        failures.push_back("stop");
    if (gap > 100)
        failures.push_back("window paint gap");
    if (peak - idle > 16)
        failures.push_back("window memory");

    fs::remove_all(folder);
    return verdict(failures);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 4 && std::string(argv[1]) == "--make-empty-files")
        return makeEmptyFiles(argv[2], std::atoll(argv[3]));
    bool quick = false;
    int rounds = 5;
    std::string medium = "ext4";
    std::optional<fs::path> folderOption;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--quick")
            quick = true;
        else if (argument == "--medium" && i + 1 < argc)
            medium = argv[++i];
        else if (argument == "--rounds" && i + 1 < argc)
            rounds = std::max(1, std::atoi(argv[++i]));
        else if (argument == "--folder" && i + 1 < argc)
            folderOption = argv[++i];
        else {
            std::fprintf(stderr, "usage: palvo_bench [--quick] [--rounds N] [--folder DIR] [--medium ext4|xfs|btrfs]\n");
            return 2;
        }
    }
    const fs::path folder = folderOption.value_or(fs::temp_directory_path() / ("palvo-bench-" + std::to_string(::getpid())));
    try {
        return measure(quick, rounds, folder, medium);
    } catch (const std::exception& error) {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        std::printf("\nbench: FAIL %s\n", error.what());
        return 1;
    }
}

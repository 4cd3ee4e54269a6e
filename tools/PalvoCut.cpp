// Cuts one file with the engine alone, as the window would: for a developer, for the benchmark to
// time and for the fault tests to kill and trace.
// Usage: palvo_cut SOURCE PIECE_BYTES [--no-digests] | --version
// Prints the time from the last byte moved to the job's end (flush_s) and its peak memory.
#include "Version.h"
#include "engine/DateiZerlegen.h"
#include "runtime/ProgramStart.h"

#include <chrono>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>

namespace {

// What the benchmark needs to hear of: a refusal, and when the last byte had moved, so that
// the time the job then takes to put its files safely on the medium can be told apart.
class BenchReport : public engine::JobReport {
public:
    void message(const std::string& text) override { std::cerr << text << '\n'; }
    void progressed(std::int64_t done, std::int64_t total) override
    {
        if (done == total && !lastByteMoved)
            lastByteMoved = std::chrono::steady_clock::now();
    }
    std::optional<std::chrono::steady_clock::time_point> lastByteMoved;
};

// The most memory this process has held since it started, from the kernel's own count.
std::string peakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::to_string(std::stol(line.substr(6)));
    return "0";
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::cout << "palvo_cut " << palvo::kVersion << '\n';
        return 0;
    }
    const bool withoutDigests = argc == 4 && std::string(argv[3]) == "--no-digests";
    if (argc != 3 && !withoutDigests) {
        std::cerr << "usage: palvo_cut SOURCE PIECE_BYTES [--no-digests]\n";
        return 2;
    }
    runtime::prepareProgram();
    try {
        BenchReport report;
        engine::DateiZerlegen(argv[1], std::atoll(argv[2]), report, {},
                              withoutDigests ? engine::Digests::LeftOut : engine::Digests::Worked);
        if (report.lastByteMoved)
            std::cout << "flush_s "
                      << std::chrono::duration<double>(std::chrono::steady_clock::now() - *report.lastByteMoved).count()
                      << '\n';
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    std::cout << "peak_kib " << peakResidentKiB() << '\n';
    return 0;
}

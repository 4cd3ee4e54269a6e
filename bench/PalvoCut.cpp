// Cuts one file with the engine alone, as the window would, for the benchmark to time.
// Usage: palvo_cut SOURCE PIECE_BYTES | --version
#include "Version.h"
#include "engine/DateiZerlegen.h"
#include "runtime/ProgramStart.h"

#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <string>

namespace {

// A refusal is all the benchmark needs to hear of.
class MessagesToStandardError : public engine::JobReport {
public:
    void message(const std::string& text) override { std::cerr << text << '\n'; }
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
    if (argc != 3) {
        std::cerr << "usage: palvo_cut SOURCE PIECE_BYTES\n";
        return 2;
    }
    runtime::prepareProgram();
    try {
        MessagesToStandardError report;
        engine::DateiZerlegen(argv[1], std::atoll(argv[2]), report);
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    std::cout << "peak_kib " << peakResidentKiB() << '\n';
    return 0;
}

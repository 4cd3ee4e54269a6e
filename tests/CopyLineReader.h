#pragma once

#include <string>
#include <vector>

namespace testsupport {

// A join script's copy command read back the way cmd reads its copy lines: blanks outside quotes separate
// words, an unquoted "+" joins sources, quotes are dropped and %% is one %. The first line
// copies its sources into the target; each further line appends its sources to the target.
// Anything else in the script, an unquoted name that cmd would split among it, is reported as
// a std::runtime_error.
struct ReadScript {
    std::vector<std::string> pieces;  // in the order they reach the target
    std::string target;
};
ReadScript readScript(const std::string& script);

} // namespace testsupport

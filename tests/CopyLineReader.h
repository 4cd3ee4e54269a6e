#pragma once

#include <string>
#include <vector>

namespace testsupport {

// The pieces and the target of a join script's copy command, as its lines name them: blanks
// outside quotes separate words, an unquoted "+" joins sources, quotes are dropped and %% is
// one %. The first line copies its sources into the target; each further line appends its
// sources to the target. A copy line of another shape is reported as a std::runtime_error.
// Which names cmd takes as they are written only cmd can tell: the tests join them with it.
struct ReadScript {
    std::vector<std::string> pieces;  // in the order they reach the target
    std::string target;
};
ReadScript readScript(const std::string& script);

} // namespace testsupport

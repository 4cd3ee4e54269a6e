#pragma once

#include "CopyLines.h"
#include "CuttingPlan.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The join script: a batch file, film.bat, that puts the pieces back together where they have
// been carried, on a machine that has nothing but cmd. It never builds a wrong file and never
// replaces one:
//   - it goes to its own folder first, whatever folder it was started in (a network share's
//     too), and back at the end;
//   - before it writes anything it checks every piece, that it is there, is a file and has
//     exactly its length, and that nothing bears the target's name; otherwise it says in German
//     what is wrong and what to do, waits for a key and ends with exit code 1;
//   - it joins with the copy command as it has always stood (CopyLines.h);
//   - it checks that the target has exactly the source's length; otherwise it removes what it
//     wrote, says so, waits for a key and ends with exit code 1.
// Lengths are compared as text, since cmd's numbers end at 2^31 - 1. Where all is well it says
// nothing but what copy says, and its window closes.
namespace engine {

// Writes the script for the plan (UTF-8, every line ended by CR LF, no line longer than
// lineLimit characters but where a name alone is) to out, a line at a time, so that no more
// than a line is ever held however many pieces there are.
void writeJoinScript(const CuttingPlan& plan, const std::function<void(std::string_view line)>& out,
                     std::size_t lineLimit = kCmdLineLimit);

// The whole script as one text.
std::string joinScript(const CuttingPlan& plan, std::size_t lineLimit = kCmdLineLimit);

// At least as many bytes as the script takes in its code page, found in a moment however many
// pieces there are.
std::uint64_t joinScriptBytesAtMost(const CuttingPlan& plan, std::size_t lineLimit = kCmdLineLimit);

} // namespace engine

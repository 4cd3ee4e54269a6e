#pragma once

namespace runtime {

// What every Palvo program does first: a write beyond a file-size limit (ulimit -f) is to fail
// like any other write, with a message, instead of ending the program without a word.
void prepareProgram();

} // namespace runtime

#pragma once

// German sentences, without their full stop, for the errors the file calls meet; nullptr for
// an error they have none for.
namespace runtime {

// An errno value, as the C library and std::filesystem report them on every system.
const char* errnoText(int error);

// An error of the system's own: errno on Linux, a Windows error on Windows.
const char* systemErrorText(int error);

} // namespace runtime

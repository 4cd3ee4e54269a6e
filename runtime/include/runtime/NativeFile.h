#pragma once

#include <cstdint>

namespace runtime {

// A count of bytes, an offset or a length of a file: 64 bits, so that files beyond 4 GiB and
// pieces beyond 2 GiB are ordinary.
using ByteCount = std::int64_t;

#ifdef _WIN32
using NativeHandle = void*;  // a HANDLE
#else
using NativeHandle = int;    // a file descriptor
#endif

} // namespace runtime

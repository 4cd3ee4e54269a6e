#pragma once

#include <cstdint>

namespace runtime {

// A count of bytes, an offset or a length of a file: 64 bits, so that files beyond 4 GiB and
// pieces beyond 2 GiB are ordinary.
using ByteCount = std::int64_t;

#ifdef _WIN32
using NativeHandle = void*;  // a HANDLE
inline NativeHandle const kNoHandle = reinterpret_cast<NativeHandle>(static_cast<std::intptr_t>(-1));
#else
using NativeHandle = int;  // a file descriptor
inline constexpr NativeHandle kNoHandle = -1;
#endif

// Which file a name or a handle leads to, whatever the path: device and inode on Linux, volume
// serial number and file index on Windows. Two names with the same identity are one file.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;

    bool operator==(const FileIdentity&) const = default;
};

} // namespace runtime

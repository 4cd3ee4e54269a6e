#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Paths, in the engine and the runtime alike, are UTF-8 std::strings with the system's folder
// separator; only the calls into Windows see them as UTF-16.
namespace runtime {

#ifdef _WIN32
inline constexpr char kFolderSeparator = '\\';
#else
inline constexpr char kFolderSeparator = '/';
#endif

// The folder part of path through its last separator; empty when it has none.
std::string folderPart(std::string_view path, char separator = kFolderSeparator);

// A path for std::filesystem, and back: UTF-8 on every system, whatever its code pages say.
std::filesystem::path toFsPath(std::string_view utf8);
std::string fromFsPath(const std::filesystem::path& path);

// A path as a German message shows it: in „“ quotes.
std::string inQuotes(std::string_view text);

} // namespace runtime

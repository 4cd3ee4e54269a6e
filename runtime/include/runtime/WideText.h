#pragma once

#include <string>
#include <string_view>

// Windows takes names and texts as UTF-16; Palvo keeps them as UTF-8 everywhere else. Windows
// only: the conversions are the system's own.
namespace runtime {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

} // namespace runtime

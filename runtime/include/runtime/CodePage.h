#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace runtime {

// Text in the OEM code page, the one in which the command interpreter reads a batch file:
// the system's own on Windows, code page 850 (Western European) elsewhere.
struct OemText {
    std::string bytes;
    // The first character that the code page cannot hold; U+FFFD for bytes that are not UTF-8.
    // When it is set, bytes is incomplete and must not be written.
    std::optional<char32_t> refused;
};

OemText toOemCodePage(std::string_view utf8);

// The number of that code page, as chcp names it: 850 for Western European.
unsigned oemCodePageNumber();

// One character as UTF-8, for naming it in a message.
std::string utf8Character(char32_t character);

} // namespace runtime

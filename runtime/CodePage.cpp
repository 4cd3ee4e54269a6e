#include "runtime/CodePage.h"

#include <algorithm>
#include <array>

#ifdef _WIN32
#include <windows.h>
#endif

namespace runtime {

namespace {

constexpr char32_t kNotUtf8 = 0xFFFD;

#ifndef _WIN32
// The characters of bytes 0x80 to 0xFF in code page 850.
constexpr std::array<char32_t, 128> kCodePage850 = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,};
#endif

struct Decoded {
    char32_t character;
    std::size_t length;
};

// The character at the start of a non-empty text; kNotUtf8 with length 1 for a byte that does
// not begin a well-formed UTF-8 sequence.
Decoded decodeUtf8(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80)
        return {lead, 1};
    const std::size_t length = lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || text.size() < length)
        return {kNotUtf8, 1};
    char32_t character = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80)
            return {kNotUtf8, 1};
        character = (character << 6) | (next & 0x3F);
    }
    constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool surrogate = character >= 0xD800 && character <= 0xDFFF;
    if (character < kSmallest[length] || character > 0x10FFFF || surrogate)
        return {kNotUtf8, 1};
    return {character, length};
}

#ifdef _WIN32

// The character in the system's OEM code page, never by a look-alike ("best fit").
std::optional<std::string> toOem(char32_t character)
{
    wchar_t units[2];
    int count = 1;
    if (character >= 0x10000) {
        units[0] = static_cast<wchar_t>(0xD800 + ((character - 0x10000) >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
        count = 2;
    } else {
        units[0] = static_cast<wchar_t>(character);
    }
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int length = ::WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, units, count, bytes, sizeof bytes,
                                             nullptr, &usedDefault);
    if (length <= 0 || usedDefault)
        return std::nullopt;
    return std::string(bytes, static_cast<std::size_t>(length));
}

#else

std::optional<std::string> toOem(char32_t character)
{
    if (character < 0x80)
        return std::string(1, static_cast<char>(character));
    const auto found = std::find(kCodePage850.begin(), kCodePage850.end(), character);
    if (found == kCodePage850.end())
        return std::nullopt;
    return std::string(1, static_cast<char>(0x80 + (found - kCodePage850.begin())));
}

#endif

} // namespace

OemText toOemCodePage(std::string_view utf8)
{
    OemText result;
    while (!utf8.empty()) {
        const Decoded decoded = decodeUtf8(utf8);
        const auto bytes = decoded.character == kNotUtf8 ? std::nullopt : toOem(decoded.character);
        if (!bytes) {
            result.refused = decoded.character;
            return result;
        }
        result.bytes += *bytes;
        utf8.remove_prefix(decoded.length);
    }
    return result;
}

unsigned oemCodePageNumber()
{
#ifdef _WIN32
    return ::GetOEMCP();
#else
    return 850;
#endif
}

std::string utf8Character(char32_t c)
{
    std::string text;
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
    return text;
}

} // namespace runtime

#include "ScriptEncoding.h"

#include "runtime/CodePage.h"

#include <array>
#include <stdexcept>
#include <utility>

namespace engine {

namespace {

// How German spells its letters beyond ASCII without them.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kSpelledOut = {{
    {"ä", "ae"}, {"ö", "oe"}, {"ü", "ue"}, {"Ä", "Ae"}, {"Ö", "Oe"}, {"Ü", "Ue"}, {"ß", "ss"}}};

std::string_view spelledOut(std::string_view character)
{
    for (const auto& [letter, spelling] : kSpelledOut) {
        if (letter == character)
            return spelling;
    }
    throw std::logic_error("join script: its own text holds " + std::string(character) + ", which it cannot spell out");
}

std::string ownText(std::string_view utf8)
{
    std::string bytes;
    for (std::size_t at = 0; at < utf8.size();) {
        if (static_cast<unsigned char>(utf8[at]) < 0x80) {
            bytes += utf8[at++];
            continue;
        }
        std::size_t length = 1;
        while (at + length < utf8.size() && (static_cast<unsigned char>(utf8[at + length]) & 0xC0) == 0x80)
            ++length;
        const std::string_view character = utf8.substr(at, length);
        const runtime::OemText written = runtime::toOemCodePage(character);
        bytes += written.refused ? std::string(spelledOut(character)) : written.bytes;
        at += length;
    }
    return bytes;
}

} // namespace

std::string inScriptCodePage(std::string_view utf8, ScriptText kind)
{
    if (kind == ScriptText::Own)
        return ownText(utf8);
    runtime::OemText written = runtime::toOemCodePage(utf8);
    if (written.refused)
        throw std::logic_error("join script: a name its code page cannot hold got past the job's checks");
    return std::move(written.bytes);
}

} // namespace engine

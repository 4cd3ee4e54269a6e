#include "WindowsNames.h"

#include "runtime/Path.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace engine {

namespace {

// The device whose name the file name bears before its first dot, blanks there not counted:
// CON, PRN, AUX, NUL, CONIN$, CONOUT$, and the ports COM and LPT with 1 to 9, ¹, ² or ³.
std::optional<std::string> deviceName(std::string_view name)
{
    std::string_view stem = name.substr(0, name.find('.'));
    while (stem.ends_with(' '))
        stem.remove_suffix(1);
    std::string upper(stem);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
    static constexpr std::array<std::string_view, 6> kDevices = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    static constexpr std::array<std::string_view, 12> kPortNumbers = {"1", "2", "3", "4",  "5",  "6",
                                                                       "7", "8", "9", "¹", "²", "³"};
    const bool device = std::find(kDevices.begin(), kDevices.end(), upper) != kDevices.end();
    const std::string_view number = std::string_view(upper).substr(std::min<std::size_t>(3, upper.size()));
    const bool port = (upper.starts_with("COM") || upper.starts_with("LPT")) &&
                      std::find(kPortNumbers.begin(), kPortNumbers.end(), number) != kPortNumbers.end();
    return device || port ? std::optional(upper) : std::nullopt;
}

} // namespace

std::optional<char> windowsForbiddenCharacter(std::string_view name)
{
    constexpr std::string_view kForbidden = "\\/:*?\"<>|";
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || kForbidden.find(c) != std::string_view::npos)
            return c;
    }
    return std::nullopt;
}

std::optional<std::string> windowsNameProblem(std::string_view name)
{
    if (const auto c = windowsForbiddenCharacter(name)) {
        const std::string character = static_cast<unsigned char>(*c) < 0x20
                                        ? "ein Steuerzeichen (Nr. " + std::to_string(int(*c)) + ")"
                                        : "das Zeichen " + runtime::inQuotes(std::string(1, *c));
        return "enthält " + character + ", das unter Windows in keinem Dateinamen stehen darf";
    }
    if (const auto device = deviceName(name))
        return "ist unter Windows dem Gerät " + runtime::inQuotes(*device) + " vorbehalten";
    if (name.ends_with('.') || name.ends_with(' '))
        return "endet mit einem Punkt oder Leerzeichen, das Windows von Dateinamen entfernt";
    return std::nullopt;
}

} // namespace engine

#include "JobNames.h"

#include "PieceNaming.h"
#include "runtime/NumberText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace engine {

std::string JobNames::digitsOf(std::string_view text)
{
    std::uint64_t hash = 0xcbf29ce484222325u;  // FNV-1a
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3u;
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    return digits;
}

JobNames::JobNames(const CuttingPlan& plan, const runtime::Medium& medium)
    : plan_(plan)
    , medium_(medium)
    , prefix_(".palvo-" + digitsOf(medium.nameKey(plan.pieceStem)))
{
}

std::string JobNames::stagedPiece(std::int64_t number) const
{
    return hidden("." + runtime::threeDigitText(static_cast<std::uint64_t>(number)));
}

std::optional<std::int64_t> JobNames::outputNumber(std::string_view name) const
{
    // What follows the stem in those names is ASCII, so the stem's part is what is left when
    // the digits are cut off.
    const std::size_t lastOther = name.find_last_not_of("0123456789");
    const std::size_t stemLength = lastOther == std::string_view::npos ? 0 : lastOther + 1;
    const std::int64_t number = pieceNumberOf(name.substr(stemLength), "");
    if (number > 0 && number <= plan_.pieceCount && medium_.sameName(name.substr(0, stemLength), plan_.pieceStem))
        return number;
    if (medium_.sameName(name, plan_.scriptFileName()))
        return 0;
    return std::nullopt;
}

bool JobNames::hasScriptSuffix(std::string_view name)
{
    constexpr std::string_view kScript = "bat";
    const std::string_view suffix = suffixOf(name);
    return std::equal(suffix.begin(), suffix.end(), kScript.begin(), kScript.end(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

std::int64_t JobNames::pieceNumberOf(std::string_view name, std::string_view stem)
{
    if (!name.starts_with(stem))
        return 0;
    const std::string_view digits = name.substr(stem.size());
    const bool allDigits = !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
    std::int64_t number = 0;
    if (!allDigits || std::from_chars(digits.data(), digits.data() + digits.size(), number).ec != std::errc())
        return 0;
    return number > 0 && runtime::threeDigitText(static_cast<std::uint64_t>(number)) == digits ? number : 0;
}

} // namespace engine

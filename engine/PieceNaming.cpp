#include "PieceNaming.h"

#include "runtime/NumberText.h"

#include <algorithm>
#include <charconv>

namespace engine {

namespace {

// Where the file name's last dot stands in the path; npos when the file name has none.
std::size_t lastDotOfFileName(std::string_view path, char separator)
{
    const auto dot = path.rfind('.');
    const auto folderEnd = path.rfind(separator);
    return dot != std::string_view::npos && (folderEnd == std::string_view::npos || dot > folderEnd)
               ? dot
               : std::string_view::npos;
}

} // namespace

std::string BasisPfad(std::string_view path, char separator)
{
    const auto dot = lastDotOfFileName(path, separator);
    if (dot == std::string_view::npos)
        return std::string(path) + ".";
    return std::string(path.substr(0, dot + 1));
}

std::string_view suffixOf(std::string_view path, char separator)
{
    const auto dot = lastDotOfFileName(path, separator);
    return dot == std::string_view::npos ? std::string_view() : path.substr(dot + 1);
}

std::string NurDateiname(std::string_view path, char separator)
{
    const auto last = path.rfind(separator);
    return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

std::string pieceName(std::string_view basePath, std::int64_t number)
{
    return std::string(basePath) + runtime::threeDigitText(static_cast<std::uint64_t>(number));
}

std::string scriptName(std::string_view basePath)
{
    return std::string(basePath) + "bat";
}

std::int64_t pieceNumberOf(std::string_view name, std::string_view stem)
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

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

} // namespace engine

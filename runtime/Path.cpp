#include "runtime/Path.h"

namespace runtime {

std::string folderPart(std::string_view path, char separator)
{
    const auto last = path.rfind(separator);
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::filesystem::path toFsPath(std::string_view utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string fromFsPath(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string inQuotes(std::string_view text)
{
    return "„" + std::string(text) + "“";
}

} // namespace runtime

#include "form/CopyCommand.h"

#include "form/Texts.h"
#include "runtime/LeadingNumber.h"
#include "runtime/Path.h"
#include "runtime/Rounding.h"

#include <filesystem>
#include <functional>

namespace form {

double TeilBytes(CopyCommandWindow& window)
{
    const double kilobytes = runtime::leadingNumber(window.sizeFieldText());
    const double bytes = kilobytes * 1024;
    // A size too large for any file's length is no more valid than a negative one.
    if (kilobytes > 0 && runtime::roundHalfEven(bytes))
        return bytes;
    window.showMessage(texts::invalidSize);
    window.focusSizeField();
    return 0;
}

namespace {

// The size first: with an invalid one the user sees the warning and is asked for nothing.
void cutWithTheFieldsSize(CopyCommandWindow& window, const std::function<std::string()>& chooseSource)
{
    const auto pieceLength = runtime::roundHalfEven(TeilBytes(window));
    if (!pieceLength || *pieceLength <= 0)
        return;
    const std::string source = chooseSource();
    if (source.empty())
        return;
    window.startCutting(source, *pieceLength);
}

// What is at path, following links; nothing there where the system cannot tell.
std::filesystem::file_status statusOf(const std::string& path)
{
    std::error_code unknown;
    return std::filesystem::status(runtime::toFsPath(path), unknown);
}

// A name given relative to where the program started, as a console gives it, leads the
// dialog into that folder too.
std::string absolutePath(const std::string& path)
{
    std::error_code unknown;
    const std::filesystem::path absolute = std::filesystem::absolute(runtime::toFsPath(path), unknown);
    return unknown ? path : runtime::fromFsPath(absolute);
}

} // namespace

void buttonKopieren_Click(CopyCommandWindow& window)
{
    cutWithTheFieldsSize(window, [&] { return window.DateiDialog(); });
}

void cutDroppedFiles(CopyCommandWindow& window, const std::vector<std::string>& paths)
{
    if (paths.size() != 1)
        return window.showMessage(texts::oneFileAtATime(texts::severalFilesDropped));
    if (std::filesystem::is_directory(statusOf(paths.front())))
        return window.showMessage(texts::oneFileAtATime(texts::folderDropped(paths.front())));
    cutWithTheFieldsSize(window, [&] { return paths.front(); });
}

std::string fileNamedAtStart(CopyCommandWindow& window, const std::vector<std::string>& arguments)
{
    if (arguments.empty())
        return {};
    if (arguments.size() > 1) {
        window.showMessage(texts::oneFileAtATime(texts::severalFilesNamed));
        return {};
    }
    const std::string& named = arguments.front();
    const std::filesystem::file_status status = statusOf(named);
    if (std::filesystem::is_regular_file(status))
        return absolutePath(named);
    window.showMessage(texts::noFileToOffer(named, std::filesystem::exists(status)));
    return {};
}

} // namespace form

#include "JobPieces.h"

#include "runtime/FileError.h"
#include "runtime/NumberText.h"

namespace engine {

std::string stagedPieceName(std::string_view key, std::int64_t number)
{
    return runtime::Folder::scratchName(key, "." + runtime::threeDigitText(static_cast<std::uint64_t>(number)));
}

void removeStagedLeftovers(const runtime::Folder& folder, std::string_view key)
{
    folder.remove(runtime::Folder::scratchName(key, ".alt"));
    for (std::int64_t number = 1;; ++number) {
        const std::string name = stagedPieceName(key, number);
        if (folder.lookUp(name).kind == runtime::EntryKind::Missing)
            return;
        folder.remove(name);
    }
}

JobPieces::JobPieces(const CuttingPlan& plan, const runtime::Folder& folder, std::string key, Writing writing)
    : plan_(plan)
    , folder_(folder)
    , key_(std::move(key))
    , writing_(writing)
{
}

JobPieces::~JobPieces()
{
    if (writing_ != Writing::Staged)
        return;
    try {
        takeBack();
    } catch (const runtime::FileError&) {
        // What cannot be removed now goes with the next job on these outputs.
    }
}

std::string JobPieces::writtenName(std::int64_t number) const
{
    return writing_ == Writing::Staged ? stagedPieceName(key_, number) : plan_.pieceFileName(number);
}

void JobPieces::takeBack()
{
    folder_.abandonFiles();
    for (; finished_ > 0; --finished_)
        folder_.remove(writtenName(finished_));
}

void JobPieces::removeOldScript() const
{
    folder_.removeForGood(plan_.scriptFileName(), runtime::Folder::scratchName(key_, ".alt"));
}

void JobPieces::putInPlace()
{
    // In place the pieces bear their names already; those names must be on the medium before a
    // script names them.
    if (writing_ != Writing::Staged)
        return folder_.flushNames();
    removeOldScript();
    // From the last: what a killed job leaves of its hidden names still runs from the first.
    for (; finished_ > 0; --finished_)
        folder_.rename(writtenName(finished_), plan_.pieceFileName(finished_));
    folder_.flushNames();
}

} // namespace engine

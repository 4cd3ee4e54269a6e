#include "JobPieces.h"

#include "runtime/FileError.h"

namespace engine {

void removeStagedLeftovers(const runtime::Folder& folder, const JobNames& names)
{
    folder.remove(names.oldScriptLeaving());
    for (std::int64_t number = 1;; ++number) {
        const std::string name = names.stagedPiece(number);
        if (folder.lookUp(name).kind == runtime::EntryKind::Missing)
            return;
        folder.remove(name);
    }
}

JobPieces::JobPieces(const CuttingPlan& plan, const runtime::Folder& folder, const JobNames& names, Writing writing)
    : plan_(plan)
    , folder_(folder)
    , names_(names)
    , writing_(writing)
{
}

JobPieces::~JobPieces()
{
    if (placed_)
        return;
    try {
        takeBack();
    } catch (const runtime::FileError&) {
        // What cannot be removed now goes with the next job on these outputs.
    }
}

std::string JobPieces::writtenName(std::int64_t number) const
{
    return writing_ == Writing::Staged ? names_.stagedPiece(number) : plan_.pieceFileName(number);
}

void JobPieces::takeBack()
{
    folder_.abandonFiles();
    for (; finished_ > 0; --finished_)
        folder_.remove(writtenName(finished_));
}

void JobPieces::removeOldScript() const
{
    folder_.removeForGood(plan_.scriptFileName(), names_.oldScriptLeaving());
}

void JobPieces::putInPlace()
{
    // In place the pieces bear their names already; those names must be on the medium before a
    // script names them.
    if (writing_ == Writing::Staged) {
        removeOldScript();
        // From the last: what a killed job leaves of its hidden names still runs from the first.
        for (; finished_ > 0; --finished_)
            folder_.rename(writtenName(finished_), plan_.pieceFileName(finished_));
    }
    folder_.flushNames();
    placed_ = true;
}

} // namespace engine

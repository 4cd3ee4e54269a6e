#pragma once

#include "CuttingPlan.h"
#include "JobNames.h"
#include "runtime/Folder.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

// Removes what a job on these outputs left when it was killed: its staged pieces, which run from
// the first to where it was and no further, and an old script on its way out.
void removeStagedLeftovers(const runtime::Folder& folder, const JobNames& names);

// The pieces one job writes, under the names its way of writing gives them, and what becomes
// of them when the job stops, fails or is done.
class JobPieces {
public:
    JobPieces(const CuttingPlan& plan, const runtime::Folder& folder, const JobNames& names, Writing writing);
    // A job that failed before its pieces were put in place takes them back, staged or not:
    // without their script nobody could join them.
    ~JobPieces();
    JobPieces(const JobPieces&) = delete;
    JobPieces& operator=(const JobPieces&) = delete;

    // The name the piece of that number is written under.
    std::string writtenName(std::int64_t number) const;
    // The old script goes first, before any old piece is replaced, and that is on the medium
    // before anything else changes: beside a mixture of old and new pieces, it would join them.
    void removeOldScript() const;
    // Pieces 1 to number are complete.
    void finished(std::int64_t number) { finished_ = number; }
    // Removes every piece finished: the job was stopped.
    void takeBack();
    // Staged pieces, all on the medium, take their real names: the old script goes first (see
    // removeOldScript), then each piece takes the place of an old one of its name, and then the
    // new names are on the medium too. A killed job leaves no script beside a mixture, and its hidden
    // pieces run from the first on. In place, the pieces' names are put on the medium.
    void putInPlace();

private:
    const CuttingPlan& plan_;
    const runtime::Folder& folder_;
    const JobNames& names_;
    Writing writing_;
    std::int64_t finished_ = 0;
    bool placed_ = false;
};

} // namespace engine

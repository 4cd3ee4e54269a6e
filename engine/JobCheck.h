#pragma once

#include "CuttingPlan.h"
#include "JobNames.h"
#include "runtime/Folder.h"

#include <optional>
#include <string>

// Why a cutting job must not start, as a German message for the user that names the file and
// says what to do; nothing when it may. A job is refused before it writes anything when it
// would damage the source, leave pieces the script cannot join, or fail halfway.
namespace engine {

// Judged by the names the job would write and by the medium: a source that would be its own
// piece or script, a name Windows or the script's code page cannot hold, a name too long for
// the medium, a medium or folder that cannot be written.
std::optional<std::string> refusalByNames(const CuttingPlan& plan, const JobNames& names, const runtime::Folder& folder,
                                          const runtime::Medium& medium);

// How a job may write in its folder, or why it must not start.
struct FolderJudgement {
    std::optional<std::string> refusal;
    Writing writing = Writing::InPlace;
    // Outputs of an earlier job are there and go as this one goes: a stop leaves them incomplete.
    bool replacesEarlierOutputs = false;
};

// Judged by what lies in the folder now; asked with the job's outputs locked,
// so that no other job changes them meanwhile. Refused: a folder under an output's name, an
// old output that is the source itself or cannot be removed, too little room or too few file
// slots. Where outputs of an earlier job are there, the job is staged if the medium has room
// for both sets, and works in place if not.
FolderJudgement judgeFolder(const CuttingPlan& plan, const JobNames& names, const runtime::FileIdentity& source,
                            const runtime::Folder& folder, const runtime::Medium& medium);

// Another job holds the lock of these outputs; holdersTarget is the name of the file it cuts,
// empty where that cannot be told.
std::string alreadyCutting(const CuttingPlan& plan, const runtime::Folder& folder, const runtime::Medium& medium,
                           const std::string& holdersTarget);

} // namespace engine

#pragma once

#include "CuttingPlan.h"
#include "OldOutputs.h"
#include "runtime/Folder.h"

#include <cstdint>
#include <optional>
#include <string>

namespace engine {

// Why the job's files would not fit the medium when written that way, as a German message for
// the user; nothing when they fit. Room is counted in the medium's allocation units and in the
// order the job frees and takes it: in place, the old script goes first, each old piece just
// before its new one is written, and the new script, which grows beside the pieces, is counted
// whole from the start; staged, every old output stays until all new pieces are written. Where the medium tells no size, nothing is refused:
// writing then reports what goes wrong.
std::optional<std::string> roomShortfall(const CuttingPlan& plan, const FolderContents& contents,
                                         const runtime::Medium& medium, const std::string& folderShown,
                                         std::uint64_t scriptBytes, Writing writing = Writing::InPlace);

} // namespace engine

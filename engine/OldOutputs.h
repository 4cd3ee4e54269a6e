#pragma once

#include "CuttingPlan.h"
#include "JobNames.h"
#include "runtime/Folder.h"

#include <optional>
#include <string>
#include <vector>

namespace engine {

// An entry in the job's folder that bears the name of one of its outputs: left by an earlier
// job, or put there by someone else.
struct OldOutput {
    std::string name;
    std::int64_t number = 0;  // the piece's; 0 for the script
    runtime::Entry entry;

    // What removing it gives back: a file's room, unless another name keeps it.
    ByteCount freed() const;
};

struct FolderContents {
    std::vector<OldOutput> outputs;         // in number order, the script first
    std::optional<std::size_t> entryCount;  // names in the folder; nothing where it may not be listed
};

// Finds each of the job's outputs that is in its folder already, as the medium compares names:
// in the folder's list, or, where the folder may be written but not listed, name by name from
// the first piece up to the first that is not there. Memory grows with the old outputs alone.
FolderContents findOldOutputs(const CuttingPlan& plan, const JobNames& names, const runtime::Folder& folder);

} // namespace engine

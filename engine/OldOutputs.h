#pragma once

#include "CuttingPlan.h"
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
};

struct FolderContents {
    std::vector<OldOutput> outputs;        // pieces in number order, the script among them
    std::optional<std::size_t> entryCount; // names in the folder; nothing where it may not be listed
};

// The job's outputs that are already in its folder, as the medium compares names: found in
// the folder's list, or name by name where the folder may be written but not listed.
FolderContents findOldOutputs(const CuttingPlan& plan, const runtime::Folder& folder, const runtime::Medium& medium);

// Whether name is, as the medium compares names, the name of one of the job's pieces (its
// number) or of its script (0); nothing when it is neither.
std::optional<std::int64_t> outputNumber(const CuttingPlan& plan, const runtime::Medium& medium, std::string_view name);

} // namespace engine

#pragma once

#include "CuttingPlan.h"
#include "runtime/Folder.h"

#include <functional>
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

// What an old output means to the room the job needs: the room its removal gives back, at the
// moment the job removes it.
struct OldRoom {
    std::int64_t number = 0;  // the piece's; 0 for the script
    ByteCount freed = 0;
};

struct FolderContents {
    std::vector<OldRoom> outputs;          // in number order, the script first
    std::optional<std::size_t> entryCount; // names in the folder; nothing where it may not be listed
};

// Why an old output stands in the job's way; nothing when the job may replace it.
using InTheWay = std::function<std::optional<std::string>(const OldOutput&)>;

// Looks at each of the job's outputs that are already in its folder, as the medium compares
// names: in the folder's list, or, where the folder may be written but not listed, name by
// name from the first piece up to the first that is not there. The first reason that inTheWay
// gives ends the search and is returned; of the other old outputs, what the room check needs
// is kept in contents. Memory grows with the old outputs only, by what that check needs.
std::optional<std::string> findOldOutputs(const CuttingPlan& plan, const runtime::Folder& folder,
                                          const runtime::Medium& medium, const InTheWay& inTheWay,
                                          FolderContents& contents);

// Whether name is, as the medium compares names, the name of one of the job's pieces (its
// number) or of its script (0); nothing when it is neither.
std::optional<std::int64_t> outputNumber(const CuttingPlan& plan, const runtime::Medium& medium, std::string_view name);

} // namespace engine

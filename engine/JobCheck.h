#pragma once

#include "CuttingPlan.h"
#include "runtime/CodePage.h"
#include "runtime/Folder.h"

#include <optional>
#include <string>

namespace engine {

// Why a cutting job must not start, as a German message for the user; nothing when it may.
// It refuses what would damage the source, leave pieces the script cannot join, or fail
// halfway: a source that bears a piece's or the script's name, a name that Windows or the
// script's code page cannot hold, a name too long for the medium, a folder under a piece's
// name, too little free space.
std::optional<std::string> refusalOf(const CuttingPlan& plan, const runtime::OemText& script,
                                     const runtime::Folder& folder);

} // namespace engine

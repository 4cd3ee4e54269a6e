#pragma once

#include "CuttingPlan.h"
#include "JobNames.h"
#include "JoinScript.h"
#include "runtime/Folder.h"

#include <string>
#include <string_view>

namespace engine {

// The join script of a job on its way to the medium: written as the job goes, under a hidden
// name of its own, in the code page cmd reads it in and in blocks; it takes its name only once
// it is complete and on the medium. Destroyed before that, it is removed: a script exists only
// whole.
class ScriptFile {
public:
    // Begins the script: all that comes before the pieces.
    ScriptFile(const CuttingPlan& plan, const runtime::Folder& folder, const JobNames& names);

    void piece(std::int64_t number, const Digest& digest) { writer_.piece(number, digest); }
    // Ends the script with the whole file's digest, puts it on the medium and gives it its name.
    void commit(const Digest& whole);

private:
    void add(std::string_view text, ScriptText kind);
    void writeBlock();

    const CuttingPlan& plan_;
    runtime::NewFile file_;
    std::string block_;
    JoinScriptWriter writer_;
};

} // namespace engine

#include "ScriptFile.h"

#include "BlockKopieren.h"
#include "ScriptEncoding.h"
#include "runtime/CodePage.h"

#include <span>

namespace engine {

ScriptFile::ScriptFile(const CuttingPlan& plan, const runtime::Folder& folder, const JobNames& names)
    : plan_(plan)
    , file_(folder.replace(names.scriptBeingWritten(), plan.scriptFileName()))
    , writer_(plan, runtime::oemCodePageNumber(), [this](std::string_view text, ScriptText kind) { add(text, kind); })
{
    writer_.begin();
}

void ScriptFile::add(std::string_view text, ScriptText kind)
{
    block_ += inScriptCodePage(text, kind);
    if (block_.size() >= kBlockSize)
        writeBlock();
}

void ScriptFile::writeBlock()
{
    file_.write(std::as_bytes(std::span(block_)));
    block_.clear();
}

void ScriptFile::commit(const Digest& whole)
{
    writer_.end(whole);
    writeBlock();
    file_.commitAs(plan_.scriptFileName());
}

} // namespace engine

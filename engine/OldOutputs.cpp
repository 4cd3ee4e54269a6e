#include "OldOutputs.h"

#include <algorithm>

namespace engine {

ByteCount OldOutput::freed() const
{
    return entry.kind == runtime::EntryKind::File && entry.links == 1 ? entry.allocatedBytes : 0;
}

FolderContents findOldOutputs(const CuttingPlan& plan, const JobNames& names, const runtime::Folder& folder)
{
    FolderContents contents;
    // Whether the name was there.
    const auto look = [&](const std::string& name, std::int64_t number) {
        const runtime::Entry entry = folder.lookUp(name);
        if (entry.kind == runtime::EntryKind::Missing)
            return false;
        contents.outputs.push_back({name, number, entry});
        return true;
    };
    std::size_t entries = 0;
    const bool listed = folder.forEachName([&](const std::string& name) {
        ++entries;
        if (const auto number = names.outputNumber(name))
            look(name, *number);
    });
    if (listed) {
        contents.entryCount = entries;
    } else {
        look(plan.scriptFileName(), 0);
        for (std::int64_t number = 1; number <= plan.pieceCount; ++number) {
            if (!look(plan.pieceFileName(number), number))
                break;  // old pieces end at the first gap
        }
    }
    std::sort(contents.outputs.begin(), contents.outputs.end(),
              [](const OldOutput& a, const OldOutput& b) { return a.number < b.number; });
    return contents;
}

} // namespace engine

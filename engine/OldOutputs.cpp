#include "OldOutputs.h"

#include "PieceNaming.h"

#include <algorithm>

namespace engine {

std::optional<std::int64_t> outputNumber(const CuttingPlan& plan, const runtime::Medium& medium, std::string_view name)
{
    // What follows the stem in those names is ASCII, so the stem's part is what is left when
    // the digits are cut off.
    const std::size_t lastOther = name.find_last_not_of("0123456789");
    const std::size_t stemLength = lastOther == std::string_view::npos ? 0 : lastOther + 1;
    const std::int64_t number = pieceNumberOf(name.substr(stemLength), "");
    if (number > 0 && number <= plan.pieceCount && medium.sameName(name.substr(0, stemLength), plan.pieceStem))
        return number;
    if (medium.sameName(name, plan.scriptFileName()))
        return 0;
    return std::nullopt;
}

FolderContents findOldOutputs(const CuttingPlan& plan, const runtime::Folder& folder, const runtime::Medium& medium)
{
    FolderContents contents;
    const auto add = [&](const std::string& name, std::int64_t number) {
        const runtime::Entry entry = folder.lookUp(name);
        if (entry.kind != runtime::EntryKind::Missing)
            contents.outputs.push_back({name, number, entry});
    };
    if (const auto names = folder.names()) {
        contents.entryCount = names->size();
        for (const std::string& name : *names) {
            if (const auto number = outputNumber(plan, medium, name))
                add(name, *number);
        }
    } else {
        add(plan.scriptFileName(), 0);
        for (std::int64_t number = 1; number <= plan.pieceCount; ++number)
            add(plan.pieceFileName(number), number);
    }
    std::sort(contents.outputs.begin(), contents.outputs.end(),
              [](const OldOutput& a, const OldOutput& b) { return a.number < b.number; });
    return contents;
}

} // namespace engine

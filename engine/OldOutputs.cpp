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

namespace {

// What removing the entry gives back: a file's room, unless another name keeps it.
ByteCount freedBy(const runtime::Entry& entry)
{
    return entry.kind == runtime::EntryKind::File && entry.links == 1 ? entry.allocatedBytes : 0;
}

} // namespace

std::optional<std::string> findOldOutputs(const CuttingPlan& plan, const runtime::Folder& folder,
                                          const runtime::Medium& medium, const InTheWay& inTheWay,
                                          FolderContents& contents)
{
    std::optional<std::string> refusal;
    // Whether the name was there.
    const auto look = [&](const std::string& name, std::int64_t number) {
        if (refusal)
            return true;
        const runtime::Entry entry = folder.lookUp(name);
        if (entry.kind == runtime::EntryKind::Missing)
            return false;
        refusal = inTheWay({name, number, entry});
        contents.outputs.push_back({number, freedBy(entry)});
        return true;
    };
    std::size_t entries = 0;
    const bool listed = folder.forEachName([&](const std::string& name) {
        ++entries;
        if (const auto number = outputNumber(plan, medium, name))
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
              [](const OldRoom& a, const OldRoom& b) { return a.number < b.number; });
    return refusal;
}

} // namespace engine

#include "RoomCheck.h"

#include "runtime/NumberText.h"
#include "runtime/Path.h"

#include <algorithm>

namespace engine {

namespace {

using runtime::groupedNumber;
using runtime::inQuotes;

ByteCount roundedUp(ByteCount bytes, ByteCount unit) { return (bytes + unit - 1) / unit * unit; }

// The room pieces 1 to number take.
ByteCount takenThrough(const CuttingPlan& plan, std::int64_t number, ByteCount unit)
{
    const ByteCount fullPiece = roundedUp(plan.pieceLength, unit);
    return number < plan.pieceCount
               ? number * fullPiece
               : (plan.pieceCount - 1) * fullPiece + roundedUp(plan.lengthOf(plan.pieceCount), unit);
}

// The most room the job needs at any moment beyond what is free as it starts.
ByteCount peakNeed(const CuttingPlan& plan, const FolderContents& contents, ByteCount unit, ByteCount script,
                   Writing writing)
{
    // Staged, nothing comes free before every piece and the script are written.
    if (writing == Writing::Staged)
        return takenThrough(plan, plan.pieceCount, unit) + roundedUp(script, unit);
    // The script grows beside the pieces from the job's start: counted whole throughout.
    const auto takenThrough = [&](std::int64_t number) {
        return engine::takenThrough(plan, number, unit) + roundedUp(script, unit);
    };
    ByteCount freed = 0, worst = 0;
    for (const OldOutput& old : contents.outputs) {
        // Between two old pieces the job only takes room: the worst is just before the next frees some.
        if (old.number > 1)
            worst = std::min(worst, freed - takenThrough(old.number - 1));
        freed += old.freed();
    }
    worst = std::min(worst, freed - takenThrough(plan.pieceCount));
    return -worst;
}

// What the folder itself grows by to hold the new names: an entry of a few bytes on ext4 or
// XFS, 32 bytes and 32 more for every 13 characters of a long name on FAT; counted as on FAT.
ByteCount folderGrowth(const CuttingPlan& plan, std::uint64_t names, ByteCount unit)
{
    const auto longestName = static_cast<ByteCount>(plan.pieceFileName(plan.pieceCount).size());
    return roundedUp(static_cast<ByteCount>(names) * 32 * (2 + longestName / 13), unit);
}

// New names the job makes in the folder at its most: a piece replaces an old one of its name,
// the script an old script; staged, every piece first has a hidden name of its own besides.
std::uint64_t newNames(const CuttingPlan& plan, const FolderContents& contents, Writing writing)
{
    const auto pieces = static_cast<std::uint64_t>(plan.pieceCount);
    return pieces + 1 - contents.outputs.size() + (writing == Writing::Staged ? pieces : 0);
}

// New files at the job's most: staged, every piece and the script while the old ones stay.
std::uint64_t newFiles(const CuttingPlan& plan, const FolderContents& contents, Writing writing)
{
    const auto pieces = static_cast<std::uint64_t>(plan.pieceCount);
    return writing == Writing::Staged ? pieces + 1 : pieces + 1 - contents.outputs.size();
}

} // namespace

std::optional<std::string> roomShortfall(const CuttingPlan& plan, const FolderContents& contents,
                                         const runtime::Medium& medium, const std::string& folderShown,
                                         std::uint64_t scriptBytes, Writing writing)
{
    const std::string folder = inQuotes(folderShown);
    const std::uint64_t names = newNames(plan, contents, writing), files = newFiles(plan, contents, writing);
    if (medium.freeFileSlots && files > *medium.freeFileSlots)
        return "Auf dem Datenträger des Ordners " + folder + " können nur noch " + groupedNumber(*medium.freeFileSlots) +
               " Dateien angelegt werden, das Zerlegen braucht " + groupedNumber(files) +
               ". Bitte geben Sie eine größere Dateigröße an oder schaffen Sie Platz und versuchen Sie es erneut.";
    if (medium.entriesPerFolder && contents.entryCount && *contents.entryCount + names > *medium.entriesPerFolder)
        return "Im Ordner " + folder + " hätten nicht alle Teile Platz: Der Datenträger nimmt in einem Ordner höchstens " +
               groupedNumber(*medium.entriesPerFolder) + " Einträge auf, mit den Teilen wären es " +
               groupedNumber(*contents.entryCount + names) +
               ". Bitte geben Sie eine größere Dateigröße an oder legen Sie die Datei in einen leeren Ordner.";
    if (!medium.availableBytes)
        return std::nullopt;
    const auto need = static_cast<std::uint64_t>(
        peakNeed(plan, contents, medium.allocationUnit, static_cast<ByteCount>(scriptBytes), writing) +
        folderGrowth(plan, names, medium.allocationUnit));
    if (need <= *medium.availableBytes)
        return std::nullopt;
    return "Im Ordner " + folder + " ist nicht genug Platz frei: Beim Zerlegen werden bis zu " + groupedNumber(need) +
           " Bytes gebraucht, frei sind " + groupedNumber(*medium.availableBytes) +
           " Bytes. Bitte schaffen Sie Platz und versuchen Sie es erneut.";
}

} // namespace engine

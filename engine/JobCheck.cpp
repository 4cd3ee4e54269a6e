#include "engine/JobCheck.h"

#include "engine/JoinScript.h"
#include "engine/PieceNaming.h"
#include "runtime/Files.h"
#include "runtime/NumberText.h"

#include <algorithm>
#include <cctype>

namespace engine {

namespace {

const std::string kRenameHint = " Bitte benennen Sie die Datei um und versuchen Sie es erneut.";

std::string quoted(const std::string& text) { return "„" + text + "“"; }

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// A file name as the medium compares it: Windows ignores letter case, FILM.001 is film.001.
std::string nameKey(std::string_view name)
{
    std::string key(name);
#ifdef _WIN32
    for (char& c : key)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
#endif
    return key;
}

std::string folderShown(const CuttingPlan& plan) { return plan.folder.empty() ? "." : plan.folder; }

// Whether bare is the name of one of the job's pieces or of its script.
bool isOutputName(const CuttingPlan& plan, std::string_view bare)
{
    const std::string key = nameKey(bare);
    const std::int64_t number = pieceNumberOf(key, nameKey(plan.pieceStem));
    return (number > 0 && number <= plan.pieceCount) || key == nameKey(scriptName(plan.pieceStem));
}

std::optional<std::string> sourceClash(const CuttingPlan& plan)
{
    // On a file system that ignores letter case FILM.BAT is film.bat: refuse any case.
    if (equalIgnoringCase(suffixOf(plan.source), "bat"))
        return "Die ausgewählte Datei " + quoted(plan.target) +
               " hat die Endung „.bat“. Beim Zerlegen würde sie durch die Batch-Datei zum "
               "Zusammenfügen ersetzt." + kRenameHint;
    // Compared without links, "." or "..": a link named like the source must not hide it.
    const std::string source = runtime::canonicalPath(plan.source);
    const std::string folder = runtime::canonicalPath(folderShown(plan));
    const std::string bare = NurDateiname(source);
    const std::string separator = folder.ends_with(kFolderSeparator) ? "" : std::string(1, kFolderSeparator);
    const bool besideTheOutputs = nameKey(folderPart(source)) == nameKey(folder + separator);
    if (besideTheOutputs && isOutputName(plan, bare))
        return "Die ausgewählte Datei " + quoted(NurDateiname(plan.source)) +
               " trägt den Namen eines ihrer eigenen Teile und würde beim Zerlegen überschrieben." + kRenameHint;
    return std::nullopt;
}

std::optional<std::string> nameClash(const CuttingPlan& plan, const runtime::OemText& script)
{
    for (const std::string& name : {plan.target, plan.pieceStem}) {
        if (const auto c = windowsForbiddenCharacter(name)) {
            const std::string character = static_cast<unsigned char>(*c) < 0x20
                                            ? "ein Steuerzeichen (Nr. " + std::to_string(int(*c)) + ")"
                                            : "das Zeichen " + quoted(std::string(1, *c));
            return "Der Name " + quoted(name) + " enthält " + character +
                   ", das unter Windows in keinem Dateinamen stehen darf. Die Teile ließen sich dort "
                   "nicht wieder zusammenfügen." + kRenameHint;
        }
    }
    if (script.refused)
        return "Der Name " + quoted(plan.target) + " enthält das Zeichen " +
               quoted(runtime::utf8Character(*script.refused)) +
               ", das die Batch-Datei zum Zusammenfügen nicht schreiben kann." + kRenameHint;
    return std::nullopt;
}

std::optional<std::string> nameTooLong(const CuttingPlan& plan)
{
    const runtime::NameLimits limits = runtime::nameLimits(folderShown(plan));
    const std::string longest = NurDateiname(plan.piecePath(plan.pieceCount));
    if (longest.size() <= limits.name && plan.folder.size() + longest.size() < limits.path)
        return std::nullopt;
    return "Der Name des letzten Teils, " + quoted(longest) + ", wäre länger, als der Datenträger erlaubt." +
           " Bitte geben Sie der Datei einen kürzeren Namen oder legen Sie sie in einen Ordner mit kürzerem Pfad.";
}

ByteCount roundedUp(ByteCount bytes, ByteCount block) { return (bytes + block - 1) / block * block; }

std::optional<std::string> folderClash(const CuttingPlan& plan, const runtime::OemText& script)
{
    // Old pieces and an old script are replaced: what they occupy alone comes free again.
    ByteCount reclaimed = 0;
    for (const std::string& name : runtime::folderEntries(folderShown(plan))) {
        if (!isOutputName(plan, name))
            continue;
        const runtime::Entry entry = runtime::lookUp(plan.folder + name);
        if (entry.kind == runtime::EntryKind::Folder)
            return "Im Ordner " + quoted(folderShown(plan)) + " gibt es einen Unterordner namens " + quoted(name) +
                   ". Dort kann kein Teil gespeichert werden. Bitte benennen Sie den Ordner um oder "
                   "verschieben Sie ihn und versuchen Sie es erneut.";
        if (entry.kind == runtime::EntryKind::File && entry.links == 1)
            reclaimed += entry.allocatedBytes;
    }

    constexpr ByteCount kBlock = 4096;  // the usual allocation unit; files occupy whole ones
    const ByteCount lastPiece = plan.lengthOf(plan.pieceCount);
    const ByteCount needed = (plan.pieceCount - 1) * roundedUp(plan.pieceLength, kBlock) +
                             roundedUp(lastPiece, kBlock) +
                             roundedUp(static_cast<ByteCount>(script.bytes.size()), kBlock);
    const auto available = runtime::freeBytes(folderShown(plan)) + static_cast<std::uint64_t>(reclaimed);
    if (static_cast<std::uint64_t>(needed) > available)
        return "Im Ordner " + quoted(folderShown(plan)) + " ist nicht genug Platz frei: Die Teile brauchen " +
               runtime::groupedNumber(static_cast<std::uint64_t>(needed)) + " Bytes, frei sind " +
               runtime::groupedNumber(available) + " Bytes. Bitte schaffen Sie Platz und versuchen Sie es erneut.";
    return std::nullopt;
}

} // namespace

std::optional<std::string> refusalOf(const CuttingPlan& plan, const runtime::OemText& script)
{
    if (auto why = sourceClash(plan))
        return why;
    if (auto why = nameClash(plan, script))
        return why;
    if (auto why = nameTooLong(plan))
        return why;
    return folderClash(plan, script);
}

} // namespace engine


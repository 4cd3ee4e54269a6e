#include "JobCheck.h"

#include "JoinScript.h"
#include "PieceNaming.h"
#include "runtime/NumberText.h"
#include "runtime/Path.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace engine {

namespace {

using runtime::inQuotes;

const std::string kRenameHint = " Bitte benennen Sie die Datei um und versuchen Sie es erneut.";

// Whether name is, as the medium compares names, the name of one of the job's pieces or of
// its script. What follows the stem in those names is ASCII, so the stem's part is what is
// left when the digits are cut off.
bool isOutputName(const CuttingPlan& plan, const runtime::Medium& medium, std::string_view name)
{
    const std::size_t lastOther = name.find_last_not_of("0123456789");
    const std::size_t stemLength = lastOther == std::string_view::npos ? 0 : lastOther + 1;
    const std::int64_t number = pieceNumberOf(name.substr(stemLength), "");
    if (number > 0)
        return number <= plan.pieceCount && medium.sameName(name.substr(0, stemLength), plan.pieceStem);
    return medium.sameName(name, scriptName(plan.pieceStem));
}

// Whether a source of this suffix would be its own join script where the pieces are joined:
// Windows ignores letter case, so FILM.BAT is film.bat there, whatever the medium here does.
bool isScriptSuffix(std::string_view suffix)
{
    constexpr std::string_view kScript = "bat";
    return std::equal(suffix.begin(), suffix.end(), kScript.begin(), kScript.end(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

// The path without links, "." or ".." in it, so that a link named like the source cannot hide it.
std::string canonical(const std::string& path)
{
    return runtime::fromFsPath(std::filesystem::canonical(runtime::toFsPath(path)));
}

std::optional<std::string> sourceClash(const CuttingPlan& plan, const runtime::Folder& folder,
                                       const runtime::Medium& medium)
{
    if (isScriptSuffix(suffixOf(plan.source)))
        return "Die ausgewählte Datei " + inQuotes(plan.target) +
               " hat die Endung „.bat“. Beim Zerlegen würde sie durch die Batch-Datei zum "
               "Zusammenfügen ersetzt." + kRenameHint;
    const std::string source = canonical(plan.source);
    const std::string outputs = canonical(folder.shownPath());
    const bool besideTheOutputs =
        medium.sameName(runtime::folderPart(source), outputs + (outputs.ends_with(runtime::kFolderSeparator)
                                                                    ? ""
                                                                    : std::string(1, runtime::kFolderSeparator)));
    if (besideTheOutputs && isOutputName(plan, medium, NurDateiname(source)))
        return "Die ausgewählte Datei " + inQuotes(NurDateiname(plan.source)) +
               " trägt den Namen eines ihrer eigenen Teile und würde beim Zerlegen überschrieben." + kRenameHint;
    return std::nullopt;
}

std::optional<std::string> nameClash(const CuttingPlan& plan, const runtime::OemText& script)
{
    for (const std::string& name : {plan.target, plan.pieceStem}) {
        if (const auto c = windowsForbiddenCharacter(name)) {
            const std::string character = static_cast<unsigned char>(*c) < 0x20
                                            ? "ein Steuerzeichen (Nr. " + std::to_string(int(*c)) + ")"
                                            : "das Zeichen " + inQuotes(std::string(1, *c));
            return "Der Name " + inQuotes(name) + " enthält " + character +
                   ", das unter Windows in keinem Dateinamen stehen darf. Die Teile ließen sich dort "
                   "nicht wieder zusammenfügen." + kRenameHint;
        }
    }
    if (script.refused)
        return "Der Name " + inQuotes(plan.target) + " enthält das Zeichen " +
               inQuotes(runtime::utf8Character(*script.refused)) +
               ", das die Batch-Datei zum Zusammenfügen nicht schreiben kann." + kRenameHint;
    return std::nullopt;
}

std::optional<std::string> nameTooLong(const CuttingPlan& plan, const runtime::Medium& medium)
{
    const std::string longest = NurDateiname(plan.piecePath(plan.pieceCount));
    if (longest.size() <= medium.longestName && plan.folder.size() + longest.size() < medium.longestPath)
        return std::nullopt;
    return "Der Name des letzten Teils, " + inQuotes(longest) + ", wäre länger, als der Datenträger erlaubt." +
           " Bitte geben Sie der Datei einen kürzeren Namen oder legen Sie sie in einen Ordner mit kürzerem Pfad.";
}

ByteCount roundedUp(ByteCount bytes, ByteCount unit) { return (bytes + unit - 1) / unit * unit; }

std::optional<std::string> folderClash(const CuttingPlan& plan, const runtime::OemText& script,
                                       const runtime::Folder& folder, const runtime::Medium& medium)
{
    // Old pieces and an old script are replaced: what they occupy alone comes free again.
    ByteCount reclaimed = 0;
    for (const std::string& name : folder.names()) {
        if (!isOutputName(plan, medium, name))
            continue;
        const runtime::Entry entry = folder.lookUp(name);
        if (entry.kind == runtime::EntryKind::Folder)
            return "Im Ordner " + inQuotes(folder.shownPath()) + " gibt es einen Unterordner namens " + inQuotes(name) +
                   ". Dort kann kein Teil gespeichert werden. Bitte benennen Sie den Ordner um oder "
                   "verschieben Sie ihn und versuchen Sie es erneut.";
        if (entry.kind == runtime::EntryKind::File && entry.links == 1)
            reclaimed += entry.allocatedBytes;
    }
    if (!medium.availableBytes)
        return std::nullopt;  // a medium that tells no size: writing reports what goes wrong

    const ByteCount unit = medium.allocationUnit;
    const ByteCount needed = (plan.pieceCount - 1) * roundedUp(plan.pieceLength, unit) +
                             roundedUp(plan.lengthOf(plan.pieceCount), unit) +
                             roundedUp(static_cast<ByteCount>(script.bytes.size()), unit);
    const auto available = *medium.availableBytes + static_cast<std::uint64_t>(reclaimed);
    if (static_cast<std::uint64_t>(needed) > available)
        return "Im Ordner " + inQuotes(folder.shownPath()) + " ist nicht genug Platz frei: Die Teile brauchen " +
               runtime::groupedNumber(static_cast<std::uint64_t>(needed)) + " Bytes, frei sind " +
               runtime::groupedNumber(available) + " Bytes. Bitte schaffen Sie Platz und versuchen Sie es erneut.";
    return std::nullopt;
}

} // namespace

std::optional<std::string> refusalOf(const CuttingPlan& plan, const runtime::OemText& script,
                                     const runtime::Folder& folder)
{
    const runtime::Medium medium = folder.medium();
    if (auto why = sourceClash(plan, folder, medium))
        return why;
    if (auto why = nameClash(plan, script))
        return why;
    if (auto why = nameTooLong(plan, medium))
        return why;
    return folderClash(plan, script, folder, medium);
}

} // namespace engine

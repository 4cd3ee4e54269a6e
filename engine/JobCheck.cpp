#include "JobCheck.h"

#include "JoinScript.h"
#include "OldOutputs.h"
#include "PieceNaming.h"
#include "RoomCheck.h"
#include "WindowsNames.h"
#include "runtime/CodePage.h"
#include "runtime/FileError.h"
#include "runtime/Path.h"

#include <algorithm>

namespace engine {

namespace {

using runtime::inQuotes;

const std::string kRenameHint = " Bitte benennen Sie die Datei um und versuchen Sie es erneut.";

std::optional<std::string> sourceIsAnOutput(const CuttingPlan& plan, const JobNames& names)
{
    if (JobNames::hasScriptSuffix(plan.target))
        return "Die ausgewählte Datei " + inQuotes(plan.target) +
               " hat die Endung „.bat“. Beim Zerlegen würde sie durch die Batch-Datei zum "
               "Zusammenfügen ersetzt." + kRenameHint;
    // By its chosen name, even where that name is a link to elsewhere: the script would name
    // the source among its own pieces.
    if (names.outputNumber(plan.target))
        return "Die ausgewählte Datei " + inQuotes(plan.target) +
               " trägt den Namen eines ihrer eigenen Teile und würde beim Zerlegen überschrieben." + kRenameHint;
    return std::nullopt;
}

std::optional<std::string> unjoinableName(const CuttingPlan& plan)
{
    for (const std::string& name : {plan.target, plan.pieceFileName(1)}) {
        if (const auto problem = windowsNameProblem(name))
            return "Der Name " + inQuotes(name) + " " + *problem +
                   ". Die Teile ließen sich dort nicht wieder zusammenfügen." + kRenameHint;
        if (const auto refused = runtime::toOemCodePage(cmdName(name)).refused)
            return "Der Name " + inQuotes(name) + " enthält das Zeichen " + inQuotes(runtime::utf8Character(*refused)) +
                   ", das die Batch-Datei zum Zusammenfügen nicht schreiben kann." + kRenameHint;
    }
    // The script joins under longer names first, in a folder, "D:\" at the least.
    if (longestJoinFolder(plan) < 3)
        return "Der Name " + inQuotes(plan.target) + " ist zu lang: Beim Zusammenfügen entstehen daraus Namen wie " +
               inQuotes(unfinishedName(plan.target)) + " und " + inQuotes(joinFolderName(plan.target)) +
               ", und Windows erlaubt für den Pfad einer Datei samt Ordner höchstens 259 Zeichen, für den eines "
               "Ordners 247." + kRenameHint;
    return std::nullopt;
}

std::optional<std::string> nameTooLong(const CuttingPlan& plan, const runtime::Medium& medium)
{
    const std::string longest = plan.pieceFileName(plan.pieceCount);
    if (longest.size() <= medium.longestName && plan.folder.size() + longest.size() < medium.longestPath)
        return std::nullopt;
    return "Der Name des letzten Teils, " + inQuotes(longest) + ", wäre länger, als der Datenträger erlaubt." +
           " Bitte geben Sie der Datei einen kürzeren Namen oder legen Sie sie in einen Ordner mit kürzerem Pfad.";
}

std::optional<std::string> folderNotWritable(const runtime::Folder& folder, const runtime::Medium& medium)
{
    const std::string hint = " Bitte kopieren Sie die Datei in einen Ordner, in dem Sie Dateien anlegen dürfen, "
                             "und zerlegen Sie sie dort.";
    if (medium.readOnly)
        return "Der Ordner " + inQuotes(folder.shownPath()) +
               " liegt auf einem Datenträger, der nur gelesen werden kann." + hint;
    if (const auto why = folder.whyNotWritable())
        return "Im Ordner " + inQuotes(folder.shownPath()) + " können keine Dateien angelegt werden: " +
               runtime::reasonText(*why) + hint;
    return std::nullopt;
}

// A file of the script's name goes only where it is a join script of Palvo's for these pieces:
// anything else there is the user's, a batch file of the same name say (install.exe beside its
// install.bat), or belongs to pieces of another file of the same stem.
std::optional<std::string> notOurScript(const OldOutput& old, std::int64_t oldPieces, const CuttingPlan& plan,
                                        const runtime::Folder& folder)
{
    const std::string file = inQuotes(folder.pathOf(old.name));
    const std::string hint = " Bitte benennen Sie sie um oder verschieben Sie sie an einen anderen Ort und versuchen Sie "
                             "es erneut.";
    // Whatever it begins with, a file far larger than any script of as many pieces as this job
    // writes or are there is not one of Palvo's, or not any more.
    CuttingPlan most = plan;
    most.pieceCount = std::max(plan.pieceCount, oldPieces);
    const std::uint64_t largest = 2 * joinScriptBytesAtMost(most) + (64 << 10);
    if (static_cast<std::uint64_t>(old.entry.allocatedBytes) > largest)
        return "Die Datei " + file + " ist viel größer als eine Batch-Datei, die Palvo zu diesen Teilen schreibt. " +
               "Sie wird beim Zerlegen nicht ersetzt." + hint;
    ScriptOrigin origin = ScriptOrigin::NotOurs;
    try {
        // Its beginning tells for most; an earlier script with checks is read whole.
        for (const std::uint64_t bytes : {std::uint64_t{kJoinScriptSignature}, largest}) {
            const std::string text = folder.beginningOf(old.name, bytes);
            origin = originOfScript(plan, text, text.size() < bytes);
            if (origin != ScriptOrigin::Unclear || text.size() < bytes)
                break;
        }
    } catch (const runtime::FileError& error) {
        return "Die Datei " + file + " lässt sich nicht lesen: " + runtime::reasonText(error.code()) +
               " So lässt sich nicht sagen, ob es eine Batch-Datei von Palvo ist, die beim Zerlegen ersetzt werden darf." +
               hint;
    }
    switch (origin) {
    case ScriptOrigin::OursForThisFile:
        return std::nullopt;
    case ScriptOrigin::OursForAnotherFile:
        return "Die Datei " + file + " ist die Batch-Datei zu Teilen einer anderen Datei als " + inQuotes(plan.target) +
               ". Beim Zerlegen würden sie und ihre Teile ersetzt, die vielleicht alles sind, was von jener Datei "
               "übrig ist. Bitte verschieben Sie die Batch-Datei und ihre Teile in einen anderen Ordner oder geben Sie " +
               inQuotes(plan.target) + " einen anderen Namen und versuchen Sie es erneut.";
    case ScriptOrigin::Unclear:
        return "Die Datei " + file + " beginnt wie eine Batch-Datei von Palvo, doch es lässt sich nicht erkennen, " +
               "zu welchen Teilen sie gehört. Beim Zerlegen würde sie ersetzt." + hint;
    case ScriptOrigin::NotOurs:
        break;
    }
    return "Die Datei " + file + " ist keine Batch-Datei von Palvo zu diesen Teilen. Beim Zerlegen würde sie durch die " +
           "Batch-Datei zum Zusammenfügen ersetzt." + hint;
}

std::optional<std::string> oldOutputInTheWay(const OldOutput& old, std::int64_t oldPieces,
                                             const runtime::FileIdentity& source, const CuttingPlan& plan,
                                             const runtime::Folder& folder)
{
    if (old.entry.kind == runtime::EntryKind::Folder)
        return "Im Ordner " + inQuotes(folder.shownPath()) + " gibt es einen Unterordner namens " + inQuotes(old.name) +
               ". Dort kann kein Teil gespeichert werden. Bitte benennen Sie den Ordner um oder "
               "verschieben Sie ihn und versuchen Sie es erneut.";
    // Compared as files, not as paths: a link or a second name of the source under an
    // output's name would have the job replace the source's bytes, or, on Windows, fail
    // halfway when it cannot remove a name of the file it reads.
    if (old.entry.identity == source && old.number == 0)
        return "Die ausgewählte Datei " + inQuotes(plan.target) + " ist dieselbe Datei wie die alte Batch-Datei " +
               inQuotes(old.name) + ", die beim Zerlegen ersetzt würde." + kRenameHint;
    if (old.entry.identity == source)
        return "Die ausgewählte Datei " + inQuotes(plan.target) + " ist dieselbe Datei wie ihr Teil " +
               inQuotes(old.name) + " und würde beim Zerlegen überschrieben." + kRenameHint;
    if (old.number == 0) {
        if (auto why = notOurScript(old, oldPieces, plan, folder))
            return why;
    }
    if (const auto why = folder.whyNotRemovable(old.name))
        return "Die alte Datei " + inQuotes(folder.pathOf(old.name)) + " kann nicht ersetzt werden: " +
               runtime::reasonText(*why) +
               " Bitte löschen Sie sie selbst oder schließen Sie das Programm, das sie benutzt, und versuchen Sie es "
               "erneut.";
    return std::nullopt;
}

// The job's outputs as the user reads of them: "die Teile „film.001“ und folgende und die
// Batch-Datei „film.bat“".
std::string outputsNamed(const CuttingPlan& plan)
{
    return "die Teile " + inQuotes(plan.pieceFileName(1)) + " und folgende und die Batch-Datei " +
           inQuotes(plan.scriptFileName());
}

// A source named like a piece, beside pieces or a script of its stem, is most likely one of an
// earlier set chosen by mistake: its cut would replace the set it belongs to, which may be all
// there is of that file here.
std::optional<std::string> pieceOfAnEarlierSet(const CuttingPlan& plan, const JobNames& names,
                                               const FolderContents& contents, const runtime::Folder& folder)
{
    if (contents.outputs.empty() || !names.isPieceName(plan.target))
        return std::nullopt;
    return "Die ausgewählte Datei " + inQuotes(plan.target) + " ist dem Namen nach selbst ein Teil. Beim Zerlegen " +
           "würden " + outputsNamed(plan) + " im Ordner " + inQuotes(folder.shownPath()) +
           " ersetzt, zu denen sie gehört. Bitte wählen Sie die ursprüngliche Datei, oder benennen Sie die Datei um "
           "und versuchen Sie es erneut.";
}

bool stagedNamesFit(const CuttingPlan& plan, const JobNames& names, const runtime::Medium& medium)
{
    const std::string longest = names.stagedPiece(plan.pieceCount);
    return longest.size() <= medium.longestName && plan.folder.size() + longest.size() < medium.longestPath;
}

} // namespace

std::optional<std::string> refusalByNames(const CuttingPlan& plan, const JobNames& names, const runtime::Folder& folder,
                                          const runtime::Medium& medium)
{
    if (auto why = sourceIsAnOutput(plan, names))
        return why;
    if (auto why = unjoinableName(plan))
        return why;
    if (auto why = nameTooLong(plan, medium))
        return why;
    return folderNotWritable(folder, medium);
}

FolderJudgement judgeFolder(const CuttingPlan& plan, const JobNames& names, const runtime::FileIdentity& source,
                            const runtime::Folder& folder, const runtime::Medium& medium)
{
    const FolderContents contents = findOldOutputs(plan, names, folder);
    if (auto why = pieceOfAnEarlierSet(plan, names, contents, folder))
        return {why};
    const std::int64_t oldPieces = contents.outputs.empty() ? 0 : contents.outputs.back().number;
    for (const OldOutput& old : contents.outputs) {
        if (auto why = oldOutputInTheWay(old, oldPieces, source, plan, folder))
            return {why};
    }
    const std::uint64_t scriptBytes = joinScriptBytesAtMost(plan);
    if (!contents.outputs.empty() && stagedNamesFit(plan, names, medium) &&
        !roomShortfall(plan, contents, medium, folder.shownPath(), scriptBytes, Writing::Staged))
        return {std::nullopt, Writing::Staged};
    return {roomShortfall(plan, contents, medium, folder.shownPath(), scriptBytes), Writing::InPlace,
            !contents.outputs.empty()};
}

std::string alreadyCutting(const CuttingPlan& plan, const runtime::Folder& folder, const runtime::Medium& medium,
                           const std::string& holdersTarget)
{
    const std::string outputs = outputsNamed(plan) + " in den Ordner " + inQuotes(folder.shownPath());
    const std::string wait = " Bitte warten Sie, bis es beendet ist, und versuchen Sie es dann erneut.";
    if (medium.sameName(holdersTarget, plan.target))
        return "Für diese Datei läuft bereits ein Zerlegen. Es schreibt " + outputs + "." + wait;
    if (holdersTarget.empty())
        return "Gerade schreibt ein anderes Zerlegen " + outputs + "." + wait;
    return "Gerade zerlegt Palvo die Datei " + inQuotes(holdersTarget) + " und schreibt dabei " + outputs +
           ". Die Teile von " + inQuotes(plan.target) +
           " bekämen dieselben Namen. Bitte warten Sie, bis dieses Zerlegen beendet ist, oder benennen Sie " +
           inQuotes(plan.target) + " um, und versuchen Sie es dann erneut.";
}

} // namespace engine

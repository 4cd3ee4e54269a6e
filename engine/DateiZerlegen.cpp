#include "engine/DateiZerlegen.h"

#include "BlockKopieren.h"
#include "CuttingPlan.h"
#include "JobCheck.h"
#include "JobNames.h"
#include "JobPieces.h"
#include "JoinScript.h"
#include "ScriptFile.h"
#include "SourceDigests.h"
#include "PieceNaming.h"
#include "runtime/Folder.h"
#include "runtime/InputFile.h"
#include "runtime/Path.h"

#include <stdexcept>

namespace engine {

namespace {

// Tells the job's listener that the job is over, however it leaves.
class EndReport {
public:
    explicit EndReport(JobReport& report) : report_(report) {}
    ~EndReport() { report_.ended(); }
    EndReport(const EndReport&) = delete;
    EndReport& operator=(const EndReport&) = delete;

private:
    JobReport& report_;
};

void cutPiece(const CuttingPlan& plan, std::int64_t number, runtime::InputFile& source, JobPieces& pieces,
              const runtime::Folder& folder, JobReport& report, CopyProgress& progress)
{
    report.pieceStarted(number, plan.piecePath(number));
    runtime::NewFile piece = folder.replace(pieces.writtenName(number), plan.pieceFileName(number));
    copyPiece(plan.lengthOf(number), source, piece, progress);
    piece.commit();
    pieces.finished(number);
}

void cut(const CuttingPlan& plan, Writing writing, runtime::InputFile& input, const runtime::Folder& folder,
         const JobNames& names, JobReport& report, std::stop_token stop, Digests worked)
{
    JobPieces pieces(plan, folder, names, writing);
    if (writing == Writing::InPlace)
        pieces.removeOldScript();
    CopyProgress progress(report, std::move(stop), plan.sourceLength);
    ScriptFile script(plan, folder, names);
    Digest whole;
    try {
        SourceDigests digests(input, plan, [&](std::int64_t number, const Digest& digest) { script.piece(number, digest); },
                              worked);
        progress.alsoWaitFor([&] { return digests.done(); });
        for (std::int64_t number = 1; number <= plan.pieceCount; ++number)
            cutPiece(plan, number, input, pieces, folder, report, progress);
        // The pieces go to the medium while the digests are still being worked out.
        folder.flushFiles();
        whole = digests.wholeDigest(progress);
        // A script for bytes that changed while they were cut or hashed would rebuild neither
        // the old file nor the new one.
        input.expectUnchanged();
        input.close();
        // Putting the pieces on a slow medium takes long: a stop asked for meanwhile still
        // takes them back, as long as they and the script have no names yet.
        progress.lastStopPoint();
    } catch (const JobStopped&) {
        // The piece being written is gone already; the finished ones of this job go too. Files
        // of other names, pieces beyond this job's last among them, stay as they were.
        pieces.takeBack();
        return;
    }
    pieces.putInPlace();
    script.commit(whole);
}

// The source, read in the folder of its outputs: the folder the job checks and writes in is
// then the one the source was found in, whatever its path leads to meanwhile.
runtime::InputFile openSource(const std::string& source, const runtime::Folder& outputs)
{
    const std::string name = NurDateiname(source);
    return name.empty() ? runtime::InputFile(source) : runtime::InputFile(outputs, name);
}

} // namespace

void DateiZerlegen(const std::string& source, ByteCount pieceLength, JobReport& report, std::stop_token stop,
                   Digests digests)
{
    if (pieceLength < 1)
        throw std::invalid_argument("DateiZerlegen: a piece holds at least one byte");
    EndReport end(report);
    const runtime::Folder folder(runtime::folderPart(source));
    runtime::InputFile input = openSource(source, folder);
    const ByteCount length = input.length();
    if (length < pieceLength)
        return report.message(kSourceTooSmall);

    const CuttingPlan plan = planCutting(source, pieceLength, length, runtime::kFolderSeparator);
    const runtime::Medium medium = folder.medium();
    const JobNames names(plan, medium);
    if (const auto refusal = refusalByNames(plan, names, folder, medium))
        return report.message(*refusal);
    // Held until the job is over: a second job on the same outputs would mix its pieces in.
    const auto lock = folder.lock(names.lock(), plan.target);
    if (!lock)
        return report.message(alreadyCutting(plan, folder, medium, folder.lockNote(names.lock())));
    removeStagedLeftovers(folder, names);
    // The medium as it is with the lock taken: its file slots, its room.
    const FolderJudgement judged = judgeFolder(plan, names, input.identity(), folder, folder.medium());
    if (judged.refusal)
        return report.message(*judged.refusal);
    if (judged.replacesEarlierOutputs)
        report.replacingEarlierOutputs();
    cut(plan, judged.writing, input, folder, names, report, std::move(stop), digests);
}

} // namespace engine

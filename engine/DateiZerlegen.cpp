#include "engine/DateiZerlegen.h"

#include "BlockKopieren.h"
#include "CuttingPlan.h"
#include "JobCheck.h"
#include "JoinScript.h"
#include "PieceNaming.h"
#include "runtime/CodePage.h"
#include "runtime/Folder.h"
#include "runtime/InputFile.h"

#include <span>
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

void cutPiece(const CuttingPlan& plan, std::int64_t number, runtime::InputFile& source,
              const runtime::Folder& folder, JobReport& report)
{
    report.pieceStarted(number, plan.piecePath(number));
    runtime::NewFile piece = folder.replace(NurDateiname(plan.piecePath(number)));
    copyPiece(plan.lengthOf(number), source, piece);
    piece.commit();
    report.progressed((number - 1) * plan.pieceLength + plan.lengthOf(number), plan.sourceLength);
}

void writeScript(const CuttingPlan& plan, const std::string& bytes, const runtime::Folder& folder)
{
    runtime::NewFile script = folder.createHidden();
    script.write(std::as_bytes(std::span(bytes)));
    script.commitAs(NurDateiname(plan.scriptPath));
}

} // namespace

void DateiZerlegen(const std::string& source, ByteCount pieceLength, JobReport& report)
{
    if (pieceLength < 1)
        throw std::invalid_argument("DateiZerlegen: a piece holds at least one byte");
    EndReport end(report);
    runtime::InputFile input(source);
    const ByteCount length = input.length();
    if (length < pieceLength) {
        report.message(kSourceTooSmall);
        return;
    }

    const CuttingPlan plan = planCutting(source, pieceLength, length, runtime::kFolderSeparator);
    const runtime::Folder folder(plan.folder);
    const runtime::OemText script = runtime::toOemCodePage(joinScript(plan.pieceStem, plan.pieceCount, plan.target));
    if (const auto refusal = refusalOf(plan, script, folder)) {
        report.message(*refusal);
        return;
    }

    // The old script goes before the first old piece does: it would join a mixture.
    folder.remove(NurDateiname(plan.scriptPath));
    for (std::int64_t number = 1; number <= plan.pieceCount; ++number)
        cutPiece(plan, number, input, folder, report);
    input.close();
    writeScript(plan, script.bytes, folder);
}

} // namespace engine

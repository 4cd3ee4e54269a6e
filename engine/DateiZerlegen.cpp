#include "engine/DateiZerlegen.h"

#include "engine/BlockKopieren.h"
#include "engine/JobCheck.h"
#include "engine/JoinScript.h"
#include "engine/PieceNaming.h"
#include "runtime/CodePage.h"
#include "runtime/Files.h"

#include <span>
#include <stdexcept>

namespace engine {

namespace {

// Shows the busy pointer for its lifetime, and leaves the window as it was before the job
// however the job ends: progress line empty, normal pointer, painted.
class BusyWindow {
public:
    explicit BusyWindow(WindowServices& services) : services_(services) { services_.setBusy(true); }
    ~BusyWindow()
    {
        services_.setProgressText({});
        services_.setBusy(false);
        services_.repaint();
    }
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

private:
    WindowServices& services_;
};

void cutPiece(const CuttingPlan& plan, std::int64_t number, runtime::InputFile& source, WindowServices& services)
{
    const std::string path = plan.piecePath(number);
    services.setProgressText(kProgressPrefix + path);
    services.repaint();
    runtime::NewFile piece = runtime::NewFile::replace(path);
    copyPiece(plan.lengthOf(number), source, piece);
    piece.commit();
}

void writeScript(const CuttingPlan& plan, const std::string& bytes)
{
    runtime::NewFile script = runtime::NewFile::createBeside(plan.scriptPath);
    script.write(std::as_bytes(std::span(bytes)));
    script.commitAs(plan.scriptPath);
}

} // namespace

void DateiZerlegen(const std::string& source, ByteCount pieceLength, WindowServices& services)
{
    if (pieceLength < 1)
        throw std::invalid_argument("DateiZerlegen: a piece holds at least one byte");
    runtime::InputFile input(source);
    const ByteCount length = input.length();
    if (length < pieceLength) {
        services.showMessage(kSourceTooSmall);
        return;
    }

    const CuttingPlan plan = planCutting(source, pieceLength, length, kFolderSeparator);
    const runtime::OemText script = runtime::toOemCodePage(joinScript(plan.pieceStem, plan.pieceCount, plan.target));
    if (const auto refusal = refusalOf(plan, script)) {
        services.showMessage(*refusal);
        return;
    }

    BusyWindow busy(services);
    // The old script goes before the first old piece does: it would join a mixture.
    runtime::removeIfPresent(plan.scriptPath);
    for (std::int64_t number = 1; number <= plan.pieceCount; ++number)
        cutPiece(plan, number, input, services);
    input.close();
    writeScript(plan, script.bytes);
}

} // namespace engine

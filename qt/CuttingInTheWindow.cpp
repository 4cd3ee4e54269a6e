#include "Form1.h"

#include "ProgressLine.h"

#include <QEventLoop>

#include <utility>

namespace qtwindow {

void Form1::startCutting(const std::string& source, std::int64_t pieceLength)
{
    // The window goes on painting and showing what the job reports until it has ended; what
    // input it takes meanwhile, form::passesDuringJob says (eventFilter asks it).
    QEventLoop loop;
    jobLoop_ = &loop;
    run_.start(source, pieceLength);
    loop.exec();
    jobLoop_ = nullptr;
    if (run_.closeAfterJob())
        close();
}

void Form1::postToWindow(std::function<void()> call)
{
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void Form1::showBusy(bool busy)
{
    busy ? setCursor(Qt::WaitCursor) : unsetCursor();
}

void Form1::showProgressText(const std::string& text)
{
    labelInfo->setText(QString::fromStdString(text));
    labelInfo->repaint();
}

void Form1::showDesktopProgress(double fraction)
{
    launcherEntry_.showProgress(fraction);
}

void Form1::showDesktopFailure()
{
    launcherEntry_.showFailure();
}

void Form1::clearDesktopProgress()
{
    launcherEntry_.clear();
}

void Form1::jobEnded()
{
    if (jobLoop_)
        jobLoop_->quit();
}

} // namespace qtwindow

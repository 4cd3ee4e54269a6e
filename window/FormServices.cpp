#include "window/FormServices.h"

#include "window/Form1.h"
#include "window/MessageBox.h"
#include "window/ProgressLine.h"

#include <QThread>

void FormServices::onWindowThread(std::function<void()> action, bool wait)
{
    if (QThread::currentThread() == form_.thread())
        action();
    else
        QMetaObject::invokeMethod(&form_, std::move(action), wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

void FormServices::showMessage(const std::string& text)
{
    onWindowThread([this, text] { ::showMessage(&form_, QString::fromStdString(text)); }, true);
}

void FormServices::setBusy(bool busy)
{
    onWindowThread([this, busy] { busy ? form_.setCursor(Qt::WaitCursor) : form_.unsetCursor(); }, false);
}

void FormServices::setProgressText(const std::string& text)
{
    {
        std::lock_guard lock(mutex_);
        newestProgress_ = text;
        if (std::exchange(progressPosted_, true))
            return;
    }
    // The job's first text is waited for, so that even a job done in a blink shows it once.
    onWindowThread([this] { showNewestProgress(); }, !std::exchange(firstTextShown_, true));
}

void FormServices::showNewestProgress()
{
    std::string text;
    {
        std::lock_guard lock(mutex_);
        text = newestProgress_;
        progressPosted_ = false;
    }
    form_.labelInfo->setText(QString::fromStdString(text));
    form_.labelInfo->repaint();
}

void FormServices::repaint()
{
    // A job on another thread leaves the window's own thread free, and that paints whatever
    // changed by itself; only a job on the window's thread holds it up and must ask.
    if (QThread::currentThread() == form_.thread())
        form_.repaint();
}

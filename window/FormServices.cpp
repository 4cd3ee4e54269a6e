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
    onWindowThread([this, text] { form_.labelInfo->setText(QString::fromStdString(text)); }, false);
}

void FormServices::repaint()
{
    onWindowThread([this] { form_.repaint(); }, false);
}

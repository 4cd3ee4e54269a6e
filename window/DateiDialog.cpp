#include "window/Form1.h"

#include <QFileDialog>

QString Form1::DateiDialog()
{
    cmdStandarddialog->setWindowTitle(QStringLiteral("Datei auswählen"));
    cmdStandarddialog->setFileMode(QFileDialog::ExistingFile);
#ifndef Q_OS_WIN
    // Qt's own dialog, in German like the rest of the window.
    cmdStandarddialog->setOption(QFileDialog::DontUseNativeDialog);
#endif
    if (!lastChoice_.isEmpty())
        cmdStandarddialog->selectFile(lastChoice_);
    if (cmdStandarddialog->exec() != QDialog::Accepted || cmdStandarddialog->selectedFiles().isEmpty())
        return {};
    lastChoice_ = cmdStandarddialog->selectedFiles().constFirst();
    return lastChoice_;
}

#include "Form1.h"

#include "form/Texts.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFileDialog>
#include <QFileSystemModel>

namespace qtwindow {

std::string Form1::DateiDialog()
{
    cmdStandarddialog->setWindowTitle(QString::fromUtf8(form::texts::dialogTitle));
    cmdStandarddialog->setFileMode(QFileDialog::ExistingFile);
    // Qt's own dialog, in German like the rest of the window.
    cmdStandarddialog->setOption(QFileDialog::DontUseNativeDialog);
    // The dialog lives as long as the window. Were it to follow the folders it has shown, each
    // piece a job writes there would cost the window's thread a look at the new file, and a
    // job of thousands of pieces would leave the window busy long after it had ended.
    if (auto* model = cmdStandarddialog->findChild<QFileSystemModel*>())
        model->setOption(QFileSystemModel::DontWatchForChanges);
    if (!lastChoice_.isEmpty())
        cmdStandarddialog->selectFile(lastChoice_);
    const int answer = cmdStandarddialog->exec();
    // A name typed faster than the dialog read its folder leaves the list of matching names
    // open over the window once the dialog is gone, where it would swallow the next click.
    for (QCompleter* completer : cmdStandarddialog->findChildren<QCompleter*>())
        completer->popup()->hide();
    if (answer != QDialog::Accepted || cmdStandarddialog->selectedFiles().isEmpty())
        return {};
    lastChoice_ = cmdStandarddialog->selectedFiles().constFirst();
    return lastChoice_.toStdString();
}

} // namespace qtwindow

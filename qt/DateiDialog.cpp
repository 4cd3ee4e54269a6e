#include "Form1.h"

#include "form/Texts.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFileDialog>

namespace qtwindow {

std::string Form1::DateiDialog()
{
    // A dialog of its own for each choice: it shows the folders as they are now, and follows
    // none of them once it is gone, while a job writes thousands of pieces there.
    QFileDialog cmdStandarddialog(this, QString::fromUtf8(form::texts::dialogTitle));
    cmdStandarddialog.setObjectName(QStringLiteral("cmdStandarddialog"));
    cmdStandarddialog.setFileMode(QFileDialog::ExistingFile);
    // Qt's own dialog, in German like the rest of the window.
    cmdStandarddialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!lastChoice_.isEmpty())
        cmdStandarddialog.selectFile(lastChoice_);
    const int answer = cmdStandarddialog.exec();
    // A name typed faster than the dialog read its folder leaves the list of matching names
    // open over the window once the dialog is gone, where it would swallow the next click.
    for (QCompleter* completer : cmdStandarddialog.findChildren<QCompleter*>())
        completer->popup()->hide();
    if (answer != QDialog::Accepted || cmdStandarddialog.selectedFiles().isEmpty())
        return {};
    lastChoice_ = cmdStandarddialog.selectedFiles().constFirst();
    return lastChoice_.toStdString();
}

} // namespace qtwindow

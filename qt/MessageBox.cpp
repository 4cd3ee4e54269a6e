#include "MessageBox.h"

#include "form/Texts.h"

#include <QMessageBox>

namespace qtwindow {

void messageBox(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(form::texts::messageTitle), text, QMessageBox::Ok, parent);
    // Names quoted in a message are shown as they are, never read as markup: a<b>.avi.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

bool askYesNo(QWidget* parent, const QString& question)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(form::texts::messageTitle), question,
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace qtwindow

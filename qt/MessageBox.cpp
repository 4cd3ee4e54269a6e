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

} // namespace qtwindow

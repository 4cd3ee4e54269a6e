#include "window/MessageBox.h"

#include <QMessageBox>

void showMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Palvo"), text, QMessageBox::Ok, parent);
    // Names quoted in a message are shown as they are, never read as markup: a<b>.avi.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

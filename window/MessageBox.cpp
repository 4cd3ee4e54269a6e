#include "window/MessageBox.h"

#include <QMessageBox>

void showMessage(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Palvo"), text, QMessageBox::Ok, parent);
    box.exec();
}

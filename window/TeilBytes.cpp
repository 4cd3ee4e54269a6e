#include "window/Form1.h"

#include "window/MessageBox.h"
#include "runtime/LeadingNumber.h"
#include "runtime/Rounding.h"

#include <QLineEdit>

double Form1::TeilBytes()
{
    const double kilobytes = runtime::leadingNumber(textDateigröße->text().toStdString());
    const double bytes = kilobytes * 1024;
    // A size too large for any file's length is no more valid than a negative one.
    if (kilobytes > 0 && runtime::roundHalfEven(bytes))
        return bytes;
    showMessage(this, QStringLiteral("Geben Sie bitte eine gültige Dateigröße an!"));
    textDateigröße->setFocus();
    return 0;
}

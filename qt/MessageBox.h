#pragma once

#include <QString>

class QWidget;

namespace qtwindow {

// The program's message: a modal box titled Palvo, with the text as it stands, an OK button
// and no icon.
void messageBox(QWidget* parent, const QString& text);

} // namespace qtwindow

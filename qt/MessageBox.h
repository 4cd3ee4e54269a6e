#pragma once

#include <QString>

class QWidget;

namespace qtwindow {

// The program's message: a modal box titled Palvo, with the text as it stands, an OK button
// and no icon.
void messageBox(QWidget* parent, const QString& text);

// A modal question titled Palvo with "Ja" and "Nein", "Nein" the default; whether it was "Ja".
bool askYesNo(QWidget* parent, const QString& question);

} // namespace qtwindow

#pragma once

#include <QString>

class QWidget;

// The program's message: a modal box titled Palvo, with the text, an OK button and no icon.
void showMessage(QWidget* parent, const QString& text);

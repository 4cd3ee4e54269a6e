#pragma once

#include <memory>

class QApplication;

namespace qtwindow {

// The application as Palvo's window needs it, for the program and its tests alike, made
// before anything else of Qt: its name (the message boxes' title), its icon, and German
// throughout, whatever language the system is set to: Qt's own texts (the file dialog's
// buttons, the message box's "OK"), dates, numbers and the names of file types.
std::unique_ptr<QApplication> makeApplication(int& argc, char** argv);

} // namespace qtwindow

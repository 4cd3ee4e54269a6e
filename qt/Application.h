#pragma once

class QApplication;

namespace qtwindow {

// Makes the application what Palvo's window needs, for the program and its tests alike: its
// name (the message boxes' title), its icon, and Qt's own texts (the file dialog's buttons, the
// message box's OK) in German whatever language the system is set to.
void setUpApplication(QApplication& application);

} // namespace qtwindow

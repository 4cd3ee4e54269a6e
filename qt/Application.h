#pragma once

#include <memory>

#include <QStringList>

class QApplication;

namespace qtwindow {

// The application as Palvo's window needs it, for the program and its tests alike, made
// before anything else of Qt: its name (the message boxes' title), its icon, and German
// throughout, whatever language the system is set to: Qt's own texts (the file dialog's
// buttons, the message box's "OK"), dates, numbers and the names of file types. Qt is handed
// none of the command line but the program's own path: what follows it is the name of a file,
// even one that reads like an option of Qt ("-reverse", "--style=Fusion").
std::unique_ptr<QApplication> makeApplication(const char* programPath);

// What the program was started with after its own path: the names of files.
QStringList namedAtStart(int argc, char** argv);

} // namespace qtwindow

#include "Application.h"
#include "Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    const QStringList named = qtwindow::namedAtStart(argc, argv);
    const auto application = qtwindow::makeApplication(argv[0]);
    qtwindow::Form1 form(named);
    form.show();
    return QApplication::exec();
}

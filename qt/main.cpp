#include "Application.h"
#include "Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    const auto application = qtwindow::makeApplication(argc, argv);
    qtwindow::Form1 form(QApplication::arguments().mid(1));
    form.show();
    return QApplication::exec();
}

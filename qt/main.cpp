#include "Application.h"
#include "Form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    qtwindow::setUpApplication(application);
    qtwindow::Form1 form(QApplication::arguments().mid(1));
    form.show();
    return QApplication::exec();
}

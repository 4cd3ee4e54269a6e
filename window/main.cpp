#include "window/Form1.h"
#include "window/GermanTranslations.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Palvo"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/palvo.png")));
    installGermanTranslations(application);

    Form1 form;
    form.show();
    return QApplication::exec();
}

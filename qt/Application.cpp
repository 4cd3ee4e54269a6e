#include "Application.h"

#include "form/Texts.h"
#include "runtime/ProgramStart.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace qtwindow {

std::unique_ptr<QApplication> makeApplication(const char* programPath)
{
    runtime::prepareProgram();
    // Read by Qt once, as it starts: the file dialog's dates and file types follow it.
    qputenv("LC_ALL", "de_DE.UTF-8");
    // Qt keeps them for the application's whole life.
    static int argc = 1;
    static char* argv[] = {const_cast<char*>(programPath), nullptr};
    auto application = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(form::texts::messageTitle));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/palvo.png")));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    auto* translator = new QTranslator(application.get());
    if (translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    return application;
}

QStringList namedAtStart(int argc, char** argv)
{
    QStringList named;
    for (int index = 1; index < argc; ++index)
        named.append(QString::fromLocal8Bit(argv[index]));
    return named;
}

} // namespace qtwindow

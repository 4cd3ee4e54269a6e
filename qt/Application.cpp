#include "Application.h"

#include "form/Texts.h"
#include "runtime/ProgramStart.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

namespace qtwindow {

void setUpApplication(QApplication& application)
{
    runtime::prepareProgram();
    QApplication::setApplicationName(QString::fromUtf8(form::texts::messageTitle));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/palvo.png")));
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_de"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

} // namespace qtwindow

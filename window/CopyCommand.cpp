#include "window/Form1.h"

#include "window/FormServices.h"
#include "window/MessageBox.h"
#include "engine/DateiZerlegen.h"
#include "runtime/FileError.h"
#include "runtime/Rounding.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QThread>

#include <memory>

void Form1::buttonKopieren_Click()
{
    const auto pieceLength = runtime::roundHalfEven(TeilBytes());
    if (!pieceLength || *pieceLength <= 0)
        return;
    const QString source = DateiDialog();
    if (source.isEmpty())
        return;
    cut(source, *pieceLength);
}

void Form1::cut(const QString& source, engine::ByteCount pieceLength)
{
    const std::string path = QFile::encodeName(QDir::toNativeSeparators(source)).toStdString();
    FormServices services(*this);
    QString failure;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            engine::DateiZerlegen(path, pieceLength, services);
        } catch (const runtime::FileError& error) {
            failure = QString::fromStdString(error.what());
        } catch (const std::bad_alloc&) {
            failure = QStringLiteral("Es ist nicht genug Arbeitsspeicher frei.");
        } catch (const std::exception& error) {
            // A fault of the program itself: said so in German, with its own words after it.
            failure = QStringLiteral("Interner Fehler des Programms: %1").arg(QString::fromStdString(error.what()));
        }
    }));

    // The window goes on painting and carrying out the job's requests, but takes no input
    // until the job has ended.
    QEventLoop loop;
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    jobRunning_ = true;
    worker->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    jobRunning_ = false;

    if (!failure.isEmpty())
        showMessage(this, QStringLiteral("Das Zerlegen wurde abgebrochen.\n\n%1\n\nEs wurde keine Batch-Datei "
                                         "geschrieben. Bitte beheben Sie die Ursache und versuchen Sie es erneut.")
                              .arg(failure));
    if (closeRequested_)
        close();
}

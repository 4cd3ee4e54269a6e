// Runs one cutting job in the real window (offscreen) and reports how it painted meanwhile:
// the largest gap between two paints while paints were asked for every 10 ms, and the window
// process's resident memory before and during the job. With --stop, the job is stopped as a
// user stops it (Escape, then "Ja" to the question) once it has begun, and the time from "Ja"
// to the job's end is reported.
// Usage: palvo_window_bench SOURCE PIECE_KILOBYTES [--stop]
#include "Application.h"
#include "Form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

double residentMiB()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1 << 20);
}

// Notes the time of every paint of the window while the job runs.
class PaintClock : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            const qint64 now = clock.elapsed();
            largestGap = std::max(largestGap, now - lastPaint);
            lastPaint = now;
        }
        return false;
    }
    QElapsedTimer clock;
    qint64 lastPaint = 0;
    qint64 largestGap = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const auto application = qtwindow::makeApplication(argv[0]);
    const bool stop = argc == 4 && std::string(argv[3]) == "--stop";
    if (argc != 3 && !stop) {
        std::cerr << "usage: palvo_window_bench SOURCE PIECE_KILOBYTES [--stop]\n";
        return 2;
    }
    qtwindow::Form1 form;
    form.show();
    QTest::qWait(200);
    const double idle = residentMiB();

    PaintClock paints;
    double peak = idle;
    auto* description = form.findChild<QLabel*>(QStringLiteral("labelBeschreibung"));
    QTimer painter;
    QObject::connect(&painter, &QTimer::timeout, [&] {
        description->update();
        peak = std::max(peak, residentMiB());
    });
    description->installEventFilter(&paints);

    // Once the job has begun: Escape, and "Ja" to the question, as a user stops it.
    auto* progressLine = form.findChild<QLabel*>(QStringLiteral("labelInfo"));
    QElapsedTimer sinceJa;
    bool escapePressed = false;
    QTimer stopper;
    QObject::connect(&stopper, &QTimer::timeout, [&] {
        if (auto* question = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            stopper.stop();
            sinceJa.start();
            question->button(QMessageBox::Yes)->click();
        } else if (!progressLine->text().isEmpty() && !std::exchange(escapePressed, true)) {
            // Queued: the question it brings up waits for its answer, which this timer gives.
            QMetaObject::invokeMethod(&form, [&] { QTest::keyClick(&form, Qt::Key_Escape); }, Qt::QueuedConnection);
        }
    });

    // The file dialog is answered as a user would: the file chosen, then "Öffnen".
    int dialogs = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        answer.stop();
        ++dialogs;
        if (stop)
            stopper.start(10);
        const QFileInfo source(QString::fromLocal8Bit(argv[1]));
        dialog->setDirectory(source.absolutePath());
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(source.fileName());
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        paints.clock.start();
        painter.start(10);
    });
    answer.start(10);
    form.findChild<QLineEdit*>(QStringLiteral("textDateigröße"))->setText(QString::fromLocal8Bit(argv[2]));
    form.findChild<QPushButton*>(QStringLiteral("buttonKopieren"))->click();
    painter.stop();
    if (stop) {
        std::printf("stop_ms %lld\n", static_cast<long long>(sinceJa.isValid() ? sinceJa.elapsed() : -1));
        return 0;
    }
    if (dialogs != 1 || QApplication::activeModalWidget() != nullptr) {
        std::cerr << "the file dialog was not answered, or a message came up\n";
        return 1;
    }
    std::printf("gap_ms %lld idle_mib %.1f peak_mib %.1f\n", static_cast<long long>(paints.largestGap), idle, peak);
    return 0;
}

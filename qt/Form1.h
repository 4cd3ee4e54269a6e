#pragma once

#include "LauncherEntry.h"
#include "form/CopyCommand.h"
#include "form/CuttingRun.h"

#include <QWidget>

class QEventLoop;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qtwindow {

class ProgressLine;

// Palvo's one window on Linux: a sentence that explains the tool, the piece size, the button
// that asks for a file and cuts it, "Ende", the progress line and the contact line. Its
// controls bear their names as object names, by which tests find them.
class Form1 : public QWidget, private form::CopyCommandWindow, private form::JobView {
    Q_OBJECT
public:
    // arguments: what the program was started with; a file named there is the one the file
    // dialog offers first.
    explicit Form1(const QStringList& arguments = {}, QWidget* parent = nullptr);

private slots:
    void buttonKopieren_Click();
    void buttonEnde_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();
    void offerFileNamedAtStart(const QStringList& arguments);

    // What the copy command asks of the window.
    std::string sizeFieldText() override;
    void focusSizeField() override;
    void showMessage(const std::string& text) override;
    std::string DateiDialog() override;
    // Runs the job off the window's thread; the window paints meanwhile and takes only the input
    // that form::passesDuringJob lets through.
    void startCutting(const std::string& source, std::int64_t pieceLength) override;

    // What a running job shows.
    void postToWindow(std::function<void()> call) override;
    void showBusy(bool busy) override;
    void showProgressText(const std::string& text) override;
    bool askYesNo(const std::string& question) override;
    void showDesktopProgress(double fraction) override;
    void showDesktopFailure() override;
    void clearDesktopProgress() override;
    void jobEnded() override;

    QLabel* labelBeschreibung;
    QLabel* labelDateigröße;
    QLineEdit* textDateigröße;
    ProgressLine* labelInfo;
    QPushButton* buttonKopieren;
    QPushButton* buttonEnde;
    QLabel* Label1;

    form::CuttingRun run_{*this};
    LauncherEntry launcherEntry_;
    QEventLoop* jobLoop_ = nullptr;  // runs while the job does
    QString lastChoice_;
};

} // namespace qtwindow

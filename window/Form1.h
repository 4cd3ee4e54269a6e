#pragma once

#include "engine/CuttingPlan.h"

#include <QWidget>

class QFileDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class ProgressLine;

// Palvo's one window: a sentence that explains the tool, the piece size, the button that asks
// for a file and cuts it, "Ende", the progress line and the contact line.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);

    QLabel* labelBeschreibung;
    QLabel* labelDateigröße;
    QLineEdit* textDateigröße;
    ProgressLine* labelInfo;
    QPushButton* buttonKopieren;
    QPushButton* buttonEnde;
    QLabel* Label1;
    QFileDialog* cmdStandarddialog;

public slots:
    // Reads the size, asks for the file and cuts it.
    void buttonKopieren_Click();
    void buttonEnde_Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void layOut();
    // The piece size in bytes, or 0 after warning that the field holds no valid size.
    double TeilBytes();
    // The chosen file's full path, or the empty string when none was chosen.
    QString DateiDialog();
    // Runs the cutting job off the window's thread; the window keeps painting meanwhile.
    void cut(const QString& source, engine::ByteCount pieceLength);

    QString lastChoice_;
    bool jobRunning_ = false;  // the window takes no clicks or keys meanwhile
    bool closeRequested_ = false;
};

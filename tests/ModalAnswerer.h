#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

class QWidget;

// Answers the modal boxes and dialogs that appear while a test drives the window, in order:
// each one that appears is handed to the next answer. It records what it saw: the class and
// the text of each (a message box's text, a dialog's title). One that appears when no answer
// is left is recorded and rejected, so that a test fails instead of hanging.
class ModalAnswerer : public QObject {
    Q_OBJECT
public:
    using Answer = std::function<void(QWidget*)>;

    explicit ModalAnswerer(std::deque<Answer> answers = {});

    QStringList seen;

private:
    void look();

    std::deque<Answer> answers_;
    QTimer timer_;
    QPointer<QWidget> last_;  // null again once that one is gone
};

// Answers for the usual cases.
ModalAnswerer::Answer pressOk();
ModalAnswerer::Answer pressYes();
ModalAnswerer::Answer pressNo();
ModalAnswerer::Answer cancelDialog();
ModalAnswerer::Answer chooseFile(const QString& path);

// The names a file dialog lists in that folder, once it has read it.
QStringList namesListed(QWidget* dialog, const QString& folder);

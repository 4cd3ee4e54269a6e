#include "ModalAnswerer.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

ModalAnswerer::ModalAnswerer(std::deque<Answer> answers)
    : answers_(std::move(answers))
{
    connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::look);
    timer_.start(10);
}

void ModalAnswerer::look()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == last_)
        return;
    last_ = modal;
    const auto* box = qobject_cast<QMessageBox*>(modal);
    seen << QStringLiteral("%1: %2").arg(modal->metaObject()->className(), box ? box->text() : modal->windowTitle());
    if (answers_.empty()) {
        QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
        return;
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    answer(modal);
}

namespace {

ModalAnswerer::Answer pressButton(QMessageBox::StandardButton which)
{
    return [which](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box && box->button(which))
            box->button(which)->click();
    };
}

} // namespace

ModalAnswerer::Answer pressOk() { return pressButton(QMessageBox::Ok); }
ModalAnswerer::Answer pressYes() { return pressButton(QMessageBox::Yes); }
ModalAnswerer::Answer pressNo() { return pressButton(QMessageBox::No); }

ModalAnswerer::Answer cancelDialog()
{
    return [](QWidget* modal) { QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection); };
}

QStringList namesListed(QWidget* modal, const QString& folder)
{
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    dialog->setDirectory(folder);
    auto* model = dialog->findChild<QFileSystemModel*>();
    // Read once it lists as many names as the folder holds; one that lists a folder as it was
    // before never gets there, and what it lists is told after a while.
    const qsizetype held = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size();
    QStringList names;
    (void)QTest::qWaitFor([&] {
        const QModelIndex shown = model->index(folder);
        names.clear();
        for (int row = 0; row < model->rowCount(shown); ++row)
            names << model->index(row, 0, shown).data().toString();
        return names.size() == held;
    });
    return names;
}

ModalAnswerer::Answer chooseFile(const QString& path)
{
    return [path](QWidget* modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            // Typed into the name field once the folder is shown, as a user would, over what
            // the dialog had picked in its list.
            namesListed(dialog, QFileInfo(path).absolutePath());
            dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"))->clearSelection();
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QFileInfo(path).fileName());
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        }
    };
}

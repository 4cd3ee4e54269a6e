#include "Application.h"
#include "Form1.h"
#include "form/Texts.h"

#include "ModalAnswerer.h"
#include "LinuxFaults.h"

#include <QApplication>
#include <QDBusConnection>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

// Texts in failure reports as a person reads them.
void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

using namespace testsupport;
using qtwindow::Form1;

// A session bus of the tests' own, for as long as they run: what the window says on it is
// heard by the tests and by no desktop.
class PrivateSessionBus {
public:
    PrivateSessionBus()
    {
        FILE* daemon = ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1", "r");
        char address[512] = {}, pid[32] = {};
        if (daemon && std::fgets(address, sizeof address, daemon) && std::fgets(pid, sizeof pid, daemon)) {
            address[std::strcspn(address, "\n")] = '\0';
            ::setenv("DBUS_SESSION_BUS_ADDRESS", address, 1);
            pid_ = std::atoi(pid);
        }
        if (daemon)
            ::pclose(daemon);
    }
    ~PrivateSessionBus()
    {
        if (pid_ > 0)
            ::kill(pid_, SIGTERM);
    }
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

private:
    pid_t pid_ = 0;
};

QString q(const std::string& text) { return QString::fromStdString(text); }

// A control of the window, found by its name as a user's tool would find it.
template <typename Control = QWidget>
Control* control(const QWidget& form, const char* name)
{
    auto* found = form.findChild<Control*>(QString::fromUtf8(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

QLineEdit* sizeField(const QWidget& form) { return control<QLineEdit>(form, "textDateigröße"); }
QLabel* progressLine(const QWidget& form) { return control<QLabel>(form, "labelInfo"); }
QPushButton* copyButton(const QWidget& form) { return control<QPushButton>(form, "buttonKopieren"); }
QPushButton* endButton(const QWidget& form) { return control<QPushButton>(form, "buttonEnde"); }

// Records what the window showed whenever the progress line was painted.
class PaintWatcher : public QObject {
public:
    explicit PaintWatcher(Form1& form, std::function<void()> onFirstProgress = {})
        : form_(form), onFirstProgress_(std::move(onFirstProgress))
    {
        progressLine(form)->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !progressLine(form_)->text().isEmpty()) {
            texts << progressLine(form_)->text();
            busyCursor = busyCursor || form_.cursor().shape() == Qt::WaitCursor;
            if (onFirstProgress_)
                std::exchange(onFirstProgress_, {})();
        }
        return false;
    }
    QStringList texts;
    bool busyCursor = false;

private:
    Form1& form_;
    std::function<void()> onFirstProgress_;
};

// Clicks "Datei auswählen und kopieren" and answers what appears; returns what appeared.
QStringList copyIn(QWidget& form, std::deque<ModalAnswerer::Answer> answers)
{
    ModalAnswerer answerer(std::move(answers));
    QTest::mouseClick(copyButton(form), Qt::LeftButton);
    QApplication::processEvents();
    return answerer.seen;
}

class Window : public ::testing::Test {
protected:
    Window()
    {
        form.show();
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    QStringList copyWith(std::deque<ModalAnswerer::Answer> answers) { return copyIn(form, std::move(answers)); }

    Form1 form;
    TempFolder folder;
};

TEST_F(Window, StartsWithItsTextsLayoutAndFocus)
{
    EXPECT_EQ(form.windowTitle(), "Palvo V1.1");
    EXPECT_EQ(sizeField(form)->text(), "1400");
    EXPECT_EQ(progressLine(form)->text(), "");
    EXPECT_EQ(control<QLabel>(form, "labelDateigröße")->text(), "Dateigröße (in kB):");
    EXPECT_EQ(copyButton(form)->text(), "Datei auswählen und kopieren");
    EXPECT_EQ(endButton(form)->text(), "Ende");
    EXPECT_TRUE(control<QLabel>(form, "labelBeschreibung")->text().startsWith("Dieses Programm zerteilt die Große Datei"));
    EXPECT_TRUE(control<QLabel>(form, "labelBeschreibung")->text().contains("einem klick auf die Dos- Batch Datei"));
    EXPECT_TRUE(control<QLabel>(form, "Label1")->text().startsWith("E- Mail:      "));
    EXPECT_EQ(QApplication::focusWidget(), endButton(form));
    for (QWidget* next : std::initializer_list<QWidget*>{copyButton(form), sizeField(form), endButton(form)}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }

    ASSERT_EQ(form.logicalDpiX(), 96);  // 15 twips to a pixel
    EXPECT_EQ(form.size(), QSize(358, 262));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(copyButton(form)->geometry(), QRect(8, 188, 217, 33));
    EXPECT_EQ(endButton(form)->geometry(), QRect(240, 188, 73, 33));
    EXPECT_EQ(sizeField(form)->geometry(), QRect(144, 112, 57, 21));
    EXPECT_EQ(progressLine(form)->geometry(), QRect(8, 152, 305, 25));
    EXPECT_EQ(progressLine(form)->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(control<QLabel>(form, "Label1")->palette().color(QPalette::WindowText), QColor(255, 255, 0));

    // Every text fits its control.
    for (QLabel* label : {control<QLabel>(form, "labelBeschreibung"), control<QLabel>(form, "labelDateigröße"), control<QLabel>(form, "Label1")})
        EXPECT_LE(label->heightForWidth(label->width()) > 0 ? label->heightForWidth(label->width())
                                                           : label->sizeHint().height(),
                  label->height())
            << label->objectName().toStdString();
    EXPECT_LE(copyButton(form)->sizeHint().width(), copyButton(form)->width());
}

TEST_F(Window, ReadsTheSizeFieldAsKilobytes)
{
    // How a size is read, FormTest.cpp tells: here the field's text reaches it, and a warning
    // puts the focus back in the field.
    const struct {
        const char* text;
        std::int64_t pieceLength;  // 0: the warning
    } cases[] = {{"1.5", 1536}, {"abc", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        sizeField(form)->setText(c.text);
        endButton(form)->setFocus();
        TempFolder here;
        const std::string source = here / "film.avi";
        if (c.pieceLength > 0) {
            writeFile(source, randomBytes(static_cast<std::size_t>(2 * c.pieceLength + 1)));
            EXPECT_EQ(copyWith({chooseFile(q(source))}), QStringList{"QFileDialog: Datei auswählen"});
            EXPECT_EQ(readFile(here / "film.001").size(), static_cast<std::size_t>(c.pieceLength));
            EXPECT_EQ(readFile(here / "film.003").size(), 1u);
        } else {
            EXPECT_EQ(copyWith({pressOk()}), QStringList{"QMessageBox: Geben Sie bitte eine gültige Dateigröße an!"});
            EXPECT_EQ(form.focusWidget(), sizeField(form));
        }
        EXPECT_EQ(sizeField(form)->text(), c.text) << "the field keeps what the user typed";
    }
}

TEST_F(Window, CutsTheChosenFileWithProgressAndOffersItAgain)
{
    const std::string bytes = randomBytes(3000000);
    writeFile(folder / "film.avi", bytes);
    PaintWatcher watcher(form);
    const auto listThenChoose = [&](QWidget* dialog) {
        EXPECT_EQ(namesListed(dialog, q(folder.path())), QStringList{"film.avi"});
        chooseFile(q(folder / "film.avi"))(dialog);
    };
    EXPECT_EQ(copyWith({listThenChoose}).size(), 1);

    EXPECT_EQ(joinedPieces(folder / "film."), bytes);
    EXPECT_EQ(copyCommandIn(folder / "film.bat"), "copy /b film.001 + film.002 + film.003 film.avi.unfertig\r\n");
    const QStringList pieceTexts = {q("Kopiere Daten nach " + folder / "film.001"),
                                    q("Kopiere Daten nach " + folder / "film.002"),
                                    q("Kopiere Daten nach " + folder / "film.003")};
    ASSERT_FALSE(watcher.texts.isEmpty()) << "the progress line was painted during the job";
    for (const QString& text : watcher.texts)
        EXPECT_TRUE(pieceTexts.contains(text)) << text.toStdString();
    EXPECT_TRUE(watcher.busyCursor);
    EXPECT_EQ(progressLine(form)->text(), "");
    EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);

    // Cancelled, the second command changes nothing; the dialog offers the last file and lists
    // what the job made since.
    const auto before = folder.names();
    QString offered;
    QStringList listed;
    const auto answers = copyWith({[&](QWidget* dialog) {
        auto* fileDialog = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(fileDialog, nullptr);
        offered = fileDialog->selectedFiles().value(0);
        listed = namesListed(dialog, q(folder.path()));
        cancelDialog()(dialog);
    }});
    EXPECT_EQ(offered, q(folder / "film.avi"));
    EXPECT_EQ(folder.names(), before);
    EXPECT_EQ(listed.size(), 5) << listed.join(' ').toStdString();
}

TEST_F(Window, MessagesShowTheirTextAsItStands)
{
    writeFile(folder / "a<b>.avi", randomBytes(3000));
    sizeField(form)->setText("1");
    Qt::TextFormat format = Qt::RichText;
    const QStringList seen = copyWith({chooseFile(q(folder / "a<b>.avi")), [&](QWidget* box) {
                                           format = box->findChild<QLabel*>("qt_msgbox_label")->textFormat();
                                           pressOk()(box);
                                       }});
    ASSERT_EQ(seen.size(), 2);
    ASSERT_TRUE(Qt::mightBeRichText(seen[1])) << "a name that looks like markup: " << seen[1].toStdString();
    EXPECT_EQ(format, Qt::PlainText);
}

TEST_F(Window, EnterAndSpacePressTheFocusedButton)
{
    const std::pair<Qt::Key, const char*> keys[] = {
        {Qt::Key_Return, "Return"}, {Qt::Key_Enter, "Enter on the keypad"}, {Qt::Key_Space, "Space"}};
    for (const auto& [key, keyName] : keys) {
        SCOPED_TRACE(keyName);
        for (const char* name : {"buttonKopieren", "textDateigröße"}) {
            auto* widget = form.findChild<QWidget*>(name);
            if (key == Qt::Key_Space && widget == sizeField(form))
                continue;  // a blank typed into the field
            widget->setFocus();
            ModalAnswerer answerer({cancelDialog()});
            QTest::keyClick(widget, key);
            QApplication::processEvents();
            EXPECT_EQ(answerer.seen, QStringList{"QFileDialog: Datei auswählen"}) << name;
        }
        Form1 other;
        other.show();
        endButton(other)->setFocus();
        QTest::keyClick(endButton(other), key);
        EXPECT_FALSE(other.isVisible()) << "Ende";
    }
}

TEST_F(Window, TheFirstClickAfterAJobCounts)
{
    writeFile(folder / "film.avi", randomBytes(3000000));
    EXPECT_EQ(copyWith({chooseFile(q(folder / "film.avi"))}).size(), 1);
    // Clicked as the window system delivers a click, not handed to the button directly.
    ModalAnswerer answerer({cancelDialog()});
    const QPoint centre = copyButton(form)->geometry().center();
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, centre);
    QApplication::processEvents();
    EXPECT_EQ(answerer.seen, QStringList{"QFileDialog: Datei auswählen"});
}

TEST_F(Window, NoListOfNamesStaysBehindTheFileDialog)
{
    writeFile(folder / "film.avi", randomBytes(3000));
    sizeField(form)->setText("1");
    bool namesArrived = false;
    copyWith({[&](QWidget* dialog) {
        auto* fileDialog = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(fileDialog, nullptr);
        // Typed faster than the dialog reads the folder, and chosen at once.
        auto* names = dialog->findChild<QFileSystemModel*>();
        QObject::connect(names, &QFileSystemModel::directoryLoaded, [&] { namesArrived = true; });
        QObject::connect(names, &QObject::destroyed, [&] { namesArrived = true; });
        fileDialog->setDirectory(q(folder.path()));
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")), "film.avi");
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
    }});
    EXPECT_TRUE(std::filesystem::exists(folder / "film.bat"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return namesArrived; })) << "the folder's names arrive late, or go with the dialog";
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(Window, SpeaksGermanInTheFileDialog)
{
    writeFile(folder / "notiz.txt", "Text");
    QStringList buttons;
    QString type, date;
    copyWith({[&](QWidget* dialog) {
        for (QPushButton* button : dialog->findChild<QDialogButtonBox*>()->findChildren<QPushButton*>())
            buttons << button->text().remove('&');
        // The file's kind and date as the dialog's list shows them, once it has read the folder.
        auto* fileDialog = qobject_cast<QFileDialog*>(dialog);
        ASSERT_NE(fileDialog, nullptr);
        fileDialog->setDirectory(q(folder.path()));
        auto* files = dialog->findChild<QFileSystemModel*>();
        const QModelIndex note = files->index(q(folder / "notiz.txt"));
        (void)QTest::qWaitFor([&] { return !files->data(note.siblingAtColumn(2)).toString().isEmpty(); });
        type = files->data(note.siblingAtColumn(2)).toString();
        date = files->data(note.siblingAtColumn(3)).toString();
        cancelDialog()(dialog);
    }});
    EXPECT_TRUE(buttons.contains("Öffnen")) << buttons.join(", ").toStdString();
    EXPECT_TRUE(buttons.contains("Abbrechen")) << buttons.join(", ").toStdString();
    EXPECT_EQ(type, "Einfaches Textdokument");
    const QDate written = QFileInfo(q(folder / "notiz.txt")).lastModified().date();
    EXPECT_TRUE(date.startsWith(QLocale().toString(written, QLocale::ShortFormat))) << date.toStdString();
}

TEST_F(Window, ShowsTheEnginesMessagesAndFailuresAndStaysUsable)
{
    sizeField(form)->setText("1");
    writeFile(folder / "klein.avi", "zu klein");
    EXPECT_EQ(copyWith({chooseFile(q(folder / "klein.avi")), pressOk()}).value(1),
              "QMessageBox: Die ausgewählte Datei ist kleiner als die angegebene Dateigröße. Keine Zerlegung "
              "erforderlich.");

    writeFile(folder / "film.avi", randomBytes(5000));
    QStringList seen;
    {
        FileSizeLimit limit(1000);
        seen = copyWith({chooseFile(q(folder / "film.avi")), pressOk()});
    }
    ASSERT_EQ(seen.size(), 2);
    EXPECT_TRUE(seen[1].contains(q("Die Datei „" + folder / "film.001" + "“ konnte nicht geschrieben werden")))
        << seen[1].toStdString();
    EXPECT_FALSE(exists(folder / "film.bat"));
    EXPECT_EQ(progressLine(form)->text(), "");
    EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);

    EXPECT_EQ(copyWith({chooseFile(q(folder / "film.avi"))}).size(), 1);
    EXPECT_EQ(joinedPieces(folder / "film."), readFile(folder / "film.avi"));
}

// A source of a gigabyte on a disk in memory, with an earlier job's script and an unrelated
// piece of a higher number beside it: a job on it runs long enough to be stopped. Where the
// earlier job left a large first piece too, the disk has no room for both sets at once.
struct LongJob {
    explicit LongJob(bool roomForOneSet = false) : roomForOneSet(roomForOneSet), disk(1200 << 20)
    {
        std::ofstream(disk / "film.avi").close();
        std::filesystem::resize_file(disk / "film.avi", 1000 << 20);  // sparse: quickly made
        writeFile(disk / "film.bat", earlierScript);
        writeFile(disk / "film.099", "ein Teil eines anderen Zerlegens");
        if (roomForOneSet)
            writeFile(disk / "film.001", std::string(300 << 20, 'x'));
    }
    // What the job leaves after it, checked as the user would: its pieces and script, or
    // the folder as it was, but for the earlier pieces where there was room for one set only.
    void expectCompleteOrGone(bool complete) const
    {
        EXPECT_EQ(std::filesystem::file_size(disk / "film.avi"), 1000u << 20) << "the source is untouched";
        EXPECT_EQ(readFile(disk / "film.099"), "ein Teil eines anderen Zerlegens");
        if (complete) {
            EXPECT_EQ(readScript(readFile(disk / "film.bat")).pieces.size(), 50u);
            EXPECT_EQ(std::filesystem::file_size(disk / "film.050"), 20u << 20);
        } else if (roomForOneSet) {
            EXPECT_EQ(disk.names(), (std::vector<std::string>{"film.099", "film.avi"}));
        } else {
            EXPECT_EQ(disk.names(), (std::vector<std::string>{"film.099", "film.avi", "film.bat"}));
            EXPECT_EQ(readFile(disk / "film.bat"), earlierScript);
        }
    }
    static constexpr const char* earlierScript = "copy /b film.001 + film.002 film.avi\r\n";
    bool roomForOneSet;
    SmallDisk disk;
};

// Says Ja only after the job had time to end on its own: it waits while the question is open,
// so its last piece never comes, and Ja still takes back all it wrote.
ModalAnswerer::Answer pressYesAfterAWait(const std::string& last)
{
    return [last](QWidget* box) {
        EXPECT_FALSE(QTest::qWaitFor([&] { return exists(last); }, 3000)) << "the job went on under the question";
        pressYes()(box);
    };
}

TEST(WindowWhileCutting, AJobStopsWhenTheUserSaysSo)
{
    SKIP_UNLESS_ROOT();
    enum class Answer { Ja, Nein, JaAfterAWait };
    const struct {
        const char* way;
        void (*ask)(Form1&);
        Answer answer;
        bool windowStays;
        bool roomForOneSet = false;
    } cases[] = {
        {"Ende", [](Form1& form) { QTest::mouseClick(endButton(form), Qt::LeftButton); }, Answer::Ja, false},
        {"Ende, with room for one set of pieces only",
         [](Form1& form) { QTest::mouseClick(endButton(form), Qt::LeftButton); }, Answer::Ja, false, true},
        {"Ende", [](Form1& form) { QTest::mouseClick(endButton(form), Qt::LeftButton); }, Answer::Nein, true},
        {"Ende", [](Form1& form) { QTest::mouseClick(endButton(form), Qt::LeftButton); }, Answer::JaAfterAWait, false},
        {"the window's close button", [](Form1& form) { form.close(); }, Answer::Ja, false},
        {"the window's close button", [](Form1& form) { form.close(); }, Answer::Nein, true},
        {"Escape", [](Form1& form) { QTest::keyClick(&form, Qt::Key_Escape); }, Answer::Ja, true},
        {"Escape", [](Form1& form) { QTest::keyClick(copyButton(form), Qt::Key_Escape); }, Answer::Nein, true},
        {"the keyboard alone: Tab to Ende, Space", [](Form1& form) {
             for (int tabs = 0; tabs < 3 && form.focusWidget() != endButton(form); ++tabs)
                 QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
             QTest::keyClick(form.focusWidget(), Qt::Key_Space);
         }, Answer::Ja, false},
    };
    for (const auto& c : cases) {
        const char* answers[] = {"Ja", "Nein", "Ja after a wait"};
        SCOPED_TRACE(std::string(c.way) + ", " + answers[static_cast<int>(c.answer)]);
        LongJob job(c.roomForOneSet);
        Form1 form;
        form.show();
        sizeField(form)->setText("20480");
        PaintWatcher watcher(form, [&] { QTimer::singleShot(0, [&] { c.ask(form); }); });
        const ModalAnswerer::Answer answer = c.answer == Answer::Ja     ? pressYes()
                                             : c.answer == Answer::Nein ? pressNo()
                                                                        : pressYesAfterAWait(job.disk / "film.050");
        const char* question = c.roomForOneSet ? form::texts::stopQuestionOverEarlierPieces : form::texts::stopQuestion;
        EXPECT_EQ(copyIn(form, {chooseFile(q(job.disk / "film.avi")), answer}),
                  (QStringList{"QFileDialog: Datei auswählen", "QMessageBox: " + QString::fromUtf8(question)}));
        job.expectCompleteOrGone(c.answer == Answer::Nein);
        EXPECT_EQ(form.isVisible(), c.windowStays);
        EXPECT_EQ(progressLine(form)->text(), "");
    }
}

// Hears what the window tells the dock, on the tests' own session bus.
class LauncherListener : public QObject {
    Q_OBJECT
public:
    LauncherListener()
    {
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "listener");
        EXPECT_TRUE(bus.isConnected()) << "a session bus of the tests' own runs";
        bus.connect({}, {}, "com.canonical.Unity.LauncherEntry", "Update", this, SLOT(update(QString, QVariantMap)));
    }
    QList<QVariantMap> updates;

public slots:
    void update(const QString& application, const QVariantMap& properties)
    {
        if (application == "application://io.github.palvo.Palvo.desktop")
            updates << properties;
    }
};

TEST(WindowWhileCutting, ShowsHowFarTheJobIsWhereTheDockShowsIt)
{
    SKIP_UNLESS_ROOT();
    LauncherListener dock;
    LongJob job;
    Form1 form;
    form.show();
    sizeField(form)->setText("20480");
    copyIn(form, {chooseFile(q(job.disk / "film.avi"))});
    job.expectCompleteOrGone(true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dock.updates.isEmpty() && !dock.updates.last()["progress-visible"].toBool(); }));

    ASSERT_GE(dock.updates.size(), 3) << "several while the job runs, and one at its end";
    QList<double> shown;
    for (const QVariantMap& update : dock.updates.mid(0, dock.updates.size() - 1)) {
        EXPECT_TRUE(update["progress-visible"].toBool());
        shown << update["progress"].toDouble();
    }
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
    EXPECT_LT(shown.first(), shown.last());
    EXPECT_EQ(shown.last(), 1.0);
    EXPECT_EQ(dock.updates.last()["progress"].toDouble(), 0.0);
}

TEST_F(Window, CutsOneFileDroppedOnItAndExplainsWhyNotMore)
{
    writeFile(folder / "film.avi", randomBytes(3000, 2));
    writeFile(folder / "zweite.avi", randomBytes(3000, 3));
    sizeField(form)->setText("1");
    // What is done with which drop, FormTest.cpp tells: here the files dropped reach it.
    const struct {
        const char* what;
        std::vector<std::string> dropped;
        QString message;  // empty: the file is cut
    } cases[] = {
        {"one file", {"film.avi"}, ""},
        {"two files", {"film.avi", "zweite.avi"}, "Es wurden mehrere Dateien auf das Fenster gezogen."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        removeFile(folder / "film.bat");
        QMimeData files;
        QList<QUrl> urls;
        for (const std::string& name : c.dropped)
            urls << QUrl::fromLocalFile(q(folder / name));
        files.setUrls(urls);
        ModalAnswerer answerer({pressOk()});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&form, &drop);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !answerer.seen.isEmpty() || exists(folder / "film.bat"); }));
        if (c.message.isEmpty()) {
            EXPECT_EQ(answerer.seen, QStringList{});
            EXPECT_EQ(joinedPieces(folder / "film."), readFile(folder / "film.avi"));
        } else {
            ASSERT_EQ(answerer.seen.size(), 1);
            EXPECT_TRUE(answerer.seen[0].contains(c.message)) << answerer.seen[0].toStdString();
            EXPECT_FALSE(exists(folder / "film.bat"));
        }
    }
    QMimeData webAddress;
    webAddress.setUrls({QUrl("https://example.org/film.avi")});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &webAddress, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&form, &enter);
    EXPECT_FALSE(enter.isAccepted()) << "only files are taken";
}

// What a window started with these arguments in that folder shows at its start, and which file
// its dialog offers first.
struct Start {
    QStringList messages;
    QString offered;
};
Start startIn(const std::string& folder, const QStringList& arguments)
{
    const std::filesystem::path startedIn = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    Start start;
    {
        ModalAnswerer started({pressOk()});
        Form1 form(arguments);
        form.show();
        QApplication::processEvents();  // the start's own handling comes as the window is up
        start.messages = started.seen;
        copyIn(form, {[&](QWidget* dialog) {
            auto* fileDialog = qobject_cast<QFileDialog*>(dialog);
            ASSERT_NE(fileDialog, nullptr);
            start.offered = fileDialog->selectedFiles().value(0);
            cancelDialog()(dialog);
        }});
    }
    std::filesystem::current_path(startedIn);
    return start;
}

TEST(WindowStarted, WithAFileOffersItInTheDialog)
{
    TempFolder folder;
    writeFile(folder / "film.avi", randomBytes(3000, 4));
    // Which name is offered, FormTest.cpp tells: here the dialog offers it, or a box says why not.
    const struct {
        const char* what;
        QStringList arguments;
        QString offered;  // by the dialog at its first showing
        QStringList messages;
    } cases[] = {
        {"a file", {q(folder / "film.avi")}, q(folder / "film.avi"), {}},
        {"a name of no file", {q(folder / "fehlt.avi")}, "",
         {q("QMessageBox: Palvo sollte die Datei „" + folder / "fehlt.avi" + "“ öffnen, doch die gibt es nicht. Bitte "
            "wählen Sie die Datei mit „Datei auswählen und kopieren“.")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Start start = startIn(folder.path(), c.arguments);
        EXPECT_EQ(start.messages, c.messages);
        EXPECT_EQ(start.offered, c.offered);
        EXPECT_FALSE(exists(folder / "film.bat")) << "nothing is cut before the user asks";
    }
}

// What this test program was started with after its own path and the test framework's flags.
// The test command runs the test below once with a name that Qt would take for its own option.
QStringList startedWith;

TEST(WindowStartedFromAShell, TakesANameLikeAnOptionOfQtForAFile)
{
    ASSERT_EQ(startedWith.size(), 1) << "the test command starts this with one name";
    // What Qt would have done with the names the test command gives, had it taken them.
    EXPECT_EQ(QApplication::layoutDirection(), Qt::LeftToRight) << "Qt took the name for its option";
    EXPECT_NE(QApplication::style()->name(), "windows") << "Qt took the name for its option";
    TempFolder folder;
    writeFile(folder / startedWith.front().toStdString(), randomBytes(3000, 4));
    const Start start = startIn(folder.path(), startedWith);
    EXPECT_EQ(start.messages, QStringList());
    EXPECT_EQ(start.offered, q(folder / startedWith.front().toStdString()));
    EXPECT_EQ(folder.names().size(), 1u) << "nothing is cut before the user asks";
}

TEST_F(Window, TakesNoInputButEndeAndEscapeDuringAJob)
{
    const std::string bytes = randomBytes(4 << 20);
    writeFile(folder / "film.avi", bytes);
    sizeField(form)->setText("1");
    PaintWatcher watcher(form, [&] {
        // Pressed and typed while the job runs: none of it may start anything or stay.
        QTest::mouseClick(copyButton(form), Qt::LeftButton);
        QTest::keyClicks(sizeField(form), "777");
        QTest::keyClick(sizeField(form), Qt::Key_Return);
    });
    EXPECT_EQ(copyWith({chooseFile(q(folder / "film.avi"))}), QStringList{"QFileDialog: Datei auswählen"});
    // Whatever the window still has to handle of what it was given meanwhile opens nothing.
    ModalAnswerer late({cancelDialog(), pressOk()});
    QApplication::processEvents();
    EXPECT_EQ(late.seen, QStringList());
    EXPECT_EQ(sizeField(form)->text(), "1");
    EXPECT_TRUE(joinedPieces(folder / "film.") == bytes);
}

TEST_F(Window, EndeClosesTheWindow)
{
    QTest::mouseClick(endButton(form), Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}

} // namespace

#include "WindowTest.moc"

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const PrivateSessionBus bus;
    ::testing::InitGoogleTest(&argc, argv);
    startedWith = qtwindow::namedAtStart(argc, argv);
    const auto application = qtwindow::makeApplication(argv[0]);
    return RUN_ALL_TESTS();
}

#include "Form1.h"

#include "MessageBox.h"
#include "ProgressLine.h"
#include "PushButton.h"
#include "form/Form1Layout.h"
#include "form/InputDuringJob.h"
#include "form/Texts.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace qtwindow {

namespace {

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

QColor colour(form::Rgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue); }

void setColour(QWidget* widget, QPalette::ColorRole role, form::Rgb rgb)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour(rgb));
    widget->setPalette(palette);
}

template <typename Widget>
Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QString::fromUtf8(name));
    return widget;
}

} // namespace

Form1::Form1(const QStringList& arguments, QWidget* parent)
    : QWidget(parent)
    , labelBeschreibung(named(new QLabel(text(form::texts::beschreibung), this), "labelBeschreibung"))
    , labelDateigröße(named(new QLabel(text(form::texts::dateigröße), this), "labelDateigröße"))
    , textDateigröße(named(new QLineEdit(text(form::texts::startingSize), this), "textDateigröße"))
    , labelInfo(named(new ProgressLine(this), "labelInfo"))
    , buttonKopieren(named(new PushButton(text(form::texts::kopieren), this), "buttonKopieren"))
    , buttonEnde(named(new PushButton(text(form::texts::ende), this), "buttonEnde"))
    , Label1(named(new QLabel(text(form::texts::contact), this), "Label1"))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromStdString(form::texts::windowTitle()));

    labelBeschreibung->setWordWrap(true);
    labelBeschreibung->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    labelDateigröße->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setColour(labelInfo, QPalette::WindowText, form::colours::progressText);
    setColour(Label1, QPalette::WindowText, form::colours::contactText);
    setColour(Label1, QPalette::Window, form::colours::classicInactiveBorder);
    Label1->setAutoFillBackground(true);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    setTabOrder(buttonEnde, buttonKopieren);
    setTabOrder(buttonKopieren, textDateigröße);
    buttonEnde->setFocus();

    connect(buttonKopieren, &QPushButton::clicked, this, &Form1::buttonKopieren_Click);
    connect(buttonEnde, &QPushButton::clicked, this, &Form1::buttonEnde_Click);
    connect(textDateigröße, &QLineEdit::returnPressed, buttonKopieren, &QPushButton::click);
    layOut();

    setAcceptDrops(true);
    // During a job the controls take only the input that the rule lets pass (eventFilter).
    buttonEnde->installEventFilter(this);
    buttonKopieren->installEventFilter(this);
    textDateigröße->installEventFilter(this);
    // Once the window is up, so that a message about the name stands over it.
    QTimer::singleShot(0, this, [this, arguments] { offerFileNamedAtStart(arguments); });
}

void Form1::offerFileNamedAtStart(const QStringList& arguments)
{
    std::vector<std::string> names;
    for (const QString& argument : arguments)
        names.push_back(argument.toStdString());
    const std::string offered = form::fileNamedAtStart(*this, names);
    if (!offered.empty())
        lastChoice_ = QString::fromStdString(offered);
}

void Form1::layOut()
{
    QFont small = font();
    small.setPointSize(form::layout::fontPoints);
    setFont(small);
    const auto pixels = [this](const form::Twips& place) {
        using form::layout::toPixels;
        return QRect(toPixels(place.left, logicalDpiX()), toPixels(place.top, logicalDpiY()),
                     toPixels(place.width, logicalDpiX()), toPixels(place.height, logicalDpiY()));
    };
    labelBeschreibung->setGeometry(pixels(form::layout::labelBeschreibung));
    labelDateigröße->setGeometry(pixels(form::layout::labelDateigröße));
    textDateigröße->setGeometry(pixels(form::layout::textDateigröße));
    labelInfo->setGeometry(pixels(form::layout::labelInfo));
    buttonKopieren->setGeometry(pixels(form::layout::buttonKopieren));
    buttonEnde->setGeometry(pixels(form::layout::buttonEnde));
    Label1->setGeometry(pixels(form::layout::Label1));
    setFixedSize(pixels(form::layout::clientArea).size());
}

void Form1::buttonKopieren_Click()
{
    form::buttonKopieren_Click(*this);
}

void Form1::buttonEnde_Click()
{
    close();
}

void Form1::closeEvent(QCloseEvent* event)
{
    // The window closes once a running job has taken back what it wrote.
    if (run_.running()) {
        event->ignore();
        run_.offerToStop(form::CuttingRun::AfterStop::Close);
        return;
    }
    event->accept();
}

void Form1::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && run_.running())
        run_.offerToStop(form::CuttingRun::AfterStop::StayOpen);
    else
        QWidget::keyPressEvent(event);
}

namespace {

form::Input::Key keyOf(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Escape:
        return form::Input::Key::Escape;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return form::Input::Key::Tab;
    case Qt::Key_F4:
        return form::Input::Key::F4;
    default:
        return form::Input::Key::Other;
    }
}

// An event as the rule for input during a job sees it.
form::Input inputOf(const QEvent& event, bool forButtonEnde)
{
    form::Input input;
    input.forButtonEnde = forButtonEnde;
    switch (event.type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto& key = static_cast<const QKeyEvent&>(event);
        input.kind = form::Input::Kind::Key;
        input.key = keyOf(key);
        input.alt = key.modifiers().testFlag(Qt::AltModifier);
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        input.kind = form::Input::Kind::Mouse;
        break;
    default:
        break;
    }
    return input;
}

} // namespace

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    // Of a control's input during a job, what passes the rule reaches it; the rest is dropped.
    if (run_.running() && !form::passesDuringJob(inputOf(*event, watched == buttonEnde)))
        return true;
    return QWidget::eventFilter(watched, event);
}

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    // Files only: a web address dragged from a browser is not taken.
    const QList<QUrl> urls = event->mimeData()->urls();
    const bool files =
        !urls.isEmpty() && std::all_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
    if (!run_.running() && files)
        event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event)
{
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        paths.push_back(url.toLocalFile().toStdString());
    event->acceptProposedAction();
    // After the drop has ended: the program the file came from is not kept waiting for the job.
    QTimer::singleShot(0, this, [this, paths] { form::cutDroppedFiles(*this, paths); });
}

std::string Form1::sizeFieldText()
{
    return textDateigröße->text().toStdString();
}

void Form1::focusSizeField()
{
    textDateigröße->setFocus();
}

void Form1::showMessage(const std::string& text)
{
    messageBox(this, QString::fromStdString(text));
}

bool Form1::askYesNo(const std::string& question)
{
    return qtwindow::askYesNo(this, QString::fromStdString(question));
}

} // namespace qtwindow

#include "Form1.h"

#include "MessageBox.h"
#include "ProgressLine.h"
#include "PushButton.h"
#include "form/Form1Layout.h"
#include "form/Texts.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>

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

Form1::Form1(QWidget* parent)
    : QWidget(parent)
    , labelBeschreibung(named(new QLabel(text(form::texts::beschreibung), this), "labelBeschreibung"))
    , labelDateigröße(named(new QLabel(text(form::texts::dateigröße), this), "labelDateigröße"))
    , textDateigröße(named(new QLineEdit(text(form::texts::startingSize), this), "textDateigröße"))
    , labelInfo(named(new ProgressLine(this), "labelInfo"))
    , buttonKopieren(named(new PushButton(text(form::texts::kopieren), this), "buttonKopieren"))
    , buttonEnde(named(new PushButton(text(form::texts::ende), this), "buttonEnde"))
    , Label1(named(new QLabel(text(form::texts::contact), this), "Label1"))
    , cmdStandarddialog(named(new QFileDialog(this), "cmdStandarddialog"))
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
    // A job stops only between whole files: the window closes once it has ended.
    if (run_.running()) {
        closeRequested_ = true;
        event->ignore();
        return;
    }
    event->accept();
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

} // namespace qtwindow

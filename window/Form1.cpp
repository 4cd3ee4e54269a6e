#include "window/Form1.h"

#include "window/ProgressLine.h"
#include "window/PushButton.h"
#include "window/Twips.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const QString kDescription = QStringLiteral(
    "Dieses Programm zerteilt die Große Datei in viele beliebig kleine und kann mit einem klick auf die "
    "Dos- Batch Datei wieder zusammen gefügt werden.");
const QString kContact = QStringLiteral("E- Mail:      kontakt@palvo.example");

// The system colour of an inactive window's border on the classic Windows desktop.
const QColor kInactiveBorder(212, 208, 200);

void setTextColor(QWidget* widget, const QColor& color)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

} // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent)
    , labelBeschreibung(new QLabel(kDescription, this))
    , labelDateigröße(new QLabel(QStringLiteral("Dateigröße (in kB):"), this))
    , textDateigröße(new QLineEdit(QStringLiteral("1400"), this))
    , labelInfo(new ProgressLine(this))
    , buttonKopieren(new PushButton(QStringLiteral("Datei auswählen und kopieren"), this))
    , buttonEnde(new PushButton(QStringLiteral("Ende"), this))
    , Label1(new QLabel(kContact, this))
    , cmdStandarddialog(new QFileDialog(this))
{
    setWindowTitle(QStringLiteral("Palvo V1.1"));
    setObjectName(QStringLiteral("Form1"));
    labelBeschreibung->setObjectName(QStringLiteral("labelBeschreibung"));
    labelDateigröße->setObjectName(QStringLiteral("labelDateigröße"));
    textDateigröße->setObjectName(QStringLiteral("textDateigröße"));
    labelInfo->setObjectName(QStringLiteral("labelInfo"));
    buttonKopieren->setObjectName(QStringLiteral("buttonKopieren"));
    buttonEnde->setObjectName(QStringLiteral("buttonEnde"));
    Label1->setObjectName(QStringLiteral("Label1"));
    cmdStandarddialog->setObjectName(QStringLiteral("cmdStandarddialog"));

    labelBeschreibung->setWordWrap(true);
    labelBeschreibung->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    labelDateigröße->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setTextColor(labelInfo, QColor(0, 0, 255));
    setTextColor(Label1, QColor(255, 255, 0));
    Label1->setAutoFillBackground(true);
    QPalette contact = Label1->palette();
    contact.setColor(QPalette::Window, kInactiveBorder);
    Label1->setPalette(contact);
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
    // The small type the layout was drawn for; the twips below grow with the screen's DPI.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    labelBeschreibung->setGeometry(twips::rect(*this, 120, 120, 3375, 1155));
    labelDateigröße->setGeometry(twips::rect(*this, 120, 1740, 1695, 255));
    textDateigröße->setGeometry(twips::rect(*this, 2160, 1680, 855, 315));
    labelInfo->setGeometry(twips::rect(*this, 120, 2280, 4575, 375));
    buttonKopieren->setGeometry(twips::rect(*this, 120, 2820, 3255, 495));
    buttonEnde->setGeometry(twips::rect(*this, 3600, 2820, 1095, 495));
    Label1->setGeometry(twips::rect(*this, 360, 3540, 4095, 255));
    setFixedSize(twips::rect(*this, 0, 0, 5370, 3930).size());
}

void Form1::buttonEnde_Click()
{
    close();
}

void Form1::closeEvent(QCloseEvent* event)
{
    // A job stops only between whole files: the window closes once it has ended.
    if (jobRunning_) {
        closeRequested_ = true;
        event->ignore();
        return;
    }
    event->accept();
}

#include "dialogs/ui/dialog_windows.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
QString colourStyle(const char* widgetClass, Rgb background, Rgb text = RGB(0, 0, 0)) {
    return QStringLiteral("%1 { background-color: %2; color: %3; }")
        .arg(QLatin1String(widgetClass), ToQColor(background).name(), ToQColor(text).name());
}

// A straight key: lever, knob and contact on a base plate.
QPixmap keyPicture() {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 40, 20), 1));
    p.setBrush(QColor(150, 100, 50));
    p.drawRoundedRect(QRectF(2, 24, 28, 6), 2, 2);
    p.setBrush(QColor(200, 160, 60));
    p.drawRect(QRectF(6, 17, 22, 3));
    p.drawRect(QRectF(22, 20, 3, 4));
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(3, 9, 9, 8));
    return picture;
}

// A strip of paper tape with dots and dashes.
QPixmap tapePicture() {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(QColor(255, 250, 230));
    p.drawRect(QRectF(1, 10, 30, 12));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
    p.drawEllipse(QRectF(4, 14, 4, 4));
    p.drawRoundedRect(QRectF(10, 14, 10, 4), 2, 2);
    p.drawEllipse(QRectF(23, 14, 4, 4));
    return picture;
}

QLabel* label(Label& model, QWidget* parent, QRect where) {
    auto* widget = new QLabel(parent);
    widget->setGeometry(where);
    BindLabel(model, widget);
    return widget;
}

QPushButton* button(Button& model, QWidget* parent, QRect where) {
    auto* widget = new QPushButton(parent);
    widget->setGeometry(where);
    BindButton(model, widget);
    return widget;
}
}  // namespace

FormtxtWindow::FormtxtWindow(Formtxt& form, QWidget* parent)
    : FormWindow(form, parent, false, 7890, 4965) {
    auto* text = new QPlainTextEdit(this);
    text->setGeometry(twips::rect(135, 135, 7620, 3435));
    text->setFont(twips::font(QStringLiteral("Courier New"), 12, true));
    text->setStyleSheet(colourStyle("QPlainTextEdit", RGB(255, 255, 255), RGB(0, 0, 128)));
    BindTextBox(form.Text1, text, QStringLiteral("Text oder eigene Zeichen"));
    // Tab goes on to the buttons, as everywhere else; the text never needs a tab character.
    text->setTabChangesFocus(true);
    QPushButton* asCharacters = button(form.ok, this, twips::rect(225, 4275, 2040, 555));
    QPushButton* asText = button(form.ok2, this, twips::rect(225, 3645, 2040, 555));
    // The captions are cut short ("eing."); a screen reader speaks them in full.
    asCharacters->setAccessibleName(QStringLiteral("Als Zeichen eingeben"));
    asText->setAccessibleName(QStringLiteral("Als Text eingeben"));
    setTabOrder(text, asCharacters);
    setTabOrder(asCharacters, asText);
    text->setFocus();
}

DauformWindow::DauformWindow(Dauform& form, QWidget* parent)
    : FormWindow(form, parent, true, 2550, 1590), dauform_(form) {
    QLabel* caption = label(form.Label1, this, twips::rect(45, 225, 870, 285));
    auto* count = new QLineEdit(this);
    caption->setBuddy(count);
    count->setGeometry(twips::rect(945, 135, 555, 420));
    count->setMaxLength(2);
    BindTextBox(form.Text1, count, QStringLiteral("Anzahl"));
    QPushButton* ok = button(form.ok, this, twips::rect(1665, 120, 735, 435));
    ok->setDefault(true);
    label(form.Label2, this, twips::rect(120, 780, 2310, 240));
    auto* print = new QCheckBox(this);
    print->setGeometry(twips::rect(270, 1170, 1935, 255));
    print->setStyleSheet(QStringLiteral("QCheckBox { color: #008000; }"));
    BindCheckBox(form.midru, print, QStringLiteral("mit Ausdrucken"));
    setTabOrder(count, ok);
    setTabOrder(ok, print);
    count->setFocus();
}

void DauformWindow::frameClosed() { dauform_.Form_Close(); }

InfoformWindow::InfoformWindow(Infoform& form, QWidget* parent)
    : FormWindow(form, parent, false, 4155, 3915) {
    // The window has no caption; a screen reader names it after the menu entry that opens it.
    setAccessibleName(QStringLiteral("Info"));
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Shape1"));
    frame->setAccessibleName(QStringLiteral("Rahmen"));
    frame->setGeometry(twips::rect(90, 90, 3975, 3705));
    frame->setStyleSheet(QStringLiteral("QFrame#Shape1 { border: 1px solid black; }"));

    QLabel* audience = label(form.Label1, this, twips::rect(420, 270, 3435, 735));
    QFont serif = twips::font(QStringLiteral("Times New Roman"), 15.75);
    serif.setStyleHint(QFont::Serif);
    audience->setFont(serif);
    audience->setWordWrap(true);
    audience->setAlignment(Qt::AlignCenter);
    audience->setStyleSheet(QStringLiteral("QLabel { color: #800000; }"));

    QLabel* name = label(form.Label2, this, twips::rect(1020, 1500, 2115, 480));
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    name->setAlignment(Qt::AlignCenter);

    auto picture = [this](const char* objectName, const QPixmap& pixmap, double left,
                          const QString& accessible) {
        auto* image = new QLabel(this);
        image->setObjectName(QLatin1String(objectName));
        image->setAccessibleName(accessible);
        image->setGeometry(twips::rect(left, 1500, 480, 480));
        image->setAlignment(Qt::AlignCenter);
        image->setPixmap(pixmap);
    };
    picture("Image1", keyPicture(), 480, QStringLiteral("Morsetaste"));
    picture("Image2", tapePicture(), 3195, QStringLiteral("Morsestreifen"));

    QPushButton* back = button(form.Command1, this, twips::rect(510, 3030, 3075, 585));
    QFont boldButton = back->font();
    boldButton.setBold(true);
    back->setFont(boldButton);
    back->setStyleSheet(colourStyle("QPushButton", RGB(255, 176, 96)));
    // The window is no dialog to a screen reader, which reads none of its text unasked: the
    // button that takes the focus carries it.
    back->setAccessibleDescription(form.Label2.caption() + QStringLiteral(", ") +
                                   form.Label1.caption());
    back->setFocus();
}

#include "lessons/ui/lektionen_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>

namespace {
// The outlined grey triangle of the move buttons.
QIcon triangle(bool up) {
    QPixmap picture(20, 20);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(96, 96, 96), 1.5));
    p.setBrush(QColor(192, 192, 192));
    const QPolygonF shape = up ? QPolygonF({QPointF(10, 3), QPointF(18, 17), QPointF(2, 17)})
                               : QPolygonF({QPointF(2, 3), QPointF(18, 3), QPointF(10, 17)});
    p.drawPolygon(shape);
    return QIcon(picture);
}

QFont courier() { return twips::font(QStringLiteral("Courier New"), 9.75); }
}  // namespace

LektionenWindow::LektionenWindow(Lektionen& form, QWidget* parent)
    : FormWindow(form, parent, true, 6345, 3900), lektionen_(form) {
    auto label = [this](Label& model, QRect where) {
        auto* widget = new QLabel(this);
        widget->setGeometry(where);
        BindLabel(model, widget);
        return widget;
    };
    auto button = [this](Button& model, QRect where, const QString& style = QString()) {
        auto* widget = new QPushButton(this);
        widget->setGeometry(where);
        if (!style.isEmpty()) widget->setStyleSheet(style);
        BindButton(model, widget);
        return widget;
    };
    auto list = [this](ListBox& model, QRect where, const char* colour, const QString& name) {
        auto* widget = new QListWidget(this);
        widget->setGeometry(where);
        widget->setFont(courier());
        widget->setStyleSheet(
            QStringLiteral("QListWidget { color: %1; }").arg(QLatin1String(colour)));
        BindListBox(model, widget, name);
        return widget;
    };

    QLabel* courseHeading = label(form.Label1, twips::rect(30, 180, 3075, 330));
    QListWidget* course = list(form.List1, twips::rect(510, 690, 1605, 3000), "#0000ff",
                               QStringLiteral("Lektionen nach DARC-Morsekurs"));
    courseHeading->setBuddy(course);
    QLabel* ownHeading = label(form.Label2, twips::rect(3210, 180, 2355, 330));
    QListWidget* own = list(form.List2, twips::rect(3285, 690, 1605, 3000), "#c00000",
                            QStringLiteral("Eigene Lektionen"));
    ownHeading->setBuddy(own);

    QPushButton* up = button(form.Command3, twips::rect(2730, 1620, 465, 495));
    up->setIcon(triangle(true));
    up->setToolTip(QStringLiteral("Nach oben"));
    up->setAccessibleName(QStringLiteral("Nach oben"));
    QPushButton* down = button(form.Command4, twips::rect(2760, 2220, 435, 465));
    down->setIcon(triangle(false));
    down->setToolTip(QStringLiteral("Nach unten"));
    down->setAccessibleName(QStringLiteral("Nach unten"));

    QPushButton* cancel = button(form.Cancel, twips::rect(5130, 660, 1065, 405));
    // The caption stays "Cancel"; a screen reader speaks German.
    cancel->setAccessibleName(QStringLiteral("Abbrechen"));
    QPushButton* replace = button(form.Command2, twips::rect(5130, 1135, 1065, 435),
                                  QStringLiteral("QPushButton { background-color: #ffffc0; }"));
    auto* edit = new QLineEdit(this);
    edit->setGeometry(twips::rect(5130, 1640, 1065, 450));
    edit->setFont(courier());
    BindTextBox(form.Text1, edit, QStringLiteral("Lektion bearbeiten"));
    QPushButton* remove = button(form.Command5, twips::rect(5130, 2245, 1065, 435),
                                 QStringLiteral("QPushButton { background-color: #ffc0c0; }"));
    QPushButton* append = button(form.Command6, twips::rect(5130, 2750, 1065, 405),
                                 QStringLiteral("QPushButton { background-color: #c0ffc0; }"));
    QPushButton* ok = button(form.ok, twips::rect(5130, 3240, 1065, 405));

    QWidget* order[] = {course, own, edit, cancel, replace, up, down, remove, append, ok};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    course->setFocus();
}

void LektionenWindow::frameClosed() { lektionen_.Cancel_Click(); }

#include "sending/ui/key_area.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include "platform/ui/accessibility_events.h"

namespace {
class AccessibleKeyArea : public QAccessibleWidget {
public:
    explicit AccessibleKeyArea(KeyArea* area) : QAccessibleWidget(area, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return static_cast<KeyArea*>(widget())->stateText();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.pressed = static_cast<KeyArea*>(widget())->pressed();
        return s;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction()) static_cast<KeyArea*>(widget())->tap(80);
    }
};

QAccessibleInterface* KeyAreaFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("KeyArea") || !object) return nullptr;
    return new AccessibleKeyArea(static_cast<KeyArea*>(object));
}
}  // namespace

KeyArea::KeyArea(QWidget* parent) : QWidget(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(KeyAreaFactory);
        return true;
    }();
    Q_UNUSED(installed);
    // The mouse key: the area to click with the left and right button.
    setObjectName(QStringLiteral("Tastflaeche"));
    setAccessibleName(QStringLiteral("Tastfläche"));
    setAccessibleDescription(QStringLiteral(
        "Linke Maustaste oder Leertaste: Punkt oder Handtaste; rechte Maustaste oder "
        "Eingabetaste: Strich"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(360, 120);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

QString KeyArea::stateText() const {
    return pressed() ? QStringLiteral("gedrückt") : QStringLiteral("offen");
}

void KeyArea::set(Contact contact, bool down) {
    bool& state = down_[contact == Contact::Dah ? 1 : 0];
    if (state == down) return;
    const bool before = pressed();
    state = down;
    emit contactChanged(contact, down);
    if (before != pressed()) {
        update();
        QAccessibleValueChangeEvent event(this, stateText());
        SendAccessibilityEvent(event);
        QAccessible::State changed;
        changed.pressed = true;
        QAccessibleStateChangeEvent stateEvent(this, changed);
        SendAccessibilityEvent(stateEvent);
    }
}

void KeyArea::tap(int ms) {
    set(Contact::Dit, true);
    QTimer::singleShot(ms, this, [this] { set(Contact::Dit, false); });
}

void KeyArea::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect r = rect().adjusted(1, 1, -2, -2);
    p.fillRect(r, pressed() ? QColor(255, 200, 80) : palette().base().color());
    p.setPen(hasFocus() ? QPen(palette().highlight().color(), 2) : QPen(palette().mid().color()));
    p.drawRect(r);
    p.setPen(palette().text().color());
    p.drawText(r, Qt::AlignCenter | Qt::TextWordWrap,
               QStringLiteral("Tastfläche\nlinks: Punkt / Handtaste – rechts: Strich"));
}

void KeyArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) set(Contact::Dit, true);
    if (event->button() == Qt::RightButton) set(Contact::Dah, true);
    setFocus(Qt::MouseFocusReason);
}

void KeyArea::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) set(Contact::Dit, false);
    if (event->button() == Qt::RightButton) set(Contact::Dah, false);
}

void KeyArea::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        if (!event->isAutoRepeat()) {
            set(event->key() == Qt::Key_Space ? Contact::Dit : Contact::Dah, true);
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void KeyArea::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
        event->key() == Qt::Key_Enter) {
        if (!event->isAutoRepeat()) {
            set(event->key() == Qt::Key_Space ? Contact::Dit : Contact::Dah, false);
        }
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void KeyArea::focusOutEvent(QFocusEvent* event) {
    // A release that goes to another window would leave the tone sounding.
    set(Contact::Dit, false);
    set(Contact::Dah, false);
    QWidget::focusOutEvent(event);
}

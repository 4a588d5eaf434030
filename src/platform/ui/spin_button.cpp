#include "platform/ui/spin_button.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QLocale>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "platform/ui/accessibility_events.h"
#include "platform/ui/value_label.h"

namespace {

// The value as a number for the value interface, and as the text on the screen through a
// read-only text interface: Orca speaks a spin button's text before its number, so "1,0" is
// heard with the decimal comma the screen shows rather than as "1.0".
class AccessibleSpinButton : public QAccessibleWidget,
                             public QAccessibleValueInterface,
                             public QAccessibleTextInterface {
public:
    explicit AccessibleSpinButton(SpinButton* spin)
        : QAccessibleWidget(spin, QAccessible::SpinBox) {}

    SpinButton* spin() const { return static_cast<SpinButton*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.editable = false;
        return s;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return spin()->shownText();
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override { return spin()->shownValue(); }
    void setCurrentValue(const QVariant& value) override {
        if (spin()->isEnabled()) spin()->setAccessibleValue(value.toDouble());
    }
    QVariant maximumValue() const override { return spin()->model().max() * spin()->unit(); }
    QVariant minimumValue() const override { return spin()->model().min() * spin()->unit(); }
    QVariant minimumStepSize() const override { return spin()->model().step() * spin()->unit(); }

    QStringList actionNames() const override {
        return {QAccessibleActionInterface::increaseAction(),
                QAccessibleActionInterface::decreaseAction()};
    }
    void doAction(const QString& action) override {
        if (!spin()->isEnabled()) return;
        if (action == QAccessibleActionInterface::increaseAction())
            spin()->stepBy(1);
        else if (action == QAccessibleActionInterface::decreaseAction())
            spin()->stepBy(-1);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // The text is the shown value; nothing in it can be selected or edited.
    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override {
        return spin()->shownText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(spin()->shownText().size()); }
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = std::max(offset, characterCount());
        return QString();
    }
};

QAccessibleInterface* spinButtonFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("SpinButton") && object)
        return new AccessibleSpinButton(static_cast<SpinButton*>(object));
    return nullptr;
}

QToolButton* arrow(QWidget* parent, Qt::ArrowType type, const char* objectName,
                   const QString& text) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromUtf8(objectName));
    b->setArrowType(type);
    b->setAutoRepeat(true);
    // The spin button takes the focus, not its arrows.
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    b->setAccessibleName(text);
    b->setToolTip(text);
    return b;
}

}  // namespace

SpinButton::SpinButton(ValueControl& model, const QString& caption, const QString& what,
                       double unit, QWidget* parent)
    : FocusFrameWidget(1, parent), model_(model), unit_(unit) {
    static const bool installed = [] {
        QAccessible::installFactory(spinButtonFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(caption);
    auto* layout = new QVBoxLayout(this);
    // Room for the focus frame around the arrows.
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    up = arrow(this, Qt::UpArrow, "auf", what + QStringLiteral(" erhöhen"));
    down = arrow(this, Qt::DownArrow, "ab", what + QStringLiteral(" verringern"));
    layout->addWidget(up);
    layout->addWidget(down);
    connect(up, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down, &QToolButton::clicked, this, [this] { stepBy(-1); });
    connect(&model_, &Control::changed, this, &SpinButton::announce);
    announced_ = shownText();
}

void SpinButton::setValueLabel(ValueLabel* label) {
    label_ = label;
    connect(label, &ValueLabel::valueTextChanged, this, &SpinButton::announce);
    announced_ = shownText();
}

QString SpinButton::shownText() const {
    if (label_) {
        const QString shown = label_->text().trimmed();
        bool isNumber = false;
        QLocale().toDouble(shown, &isNumber);
        if (isNumber) return shown;
    }
    return QLocale().toString(model_.value() * unit_);
}

double SpinButton::shownValue() const { return QLocale().toDouble(shownText()); }

void SpinButton::stepBy(int steps) {
    model_.setValue(std::clamp(model_.value() + steps * model_.step(), model_.min(), model_.max()));
}

void SpinButton::setAccessibleValue(double value) {
    const int whole = static_cast<int>(std::lround(value / unit_));
    model_.setValue(std::clamp(whole, model_.min(), model_.max()));
}

void SpinButton::announce() {
    const QString shown = shownText();
    if (shown == announced_) return;
    announced_ = shown;
    QAccessibleValueChangeEvent event(this, shownValue());
    SendAccessibilityEvent(event);
}

void SpinButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
            stepBy(1);
            break;
        case Qt::Key_Down:
            stepBy(-1);
            break;
        case Qt::Key_PageUp:
            stepBy(kPageSteps);
            break;
        case Qt::Key_PageDown:
            stepBy(-kPageSteps);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}


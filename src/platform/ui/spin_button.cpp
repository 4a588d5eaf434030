#include "platform/ui/spin_button.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "platform/ui/accessibility_events.h"

namespace {

class AccessibleSpinButton : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleSpinButton(SpinButton* spin)
        : QAccessibleWidget(spin, QAccessible::SpinBox) {}

    SpinButton* spin() const { return static_cast<SpinButton*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return spin()->shownText ? spin()->shownText() : QString::number(currentNumber());
        return QAccessibleWidget::text(t);
    }

    double currentNumber() const { return spin()->model().value() * spin()->unit(); }

    QVariant currentValue() const override { return currentNumber(); }
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
    : FocusFrameWidget(1, parent), model_(model), unit_(unit), announced_(model.value()) {
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
    connect(&model_, &Control::changed, this, &SpinButton::modelChanged);
}

void SpinButton::stepBy(int steps) {
    model_.setValue(std::clamp(model_.value() + steps * model_.step(), model_.min(), model_.max()));
}

void SpinButton::setAccessibleValue(double value) {
    const int whole = static_cast<int>(std::lround(value / unit_));
    model_.setValue(std::clamp(whole, model_.min(), model_.max()));
}

void SpinButton::modelChanged() {
    if (model_.value() == announced_) return;
    announced_ = model_.value();
    QAccessibleValueChangeEvent event(this, model_.value() * unit_);
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


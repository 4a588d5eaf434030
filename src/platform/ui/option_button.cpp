#include "platform/ui/option_button.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

class AccessibleOptionButton : public QAccessibleWidget {
public:
    explicit AccessibleOptionButton(OptionButtonWidget* button)
        : QAccessibleWidget(button, QAccessible::RadioButton) {}

    OptionButtonWidget* button() const { return static_cast<OptionButtonWidget*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && button()->accessibleName().isEmpty())
            return button()->text().remove(QLatin1Char('&'));
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = button()->isChecked();
        return s;
    }

    QStringList actionNames() const override {
        QStringList names;
        if (button()->isEnabled()) names << toggleAction();
        return names + QAccessibleWidget::actionNames();
    }
    // The action does what a click does: the owner decides the new state.
    void doAction(const QString& action) override {
        if (action == toggleAction() || action == pressAction()) {
            if (button()->isEnabled()) button()->click();
            return;
        }
        QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface* optionButtonFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("OptionButtonWidget") && object)
        return new AccessibleOptionButton(static_cast<OptionButtonWidget*>(object));
    return nullptr;
}

}  // namespace

OptionButtonWidget::OptionButtonWidget(QWidget* parent) : QRadioButton(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(optionButtonFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setAutoExclusive(false);
}

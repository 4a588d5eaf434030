#include "platform/ui/value_label.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "platform/ui/accessibility_events.h"

namespace {

class AccessibleValueLabel : public QAccessibleWidget {
public:
    explicit AccessibleValueLabel(ValueLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override {
        auto* l = static_cast<ValueLabel*>(widget());
        switch (t) {
            case QAccessible::Name:
                return l->spokenName();
            case QAccessible::Value:
                return l->text();
            default:
                return QAccessibleWidget::text(t);
        }
    }
};

QAccessibleInterface* valueLabelFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("ValueLabel") || !object) return nullptr;
    return new AccessibleValueLabel(static_cast<ValueLabel*>(object));
}

void installFactoryOnce() {
    static const bool installed = [] {
        QAccessible::installFactory(valueLabelFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace

ValueLabel::ValueLabel(QWidget* parent) : QLabel(parent) { installFactoryOnce(); }

// The text is set only once this object is a ValueLabel: Qt keeps the first accessibility
// interface it makes for an object, and setting the text asks for one.
ValueLabel::ValueLabel(const QString& text, QWidget* parent) : QLabel(parent) {
    installFactoryOnce();
    setText(text);
}

void ValueLabel::setMeaning(const QString& meaning, const QString& description) {
    meaning_ = meaning;
    setAccessibleName(meaning);
    setAccessibleDescription(description.isEmpty() ? meaning : description);
}

void ValueLabel::setValueText(const QString& text) {
    if (this->text() == text) return;
    setText(text);
    QAccessibleEvent event(this, QAccessible::NameChanged);
    SendAccessibilityEvent(event);
    emit valueTextChanged();
}

QString ValueLabel::spokenName() const {
    // Without a meaning it reads as any label: its accessible name, or else its text.
    if (meaning_.isEmpty()) return accessibleName().isEmpty() ? text() : accessibleName();
    if (captionIsName_) return text().isEmpty() ? meaning_ : text();
    if (text().isEmpty()) return meaning_;
    return meaning_ + QStringLiteral(": ") + text();
}

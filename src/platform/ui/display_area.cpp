#include "platform/ui/display_area.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include "platform/ui/accessibility_events.h"
#include "platform/ui/widget_surface.h"

namespace {

class AccessibleDisplay : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AccessibleDisplay(DisplayArea* display)
        : QAccessibleWidget(display, QAccessible::EditableText) {}

    DisplayArea* display() const { return static_cast<DisplayArea*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        s.editable = false;
        return s;
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) return display()->shownText();
        if (t == QAccessible::Description && !display()->marks().isEmpty())
            return QStringLiteral("Farbig markiert: ") + display()->marks();
        return QAccessibleWidget::text(t);
    }

    // Nothing can be selected on the display.
    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}

    int cursorPosition() const override { return display()->caret(); }
    void setCursorPosition(int position) override { display()->setCaret(position); }

    QString text(int startOffset, int endOffset) const override {
        return display()->shownText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(display()->shownText().size()); }

    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = std::max(offset, characterCount());
        return QString();
    }
};

QAccessibleInterface* displayFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("DisplayArea") && object)
        return new AccessibleDisplay(static_cast<DisplayArea*>(object));
    return nullptr;
}

}  // namespace

DisplayArea::DisplayArea(WidgetSurface& surface, QWidget* parent)
    : FocusFrameWidget(4, parent), surface_(surface) {
    static const bool installed = [] {
        QAccessible::installFactory(displayFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Reachable with Tab, so a screen reader can be pointed at it and read it.
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("Textanzeige"));
    shown_ = surface_.visibleText().text();
    marks_ = surface_.visibleText().marks();
    surface_.textChanged = [this] { surfaceChanged(); };
}

DisplayArea::~DisplayArea() { surface_.textChanged = nullptr; }

void DisplayArea::surfaceChanged() {
    const QString now = surface_.visibleText().text();
    if (now != shown_) {
        // Only the part that differs is reported: printing one character is one insertion.
        const qsizetype common =
            std::mismatch(shown_.begin(), shown_.end(), now.begin(), now.end()).first -
            shown_.begin();
        qsizetype tail = 0;
        while (tail < shown_.size() - common && tail < now.size() - common &&
               shown_[shown_.size() - 1 - tail] == now[now.size() - 1 - tail])
            ++tail;
        const QString removed = shown_.mid(common, shown_.size() - common - tail);
        const QString inserted = now.mid(common, now.size() - common - tail);
        shown_ = now;
        caret_ = std::min<int>(caret_, int(shown_.size()));
        if (!removed.isEmpty()) {
            QAccessibleTextRemoveEvent event(this, int(common), removed);
            SendAccessibilityEvent(event);
        }
        if (!inserted.isEmpty()) {
            QAccessibleTextInsertEvent event(this, int(common), inserted);
            SendAccessibilityEvent(event);
        }
    }
    const QString marks = surface_.visibleText().marks();
    if (marks != marks_) {
        marks_ = marks;
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        SendAccessibilityEvent(event);
    }
}


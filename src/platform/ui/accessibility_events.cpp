#include "platform/ui/accessibility_events.h"

#include <QAccessible>

namespace {
std::function<void(QAccessibleEvent&)>& watcher() {
    static std::function<void(QAccessibleEvent&)> current;
    return current;
}
}  // namespace

void SendAccessibilityEvent(QAccessibleEvent& event) {
    if (watcher()) watcher()(event);
    QAccessible::updateAccessibility(&event);
}

std::function<void(QAccessibleEvent&)> WatchAccessibilityEvents(
    std::function<void(QAccessibleEvent&)> next) {
    std::swap(watcher(), next);
    return next;
}

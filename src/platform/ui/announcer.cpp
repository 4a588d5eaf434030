#include "platform/ui/announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTimer>

namespace {
// How long a message waits for the screen reader to speak the new focus [ms].
constexpr int kAfterFocusMs = 300;

QAccessibleInterface* announcerFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("Announcer") || !object) return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
}
}  // namespace

Announcer::Announcer(QWidget* parent) : QWidget(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(announcerFactory);
        return true;
    }();
    Q_UNUSED(installed);
    setObjectName(QStringLiteral("Ansage"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(0, 0, 1, 1);
    hide();
}

void Announcer::announce(const QString& text) {
    if (text.isEmpty()) return;
    // Hidden and shown again: a screen reader speaks a notification as it appears.
    hide();
    setAccessibleName(text);
    show();
    emit announced(text);
}

void Announcer::announceAfterFocus(const QString& text) {
    QTimer::singleShot(kAfterFocusMs, this, [this, text] { announce(text); });
}

#pragma once

#include <QWidget>

// Tells a screen reader a short message about something that changed away from the keyboard
// focus (the verdict on a call, the exercise just chosen). A screen reader speaks only what
// happens at the focus; a notification that appears is the exception, so the announcer is an
// invisible notification that appears anew, named with the message, for each one.
class Announcer : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget* parent);

    void announce(const QString& text);
    // Announces `text` a moment later, once the screen reader has said where the focus went,
    // which would otherwise cut the message short.
    void announceAfterFocus(const QString& text);

signals:
    // Each message as it goes out.
    void announced(const QString& text);

protected:
    void paintEvent(QPaintEvent*) override {}
};

#pragma once

#include <QWidget>

#include "sending/contact_event.h"

// The mouse key: a large area in which the left button is the dit paddle (or the straight key)
// and the right button the dah paddle. With the focus on it, Space is the straight key and the
// dit paddle, Enter the dah paddle, so that it also works from the keyboard. A screen reader
// hears whether it is pressed; its press action keys one dit.
class KeyArea : public QWidget {
    Q_OBJECT
public:
    explicit KeyArea(QWidget* parent = nullptr);

    // "gedrückt" or "offen", as the area shows it.
    QString stateText() const;
    bool pressed() const { return down_[0] || down_[1]; }
    // Closes a contact and opens it again after `ms` (the accessibility action).
    void tap(int ms);

signals:
    void contactChanged(Contact contact, bool down);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void set(Contact contact, bool down);

    bool down_[2] = {false, false};  // dit, dah
};

#pragma once

#include <QPointer>
#include <QWidget>

#include "platform/controls.h"
#include "platform/ui/focus_frame_widget.h"

class QToolButton;
class ValueLabel;

// An up-down control as one spin button: two arrow buttons for the mouse, and for the keyboard
// and assistive technology a single focusable control with the role of a spin button and a
// value. Up/Down move the model by one step, Page Up/Page Down by five; the arrows, the keys
// and a value set through the accessibility interface all go through the model, so its change
// handler runs once per change.
//
// The model's position is only what the arrows count from; what the control reports is the
// number its value label shows, which loading settings or a speed effect may set without
// moving the arrows. A screen reader gets it as a number (the value) and as the text on the
// screen ("1,0"), which it speaks in place of the number.
class SpinButton : public FocusFrameWidget {
    Q_OBJECT
public:
    // `caption` is the name a screen reader gives the control ("Geschw."), `what` names the
    // arrows ("Geschwindigkeit erhöhen"). A value set through the accessibility interface is
    // in the model's units times `unit` (0.1 for a spacing factor kept in tenths).
    SpinButton(ValueControl& model, const QString& caption, const QString& what, double unit,
               QWidget* parent = nullptr);

    ValueControl& model() const { return model_; }
    double unit() const { return unit_; }

    // The label that shows the value on the screen; without one the model's position counts.
    void setValueLabel(ValueLabel* label);
    // The value as the screen shows it ("1,0").
    QString shownText() const;
    // The number the screen shows.
    double shownValue() const;

    // Steps by `steps` steps (negative: down) at once, within the range: one change.
    void stepBy(int steps);
    // Sets the value in accessible units, rounded to a whole model value within the range.
    void setAccessibleValue(double value);

    QToolButton* up;
    QToolButton* down;

    static constexpr int kPageSteps = 5;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Announces the shown number when it differs from the one last announced.
    void announce();

    ValueControl& model_;
    double unit_;
    QPointer<ValueLabel> label_;
    QString announced_;
};

#pragma once

#include <QWidget>
#include <functional>

#include "platform/controls.h"
#include "platform/ui/focus_frame_widget.h"

class QToolButton;

// An up-down control as one spin button: two arrow buttons for the mouse, and for the keyboard
// and assistive technology a single focusable control with the role of a spin button and a
// value. Up/Down move the model by one step, Page Up/Page Down by five; the arrows, the keys
// and a value set through the accessibility interface all go through the model, so its change
// handler runs once per change.
class SpinButton : public FocusFrameWidget {
    Q_OBJECT
public:
    // `caption` is the name a screen reader gives the control ("Geschw."), `what` names the
    // arrows ("Geschwindigkeit erhöhen"). The accessible value is the model's value times
    // `unit` (0.1 for a spacing factor kept in tenths).
    SpinButton(ValueControl& model, const QString& caption, const QString& what, double unit,
               QWidget* parent = nullptr);

    ValueControl& model() const { return model_; }
    double unit() const { return unit_; }
    // The text that shows the value on the screen, read out with the value ("1,0").
    std::function<QString()> shownText;

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
    void modelChanged();

    ValueControl& model_;
    double unit_;
    int announced_;
};

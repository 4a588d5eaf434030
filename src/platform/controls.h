#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// Plain models of the window's controls. The logic reads and writes these; the main window
// mirrors them onto real widgets and feeds user actions back through the same methods, so a
// test drives the logic without a single widget.

using Rgb = uint32_t;
constexpr Rgb RGB(int red, int green, int blue) {
    return static_cast<Rgb>(red) | static_cast<Rgb>(green) << 8 | static_cast<Rgb>(blue) << 16;
}
constexpr int RedOf(Rgb c) { return c & 0xff; }
constexpr int GreenOf(Rgb c) { return (c >> 8) & 0xff; }
constexpr int BlueOf(Rgb c) { return (c >> 16) & 0xff; }

class Control : public QObject {
    Q_OBJECT
public:
    explicit Control(const char* name, QObject* parent = nullptr);

    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    bool visible() const { return visible_; }
    void setVisible(bool on);
    // "Redraw at once": asks the mirroring widget to repaint now.
    void Refresh() { emit refreshRequested(); }
    // Gives the control the keyboard focus.
    void SetFocus() { emit focusRequested(); }

signals:
    void changed();
    void refreshRequested();
    void focusRequested();

private:
    bool enabled_ = true;
    bool visible_ = true;
};

class Label : public Control {
    Q_OBJECT
public:
    using Control::Control;
    const QString& caption() const { return caption_; }
    void setCaption(const QString& text);
    Rgb backColor() const { return backColor_; }
    void setBackColor(Rgb color);
    Rgb foreColor() const { return foreColor_; }
    void setForeColor(Rgb color);
    std::function<void()> onClick;
    void click();

private:
    QString caption_;
    Rgb backColor_ = RGB(192, 192, 192);
    Rgb foreColor_ = RGB(0, 0, 0);
};

// A check box counts as ticked when its value is 1; 2 is greyed. Setting the value from the
// program runs the click handler whenever the value changes, exactly as a user's click does.
class CheckBox : public Control {
    Q_OBJECT
public:
    using Control::Control;
    int value() const { return value_; }
    bool ticked() const { return value_ == 1; }
    void setValue(int value);
    std::function<void()> onClick;

private:
    int value_ = 0;
};

// One of a group of option buttons; selecting one clears the others of its group.
class OptionButton : public Control {
    Q_OBJECT
public:
    using Control::Control;
    bool value() const { return value_; }
    void setValue(bool on);
    void joinGroup(OptionButton* other);
    std::function<void()> onClick;

private:
    bool value_ = false;
    std::vector<OptionButton*> group_;
};

class Button : public Control {
    Q_OBJECT
public:
    using Control::Control;
    const QString& caption() const { return caption_; }
    void setCaption(const QString& text);
    // The picture shown on a picture button, by name ("pause", "weiter", "" for none).
    const QString& face() const { return face_; }
    void setFace(const QString& face);
    // True while the click handler runs (the button's Value).
    bool pressed() const { return pressed_; }
    void setPressed(bool on) { pressed_ = on; }
    // A user's click or the program pressing the button: runs the handler with the pressed
    // state set. A user's click on a disabled button never arrives here.
    void click();
    std::function<void()> onClick;

private:
    QString caption_;
    QString face_;
    bool pressed_ = false;
};

class ProgressBar : public Control {
    Q_OBJECT
public:
    using Control::Control;
    int value() const { return value_; }
    void setValue(int value);
    int max() const { return max_; }
    void setMax(int max);

private:
    int value_ = 0;
    int max_ = 100;
};

// Up-down and slider: a whole number in a range. The user's arrows move it by `step` within the
// range; the program may set it freely.
class ValueControl : public Control {
    Q_OBJECT
public:
    ValueControl(const char* name, int min, int max, int step, int value);
    int value() const { return value_; }
    void setValue(int value);  // runs onChange when the value changes
    int min() const { return min_; }
    int max() const { return max_; }
    int step() const { return step_; }
    void stepUp();
    void stepDown();
    std::function<void()> onChange;

private:
    int min_, max_, step_, value_;
};

class TextBox : public Control {
    Q_OBJECT
public:
    using Control::Control;
    const QString& text() const { return text_; }
    void setText(const QString& text);
    // A key typed into the box (after the window's own key handler). The handler may change
    // the key code; 0 swallows it.
    std::function<void(int& keyCode)> onKeyPress;
    // Delivers a typed character as the user's typing would: the key handler first, then the
    // character goes into the text (Enter as CR LF).
    void typeKey(int keyCode);

private:
    QString text_;
};

class Timer : public Control {
    Q_OBJECT
public:
    Timer(const char* name, int intervalMs);
    ~Timer() override;
    bool isEnabled() const { return handle_ != 0; }
    void setTimerEnabled(bool on);
    std::function<void()> onTimer;

private:
    int intervalMs_;
    int handle_ = 0;
};

// A shape on the window, in twips. Refreshing it repaints its fill over any text printed on it.
class Shape : public Control {
    Q_OBJECT
public:
    Shape(const char* name, double left, double top, double width, double height, Rgb fill);
    double Left, Top, Width, Height;
    Rgb fillColor() const { return fill_; }
    void setFillColor(Rgb fill);
    void Redraw();

private:
    Rgb fill_;
};

class MenuItem : public Control {
    Q_OBJECT
public:
    MenuItem(const char* name, const QString& caption);
    const QString& caption() const { return caption_; }
    void setCaption(const QString& caption);
    std::function<void()> onClick;
    void click();

private:
    QString caption_;
};

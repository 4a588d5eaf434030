#include "platform/controls.h"

#include "platform/clock.h"
#include "platform/services.h"
#include "platform/text_surface.h"

#include <algorithm>

Control::Control(const char* name, QObject* parent) : QObject(parent) { setObjectName(name); }

void Control::setEnabled(bool on) {
    if (enabled_ == on) return;
    enabled_ = on;
    emit changed();
}

void Control::setVisible(bool on) {
    if (visible_ == on) return;
    visible_ = on;
    emit changed();
}

void Label::setCaption(const QString& text) {
    if (caption_ == text) return;
    caption_ = text;
    emit changed();
}

void Label::setBackColor(Rgb color) {
    if (backColor_ == color) return;
    backColor_ = color;
    emit changed();
}

void Label::setForeColor(Rgb color) {
    if (foreColor_ == color) return;
    foreColor_ = color;
    emit changed();
}

void Label::click() {
    if (onClick) onClick();
}

void CheckBox::setValue(int value) {
    if (value_ == value) return;
    value_ = value;
    emit changed();
    if (onClick) onClick();
}

void OptionButton::setValue(bool on) {
    if (on) {
        for (OptionButton* other : group_) {
            if (other->value_) {
                other->value_ = false;
                emit other->changed();
            }
        }
    }
    if (value_ == on) return;
    value_ = on;
    emit changed();
    if (on && onClick) onClick();
}

void OptionButton::joinGroup(OptionButton* other) {
    group_.push_back(other);
    other->group_.push_back(this);
}

void Button::setCaption(const QString& text) {
    if (caption_ == text) return;
    caption_ = text;
    emit changed();
}

void Button::setFace(const QString& face) {
    if (face_ == face) return;
    face_ = face;
    emit changed();
}

void Button::click() {
    const bool outer = pressed_;
    pressed_ = true;
    if (onClick) onClick();
    pressed_ = outer;
}

void ProgressBar::setValue(int value) {
    value = std::clamp(value, 0, max_);
    if (value_ == value) return;
    value_ = value;
    emit changed();
}

void ProgressBar::setMax(int max) {
    max = std::max(max, 1);
    if (max_ == max) return;
    max_ = max;
    if (value_ > max_) value_ = max_;
    emit changed();
}

ValueControl::ValueControl(const char* name, int min, int max, int step, int value)
    : Control(name), min_(min), max_(max), step_(step), value_(value) {}

void ValueControl::setValue(int value) {
    if (value_ == value) return;
    value_ = value;
    emit changed();
    if (onChange) onChange();
}

void ValueControl::stepUp() { setValue(std::min(max_, value_ + step_)); }

void ValueControl::stepDown() { setValue(std::max(min_, value_ - step_)); }

void TextBox::setText(const QString& text) {
    if (text_ == text) return;
    text_ = text;
    emit changed();
}

void TextBox::typeKey(int keyCode) {
    if (onKeyPress) onKeyPress(keyCode);
    if (keyCode == 0) return;
    if (keyCode == 13)
        setText(text_ + QStringLiteral("\r\n"));
    else if (keyCode == 8)
        setText(text_.chopped(std::min<qsizetype>(1, text_.size())));
    else
        setText(text_ + QChar(keyCode));
}

Timer::Timer(const char* name, int intervalMs) : Control(name), intervalMs_(intervalMs) {}

Timer::~Timer() {
    if (handle_ != 0 && Platform().clock) Platform().clock->stopTimer(handle_);
}

void Timer::setTimerEnabled(bool on) {
    if (on == isEnabled()) return;
    if (on) {
        handle_ = Platform().clock->startTimer(intervalMs_, [this] {
            if (onTimer) onTimer();
        });
    } else {
        Platform().clock->stopTimer(handle_);
        handle_ = 0;
    }
    emit changed();
}

Shape::Shape(const char* name, double left, double top, double width, double height, Rgb fill)
    : Control(name), Left(left), Top(top), Width(width), Height(height), fill_(fill) {}

void Shape::setFillColor(Rgb fill) {
    if (fill_ == fill) return;
    fill_ = fill;
    emit changed();
}

void Shape::Redraw() {
    if (Platform().surface) Platform().surface->clearRect(Left, Top, Width, Height, fill_);
    emit refreshRequested();
}

MenuItem::MenuItem(const char* name, const QString& caption) : Control(name), caption_(caption) {}

void MenuItem::setCaption(const QString& caption) {
    if (caption_ == caption) return;
    caption_ = caption;
    emit changed();
}

void MenuItem::click() {
    if (onClick) onClick();
}

#include "platform/dialog_form.h"

DialogForm::DialogForm(const char* name, const QString& caption, double width, double height,
                       Rgb backColor)
    : Caption(caption), Width(width), Height(height), BackColor(backColor) {
    setObjectName(name);
}

void DialogForm::Show() {
    if (visible_ || unloaded_) return;
    visible_ = true;
    emit visibilityChanged();
}

void DialogForm::Hide() {
    if (!visible_) return;
    visible_ = false;
    emit visibilityChanged();
}

void DialogForm::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    visible_ = false;
    emit unloading();
    if (unloader_) unloader_();
}

ScreenSize& Screen() {
    static ScreenSize screen;
    return screen;
}

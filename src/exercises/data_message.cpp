#include "exercises/data_message.h"

#include "platform/form1.h"
#include "platform/services.h"
#include "platform/text_surface.h"

namespace {
constexpr Rgb kMessageColor = RGB(192, 0, 0);

void printMessage(TextSurface& display, const QString& text) {
    const Rgb previous = display.foreColor;
    display.foreColor = kMessageColor;
    display.Print(text, true);
    display.foreColor = previous;
    display.CurrentX = form1().shape1.Left + 300;
}
}  // namespace

void ShowDataMessage(const QString& text) {
    TextSurface& display = *Platform().surface;
    const Form1& f = form1();
    if (display.CurrentX > f.shape1.Left + 300) display.EndLine();
    display.CurrentX = f.shape1.Left + 300;
    printMessage(display, text);
}

void EndRunWithMessage(const QString& text) {
    Form1& f = form1();
    TextSurface& display = *Platform().surface;
    f.shape1.Redraw();
    display.CurrentX = f.shape1.Left + 300;
    display.CurrentY = f.shape1.Top + 120;
    printMessage(display, text);
    f.Comstart.setEnabled(true);
    f.comstop.setEnabled(false);
    f.compause.setEnabled(false);
    f.comexit.setEnabled(true);
}

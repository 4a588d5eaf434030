#pragma once

#include <QObject>
#include <functional>

class QMainWindow;
class QWidget;
class WidgetSurface;
class ZoomStyle;

// Zooms the whole main window, controls, fonts, pictures and the display, between 100 % and
// 200 % in steps of 10 %, for users with low vision. Ctrl++ and Ctrl+- step, Ctrl+0 goes back
// to 100 %; like the function keys, they wait while keyboard mode or the drill takes the keys.
// The zoom is remembered in the user settings, outside MORSE.CST.
class WindowZoom : public QObject {
    Q_OBJECT
public:
    static constexpr int kMinPercent = 100;
    static constexpr int kMaxPercent = 200;
    static constexpr int kStepPercent = 10;

    // `client` is the window's central widget, laid out at 100 %; `keysFree` tells whether the
    // keys may act now.
    WindowZoom(QMainWindow& window, QWidget& client, WidgetSurface& surface,
               std::function<bool()> keysFree);

    int percent() const { return percent_; }
    // Clamps to the range, applies and remembers.
    void setPercent(int percent);
    // Takes the remembered zoom, or without one the zoom that matches the desktop's font size.
    void restore();

private:
    void apply();

    QMainWindow& window_;
    QWidget& client_;
    WidgetSurface& surface_;
    int percent_ = kMinPercent;
    ZoomStyle* style_;
};

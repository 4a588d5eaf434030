#pragma once

#include <QMainWindow>

#include "platform/ui/widget_surface.h"

struct Form1;
class QKeyEvent;
class QWindow;
class Shape;
class WindowZoom;

// The trainer's main window. Every control of form1 is a widget under its legacy name and
// mirrors its model both ways; the window is also the text display (under the controls), sees
// every typed key before the focused control, and runs Form_Activate whenever the user comes
// back to it from one of the program's own windows.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Form1& form, QWidget* parent = nullptr);
    ~MainWindow() override;

    WidgetSurface& surface() { return surface_; }
    // The window's zoom (Ctrl++, Ctrl+-, Ctrl+0); the program restores the remembered one.
    WindowZoom& zoom() { return *zoom_; }
    // Places the window where the model's start-up put it (twips on the available screen) and
    // shows it.
    void showAtStartPosition();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildTopStrip(QWidget* client);
    void buildLeftPart(QWidget* client);
    void buildSettingsPanel(QWidget* client);
    void buildButtonRow(QWidget* client);
    void describeValues();
    void announceExerciseChoice();
    void bindAll();
    void bindDisplay(Shape& shape);
    bool previewKey(QWidget* target, QKeyEvent* event);
    void focusWindowChanged(QWindow* window);

    Form1& f_;
    WidgetSurface surface_;
    QWidget* client_ = nullptr;
    WindowZoom* zoom_ = nullptr;
    bool forwardingKey_ = false;
    // The user went to another window of this program since the last activation.
    bool awayInOwnWindow_ = false;
};

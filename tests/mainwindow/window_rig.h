#pragma once

#include <QTest>

#include "mainwindow/ui/main_window.h"
#include "support/rig.h"

// The test rig with the real main window on top: the window mirrors the rig's controls and is
// the display the logic prints on.
struct WindowRig {
    WindowRig() { Platform().surface = &window.surface(); }

    // Shows the window and makes it the active one, as a user's first look at it would.
    bool showActive() {
        window.show();
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

    template <class T>
    T* find(const char* name) {
        return window.findChild<T*>(QString::fromUtf8(name));
    }

    TestRig rig;
    MainWindow window{rig.f};
};

#pragma once

#include <QDir>

#include "mainwindow/startup.h"
#include "mainwindow/ui/main_window.h"
#include "mainwindow/ui/trainer_dialog_seam.h"
#include "mainwindow/wiring.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "platform/ui/qt_print_layer.h"
#include "sound/tonwerk.h"

// The trainer's main window on the given clock and sound, with its printer and dialogs composed
// as the program composes them, loaded and shown: what the device benchmarks measure against.
class TrainerWindow {
public:
    TrainerWindow(Clock& clock, Tonwerk& tonwerk) : printer_(QDir::tempPath()) {
        Services& p = Platform();
        p.clock = &clock;
        p.tonwerk = &tonwerk;
        p.installedDataDir = QStringLiteral(TRAINER_DATA_DIR);
        p.printer = &printer_;
        p.dialogs = &dialogs_;
        p.exitProgram = [] {};
        window_ = std::make_unique<MainWindow>(form1());
        p.surface = &window_->surface();
        WireForm1();
        Form_Initialize();
        Form_Load();
        Form_Activate();
    }

private:
    QtPrintLayer printer_;
    TrainerDialogSeam dialogs_;
    std::unique_ptr<MainWindow> window_;
};

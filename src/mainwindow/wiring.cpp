#include "mainwindow/wiring.h"

#include "drills/drills_wiring.h"
#include "engine/run_frame.h"
#include "exercises/exercise_menu.h"
#include "exercises/own_text.h"
#include "mainwindow/run_control.h"
#include "mainwindow/settings_controls.h"
#include "mainwindow/startup.h"
#include "mainwindow/window_handlers.h"
#include "platform/form1.h"

void WireForm1() {
    Form1& f = form1();
    f.Timer_Uhrzeit.onTimer = Timer_Uhrzeit_Timer;
    f.Timer2.onTimer = Timer2_Timer;
    f.Comstart.onClick = Comstart_Click;
    f.compause.onClick = compause_Click;
    f.comstop.onClick = comstop_Click;
    f.comexit.onClick = comexit_Click;
    f.comloe.onClick = comloe_Click;
    f.COM_vvv.onClick = COM_vvv_Click;
    // The test-preamble button is greyed whenever the start button is, and during the drill.
    for (Control* c : {static_cast<Control*>(&f.Comstart), static_cast<Control*>(&f.COM_FA)})
        QObject::connect(c, &Control::changed, &f.COM_vvv, ShowTestPreambleState);
    WireDrills();
    WireSettingsControls();
    WireExerciseMenu();
    f.MausDatei.onClick = MausDatei_Click;
    WireDialogHandlers();
}

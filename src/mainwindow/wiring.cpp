#include "mainwindow/wiring.h"

#include "mainwindow/startup.h"
#include "platform/form1.h"

void WireForm1() {
    Form1& f = form1();
    f.Timer_Uhrzeit.onTimer = Timer_Uhrzeit_Timer;
}

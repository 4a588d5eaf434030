#include "drills/drills_wiring.h"

#include "drills/keyboard_modes.h"
#include "drills/question_answer.h"
#include "platform/form1.h"

void WireDrills() {
    Form1& f = form1();
    f.COM_FA.onClick = COM_FA_Click;
    f.Text2.onKeyPress = Text2_KeyPress;
    f.onKeyPress = Form_KeyPress;
    f.Com_Tastatur.onClick = Com_Tastatur_Click;
    f.C_Hoeren.onClick = C_Hoeren_Click;
    f.com_vorlesen.onClick = com_vorlesen_Click;
    f.Command2.onClick = Command2_Click;
}

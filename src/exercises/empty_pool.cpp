#include "exercises/empty_pool.h"

#include "platform/form1.h"
#include "platform/services.h"
#include "platform/text_surface.h"

void ReportEmptyPool() {
    Form1& f = form1();
    TextSurface& display = *Platform().surface;
    f.shape1.Redraw();
    display.CurrentX = f.shape1.Left + 300;
    display.CurrentY = f.shape1.Top + 120;
    display.foreColor = RGB(192, 0, 0);
    display.Print(QStringLiteral("Keine Zeichen zum Üben: bitte Zeichen oder Lektionen wählen."),
                  true);
    display.foreColor = RGB(0, 0, 0);
    f.Comstart.setEnabled(true);
    f.comstop.setEnabled(false);
    f.compause.setEnabled(false);
    f.comexit.setEnabled(true);
}

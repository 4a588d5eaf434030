#include "engine/display_reset.h"

#include "engine/spoken_characters.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "state/shared_state.h"

void ClearDisplay() {
    Form1& f = form1();
    TextSurface& display = *Platform().surface;
    S().SentCount = 0;
    display.CurrentX = f.shape1.Left + 200;
    display.CurrentY = f.shape1.Top + 50;
    f.shape1.Redraw();
}

void RestoreNormalDisplay() {
    Form1& f = form1();
    PlayWave(QStringLiteral(".\\alfa\\S12"));
    ClearDisplay();
    f.shape1.setFillColor(RGB(192, 192, 192));
    f.Text2.setVisible(false);
    S().NormalRun = true;
    Platform().surface->font.name = QStringLiteral("Arial");
}

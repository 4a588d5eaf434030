#include "engine/timing.h"

#include "platform/clock.h"
#include "platform/form1.h"
#include "platform/number_format.h"
#include "platform/services.h"
#include "platform/text_surface.h"
#include "state/shared_state.h"

void ComputeTiming() {
    SharedState& s = S();
    Form1& f = form1();
    if (s.CharSpacing > 1.0f) {
        s.EffectiveSpeed = s.Speed - s.Speed * s.CharSpacing * 0.132f;
    } else {
        s.EffectiveSpeed = s.Speed;
    }
    if (s.WordSpacing > 1.0f) {
        s.EffectiveSpeed = s.EffectiveSpeed - s.WordSpacing * s.EffectiveSpeed * 0.026f;
    }
    f.panschnitt.setCaption(FormatNumber(s.EffectiveSpeed, QStringLiteral("###.0")));
    f.panschnitt.setBackColor(RGB(224, 224, 224));
    if (Platform().surface) Platform().surface->foreColor = RGB(128, 0, 0);
    f.L_Gesch.setCaption(FormatNumber(s.Speed, QStringLiteral("###")));
    s.DotMs = DotMsAt(s.Speed);
    const int32_t dashTenths = f.LT.value();
    s.DashMs = s.DotMs * static_cast<float>(dashTenths) / 10.0f;
    s.GapUnitMs = s.DotMs;
    s.BaseDotMs = s.DotMs;
    s.CharGap = s.DashMs * s.CharSpacing;
    s.WordGap = s.CharGap * s.WordSpacing / 1000.0f;
}

void WaitSeconds(float seconds) {
    Clock& clock = *Platform().clock;
    // A monotonic clock, so that a wait across midnight still ends.
    const double start = clock.monotonicSeconds();
    for (;;) {
        const float elapsed = static_cast<float>(clock.monotonicSeconds() - start);
        if (!(elapsed < seconds)) return;
        clock.waitForEvents(static_cast<double>(seconds) - (clock.monotonicSeconds() - start));
    }
}

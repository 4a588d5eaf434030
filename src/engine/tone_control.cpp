#include "engine/tone_control.h"

#include "engine/morse_table.h"
#include "platform/clock.h"
#include "platform/services.h"
#include "sound/tonwerk.h"
#include "state/shared_state.h"

void DefineSounds() {
    const SharedState& s = S();
    Tonwerk& t = *Platform().tonwerk;
    t.SoundMode(0);
    t.BeginSounds(-1);
    t.DefineSound(1, 0, 0.0, s.DotMs, 0);
    t.DefineSound(2, 0, 0.0, s.CharGap, 0);
    t.DefineSound(3, s.TonePitch, 0.0, s.DotMs, 32000);
    t.DefineSound(4, s.TonePitch, 0.0, s.DashMs, 32000);
    t.EndSounds(-1);
}

void PlayCharacter(const QString& text) {
    if (text.isEmpty()) return;
    const int index = MorseIndex(text.front());
    if (index < 0) return;
    DefineSounds();
    EncodeCharacter(index);
    Tonwerk& t = *Platform().tonwerk;
    t.Sequence(S().ElementBuffer);
    t.SequenceEnabled(true);
    t.LoadSequence();
    t.PlaySequence();
    // The sequence ends with a dot of silence, the character gap and one more dot after the
    // last element.
    SharedState& s = S();
    const double trailingMs = 2.0 * s.DotMs + s.CharGap;
    s.LastSignEndSeconds = Platform().clock->monotonicSeconds() - trailingMs / 1000.0;
    ++s.PlayedCount;
}

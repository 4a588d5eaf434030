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
    // The last element reaches the listener after the device's latency, which may be after
    // this moment: the sender runs ahead of the device.
    SharedState& s = S();
    s.LastSignEndSeconds = t.output().heardEndSeconds();
    ++s.PlayedCount;
}

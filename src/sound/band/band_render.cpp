#include "sound/band/band_render.h"

#include <algorithm>

#include "sound/band/band_mixer.h"
#include "sound/tone_renderer.h"

void RenderWithBand(ToneRenderer& renderer, BandMixer& band, SoundItemSource& source, int16_t* out,
                    int64_t count) {
    band.refresh();
    if (band.bypassed()) {
        renderer.render(out, count, source);
        return;
    }
    // A sound counts as being sent from shortly before it starts, so that the band has faded in
    // by then wherever it was queued early.
    const auto lead = static_cast<int64_t>(BandMixer::kFadeInS * renderer.sampleRate());
    while (count > 0) {
        const int64_t grid = BandMixer::kBlockFrames;
        const int64_t n = std::min(count, grid - renderer.position() % grid);
        if (renderer.position() % grid == 0) {
            const SoundItem* next = source.peek();
            const bool sounding = renderer.activeSerial() != 0;
            band.beginBlock(sounding || (next && next->startFrame - renderer.position() <= lead),
                            sounding);
            if (next && next->frequencyHz > 0) band.tuneTo(next->frequencyHz);
        }
        renderer.render(out, n, source);
        band.process(out, static_cast<int>(n));
        out += n;
        count -= n;
    }
}

#pragma once

#include <cstdint>

class BandMixer;
class SoundItemSource;
class ToneRenderer;

// The one way every output makes its samples: the wanted signal from the tone renderer, with
// the band conditions mixed in. Blocks follow a fixed grid of the timeline, so the result does
// not depend on how the caller cuts its buffers. With the band off it is the renderer alone.
void RenderWithBand(ToneRenderer& renderer, BandMixer& band, SoundItemSource& source, int16_t* out,
                    int64_t count);

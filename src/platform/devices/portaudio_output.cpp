#include "platform/devices/portaudio_output.h"

#include <portaudio.h>

#include <algorithm>
#include <cstdio>

#include "platform/band/band_render.h"
#include "platform/clock.h"
#include "platform/devices/quiet_stderr.h"

namespace {
constexpr unsigned long kFramesPerBuffer = 256;  // 5.3 ms at 48 kHz
constexpr double kMaxLatencySeconds = 0.020;
// A device that has taken no sample for this long has stopped (unplugged, suspended, starved);
// the clock keeps the time meanwhile, so that nothing waits for it for ever.
constexpr double kStallSeconds = 2.0;

int Callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo*,
             PaStreamCallbackFlags flags, void* user) {
    static_cast<PortAudioOutput*>(user)->renderDeviceBuffer(static_cast<int16_t*>(output), frames,
                                                            (flags & paOutputUnderflow) != 0);
    return paContinue;
}
}  // namespace

void PortAudioOutput::RingSource::pop() {
    lastTaken = ring_.front()->serial;
    ring_.pop();
}

PortAudioOutput::PortAudioOutput(Clock& clock, int sampleRate, int channels)
    : ClockedOutput(clock, sampleRate),
      channels_(channels),
      renderer_(sampleRate),
      band_(sampleRate) {}

std::unique_ptr<PortAudioOutput> PortAudioOutput::Detached(Clock& clock, int sampleRate,
                                                           int channels) {
    return std::unique_ptr<PortAudioOutput>(new PortAudioOutput(clock, sampleRate, channels));
}

std::unique_ptr<PortAudioOutput> PortAudioOutput::Open(Clock& clock) {
    QuietStderr quiet;
    if (Pa_Initialize() != paNoError) return nullptr;
    const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
    const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
    if (!info || info->maxOutputChannels < 1) {
        Pa_Terminate();
        return nullptr;
    }
    PaStreamParameters params{};
    params.device = device;
    params.sampleFormat = paInt16;
    params.suggestedLatency = std::min(info->defaultLowOutputLatency, kMaxLatencySeconds);
    double rate = 0;
    for (double candidate : {48000.0, 44100.0, info->defaultSampleRate}) {
        for (int channels : {1, 2}) {
            if (channels > info->maxOutputChannels) continue;
            params.channelCount = channels;
            if (Pa_IsFormatSupported(nullptr, &params, candidate) == paFormatIsSupported) {
                rate = candidate;
                break;
            }
        }
        if (rate > 0) break;
    }
    if (rate <= 0) {
        Pa_Terminate();
        return nullptr;
    }
    std::unique_ptr<PortAudioOutput> output(
        new PortAudioOutput(clock, static_cast<int>(rate), params.channelCount));
    output->paInitialised_ = true;
    if (Pa_OpenStream(&output->stream_, nullptr, &params, rate, kFramesPerBuffer, paClipOff,
                      Callback, output.get()) != paNoError) {
        output->stream_ = nullptr;
        return nullptr;
    }
    if (const PaStreamInfo* stream = Pa_GetStreamInfo(output->stream_)) {
        output->latencyFrames_ = static_cast<int64_t>(stream->outputLatency * rate);
    }
    if (Pa_StartStream(output->stream_) != paNoError) return nullptr;
    output->lastMove_ = clock.monotonicSeconds();
    return output;
}

PortAudioOutput::~PortAudioOutput() {
    if (stream_) {
        const bool running = Pa_IsStreamActive(stream_) == 1;
        if (running && !stalled_) {
            // Let a sounding tone fade instead of cutting it off with a click.
            stop();
            const double until = clock_.monotonicSeconds() + latencySeconds() +
                                 2.0 * kFramesPerBuffer / sampleRate() +
                                 ToneRenderer::kStopFadeMs / 1000.0;
            clock_.sleepUntil(until);
        }
        QuietStderr quiet;
        // A device that stands still would never drain its buffers.
        if (stalled_) {
            Pa_AbortStream(stream_);
        } else {
            Pa_StopStream(stream_);
        }
        Pa_CloseStream(stream_);
    }
    if (paInitialised_) {
        QuietStderr quiet;
        Pa_Terminate();
    }
}

void PortAudioOutput::renderMono(int16_t* out, unsigned long frames) {
    RenderWithBand(renderer_, band_, source_, out, static_cast<int64_t>(frames));
}

void PortAudioOutput::renderDeviceBuffer(int16_t* out, unsigned long frames, bool deviceUnderflow) {
    if (deviceUnderflow) underflows_.fetch_add(1, std::memory_order_relaxed);
    const uint64_t drop = dropUpTo_.load(std::memory_order_acquire);
    if (drop > handledDrop_) {
        renderer_.stopUpTo(drop);
        while (const SoundItem* item = ring_.front()) {
            if (item->serial > drop) break;
            source_.pop();
        }
        handledDrop_ = drop;
    }
    if (channels_ == 1) {
        renderMono(out, frames);
    } else {
        unsigned long done = 0;
        while (done < frames) {
            const unsigned long n = std::min<unsigned long>(frames - done, mono_.size());
            renderMono(mono_.data(), n);
            for (unsigned long i = 0; i < n; ++i) {
                std::fill_n(out + (done + i) * channels_, channels_, mono_[i]);
            }
            done += n;
        }
    }
    const uint64_t active = renderer_.activeSerial();
    doneUpTo_.store(active != 0 ? active - 1 : source_.lastTaken, std::memory_order_release);
    lateItems_.store(renderer_.lateItems(), std::memory_order_relaxed);
    bandAudible_.store(band_.audible(), std::memory_order_release);
    position_.store(renderer_.position(), std::memory_order_release);
}

int64_t PortAudioOutput::nowFrame() {
    const double now = clock_.monotonicSeconds();
    const int64_t position = position_.load(std::memory_order_acquire);
    if (position != lastPosition_) {
        // When a stalled device moves again, the timeline falls back to it, and waiting
        // resumes for whatever it has still to play.
        lastPosition_ = position;
        lastMove_ = now;
        stalled_ = false;
        return position;
    }
    if (!stream_ || now - lastMove_ <= kStallSeconds) return position;
    if (!stalled_) {
        stalled_ = true;
        if (stalls_++ == 0) {
            std::fputs("Die Tonausgabe stockt; das Programm hält den Takt mit der Uhr.\n", stderr);
        }
    }
    return position + static_cast<int64_t>((now - lastMove_) * sampleRate());
}

void PortAudioOutput::releaseFinished() {
    const uint64_t done = doneUpTo_.load(std::memory_order_acquire);
    while (!inUse_.empty() && inUse_.front().first <= done) inUse_.pop_front();
}

void PortAudioOutput::push(const SoundItem& item) {
    // The ring holds far more than one character or sound file; it fills up only while the
    // device stands still, and then the item is given up rather than waited for.
    while (!ring_.push(item)) {
        nowFrame();
        if (stalled_) {
            ++droppedItems_;
            return;
        }
        clock_.sleepUntil(clock_.monotonicSeconds() + 0.002);
    }
}

void PortAudioOutput::renderTones(int64_t start, const std::vector<ToneSegment>& tones,
                                  const std::vector<int64_t>& frames) {
    releaseFinished();
    int64_t at = start;
    for (size_t i = 0; i < tones.size(); ++i) {
        const ToneSegment& tone = tones[i];
        if (tone.frequencyHz > 0 && tone.amplitude > 0 && frames[i] > 0) {
            push(SoundItem{at, frames[i], tone.frequencyHz, tone.amplitude, nullptr, ++serial_});
            audibleEnd_ = at + frames[i];
        }
        at += frames[i];
    }
}

void PortAudioOutput::renderPcm(int64_t start, const PcmBuffer& samples) {
    releaseFinished();
    if (samples->empty()) return;
    const auto frames = static_cast<int64_t>(samples->size());
    inUse_.emplace_back(serial_ + 1, samples);
    push(SoundItem{start, frames, 0, 0, samples->data(), ++serial_});
    audibleEnd_ = start + frames;
}

void PortAudioOutput::renderStop(int64_t now) {
    dropUpTo_.store(serial_, std::memory_order_release);
    audibleEnd_ = std::min(audibleEnd_, now + ToneRenderer::StopFadeFrames(sampleRate()));
}

bool PortAudioOutput::idle() {
    // A sound file ends with sound, which is heard only once it has passed the device's
    // buffer; tones end with silence of their own.
    return ClockedOutput::idle() && nowFrame() - latencyFrames_ >= audibleEnd_;
}

double PortAudioOutput::secondsQueued() {
    const int64_t end = std::max(endFrame(), audibleEnd_ + latencyFrames_);
    return std::max<int64_t>(0, end - nowFrame()) / static_cast<double>(sampleRate());
}

void PortAudioOutput::setBandConditions(const BandSettings& settings,
                                        std::shared_ptr<const QrmTraffic> traffic) {
    band_.set(settings, std::move(traffic));
}

uint64_t PortAudioOutput::underruns() const {
    return underflows_.load(std::memory_order_relaxed) + lateItems_.load(std::memory_order_relaxed);
}

#include "sound/device/portaudio_output.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/clock.h"
#include "sound/band/band_render.h"
#include "sound/device/portaudio_stream.h"

namespace {
// A device that has taken no sample for this long while it should run has stopped (unplugged,
// suspended, starved); the clock keeps the time meanwhile, so that nothing waits for it for ever.
constexpr double kStallSeconds = 2.0;
// A running stream that asks for no buffer this long is held up, not slow: the longest buffer
// is a tenth of a second.
constexpr double kHeldUpSeconds = 0.35;
// While the stream runs, a new sound is placed this far ahead of the device, so that the ring
// holds it before the callback needs it even when the window thread wakes late or the device
// takes a large buffer at once; the next character of a run is handed over that much earlier.
// A run's schedule is known ahead, so a generous lead costs nothing and rides out a window
// thread held up for a tenth of a second on a busy machine.
constexpr double kRunLeadSeconds = 0.100;
constexpr int64_t kPromptLeadFrames = 256;  // one device buffer: a typed key waits no longer
constexpr int kTendIntervalMs = 250;
}  // namespace

void PortAudioOutput::RingSource::pop() {
    lastTaken = ring_.front()->serial;
    ring_.pop();
}

PortAudioOutput::PortAudioOutput(Clock& clock, int sampleRate, int channels)
    : ClockedOutput(clock, sampleRate),
      channels_(channels),
      renderer_(sampleRate),
      band_(sampleRate),
      sidetone_(sampleRate) {}

std::unique_ptr<PortAudioOutput> PortAudioOutput::Detached(Clock& clock, int sampleRate,
                                                           int channels) {
    return std::unique_ptr<PortAudioOutput>(new PortAudioOutput(clock, sampleRate, channels));
}

std::unique_ptr<PortAudioOutput> PortAudioOutput::OnStream(Clock& clock,
                                                           std::unique_ptr<OutputStream> stream) {
    std::unique_ptr<PortAudioOutput> output(
        new PortAudioOutput(clock, stream->sampleRate(), stream->channels()));
    output->stream_ = std::move(stream);
    if (!output->openStream(false)) return nullptr;
    return output;
}

std::unique_ptr<PortAudioOutput> PortAudioOutput::Open(Clock& clock) {
    auto stream = PortAudioStream::OpenDefault();
    if (!stream) return nullptr;
    return OnStream(clock, std::move(stream));
}

PortAudioOutput::~PortAudioOutput() {
    if (timer_) clock_.stopTimer(timer_);
    if (!stream_ || !open_) return;
    if (running_ && !stalled_ && !quiet()) {
        // Let a sounding tone fade instead of cutting it off with a click.
        stop();
        const double until = clock_.monotonicSeconds() + latencySeconds() +
                             2.0 * kPromptLeadFrames / sampleRate() +
                             ToneRenderer::kStopFadeMs / 1000.0;
        clock_.sleepUntil(until);
        stream_->drain();
    }
    // What is left in the device is silence; a device that stands still would never drain.
    stream_->close();
}

bool PortAudioOutput::openStream(bool prompt) {
    const bool smallest = prompt && need().smallestBuffer;
    const double asked = smallest ? smallestLatencySeconds()
                         : prompt ? kPromptLatencySeconds
                                  : kRunLatencySeconds;
    if (!stream_->open(asked, *this)) return false;
    if (smallest) {
        // A smaller ask than the device grants buys no time, only short periods that underflow,
        // and through PulseAudio each underflow holds the sound up for a second or two: start
        // from the largest step the grant covers.
        size_t covered = smallestStep_;
        while (covered + 1 < kSmallestLatencySteps.size() &&
               kSmallestLatencySteps[covered + 1] <= stream_->latencySeconds()) {
            ++covered;
        }
        if (covered > smallestStep_) {
            stream_->close();
            growSmallestStepTo(covered);
            if (!stream_->open(smallestLatencySeconds(), *this)) return false;
        }
    }
    open_ = true;
    openPrompt_ = prompt;
    openSmallest_ = smallest;
    underflowsAtOpen_ = underflows_.load(std::memory_order_relaxed);
    latencyFrames_ = std::llround(stream_->latencySeconds() * sampleRate());
    latencyMs_[prompt] = stream_->latencySeconds() * 1000.0;
    leadFrames_ = prompt ? kPromptLeadFrames : std::llround(kRunLeadSeconds * sampleRate());
    return true;
}

void PortAudioOutput::startStream() {
    if (running_ || !stream_ || broken_) return;
    running_ = true;
    lastMove_ = clock_.monotonicSeconds();
    startedAt_ = lastMove_;
    heardOrigin_.store(std::nan(""), std::memory_order_relaxed);
    const bool prompt = need().promptResponse;
    if (!open_ && !openStream(prompt) && !openStream(!prompt)) {
        // The device has gone: the clock keeps the time from here on.
        broken_ = true;
        return;
    }
    // A stream that does not start is a device that stands still: the clock takes over.
    stream_->start();
    if (!timer_) timer_ = clock_.startTimer(kTendIntervalMs, [this] { tend(); });
}

void PortAudioOutput::closeStream() {
    if (running_) {
        // Only silence is left in the device, so dropping it cannot click.
        stream_->abort();
        running_ = false;
        stalled_ = false;
        clock_.stopTimer(timer_);
        timer_ = 0;
    }
    if (!open_) return;
    // A stream opened anew starts at once; one started again after a stop may wait for the
    // sound server for a second or more.
    stream_->close();
    open_ = false;
    const uint64_t count = underruns();
    underrunsBy_[openPrompt_] += count - underrunsCounted_;
    underrunsCounted_ = count;
}

bool PortAudioOutput::quiet() {
    // Band noise fading out after the last sound is heard too; closing under it would click.
    return !running_ || (devicePosition() - latencyFrames_ >= audibleEnd() && !bandAudible());
}

bool PortAudioOutput::openAsNeeded() const {
    const SoundNeed wanted = need();
    return wanted.promptResponse == openPrompt_ &&
           (wanted.promptResponse && wanted.smallestBuffer) == openSmallest_;
}

void PortAudioOutput::growSmallestBuffer() {
    if (!open_ || !openSmallest_ || smallestStep_ + 1 >= kSmallestLatencySteps.size()) return;
    if (underflows_.load(std::memory_order_relaxed) == underflowsAtOpen_) return;
    // Reopening drops what the device holds: only while the key is up and its tone has faded.
    if (!quiet() || sidetone_.keyDown() || sidetoneAudible_.load(std::memory_order_acquire)) {
        return;
    }
    closeStream();
    growSmallestStepTo(smallestStep_ + 1);
}

void PortAudioOutput::growSmallestStepTo(size_t step) {
    smallestStep_ = step;
    if (stepGrown_) stepGrown_(smallestStep_);
}

void PortAudioOutput::restartIfHeldUp() {
    // Over PulseAudio, PortAudio's ALSA layer may wait two seconds after an underflow before
    // it asks for the next buffer. A stream opened anew starts at once and plays what is left
    // from where the device stopped; once per standstill, so a dead device is still left to
    // the clock.
    if (!running_) return;
    const double taken = std::max(takenAt_.load(std::memory_order_acquire), startedAt_);
    if (taken == heldUpAt_ || clock_.monotonicSeconds() - taken < kHeldUpSeconds) return;
    closeStream();
    startStream();
    heldUpAt_ = startedAt_;
}

void PortAudioOutput::tend() {
    if (!stream_ || broken_) return;
    restartIfHeldUp();
    growSmallestBuffer();
    const SoundNeed wanted = need();
    if (open_ && !openAsNeeded() && quiet()) closeStream();
    if (wanted.keepOpen) {
        startStream();
        return;
    }
    if (!running_ || !quiet()) return;
    const int64_t silentFrames =
        devicePosition() - std::max(endFrame(), audibleEnd() + latencyFrames_);
    if (silentFrames >= std::llround(kIdleStopSeconds * sampleRate())) closeStream();
}

void PortAudioOutput::needChanged() { tend(); }

void PortAudioOutput::prepareQueue() {
    releaseFinished();
    if (stream_ && !broken_ && open_ && !openAsNeeded() && quiet()) {
        closeStream();
    }
}

void PortAudioOutput::renderMono(int16_t* out, unsigned long frames) {
    RenderWithBand(renderer_, band_, source_, out, static_cast<int64_t>(frames));
}

void PortAudioOutput::setBufferDelay(double seconds) { bufferDelay_ = seconds; }

void PortAudioOutput::renderDeviceBuffer(int16_t* out, unsigned long frames, bool deviceUnderflow) {
    if (deviceUnderflow) underflows_.fetch_add(1, std::memory_order_relaxed);
    // When this buffer's first frame is heard, as the device tells or as it was granted.
    const double at = clock_.monotonicSeconds();
    const double rate = sampleRate();
    const double delay = bufferDelay_ >= 0 ? bufferDelay_ : latencyFrames_ / rate;
    bufferDelay_ = -1;
    heardOrigin_.store(at + delay - renderer_.position() / rate, std::memory_order_relaxed);
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
    sidetone_.mixInto(out, frames, channels_);
    sidetoneAudible_.store(sidetone_.sounding(), std::memory_order_release);
    const uint64_t active = renderer_.activeSerial();
    doneUpTo_.store(active != 0 ? active - 1 : source_.lastTaken, std::memory_order_release);
    lateItems_.store(renderer_.lateItems(), std::memory_order_relaxed);
    bandAudible_.store(band_.audible(), std::memory_order_release);
    bufferFrames_.store(static_cast<int64_t>(frames), std::memory_order_relaxed);
    position_.store(renderer_.position(), std::memory_order_release);
    takenAt_.store(at, std::memory_order_release);
}

int64_t PortAudioOutput::devicePosition() {
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
    if (!running_ || now - lastMove_ <= kStallSeconds) return position;
    if (!stalled_) {
        stalled_ = true;
        if (stalls_++ == 0) {
            std::fputs("Die Tonausgabe stockt; das Programm hält den Takt mit der Uhr.\n", stderr);
        }
    }
    return position + static_cast<int64_t>((now - lastMove_) * sampleRate());
}

int64_t PortAudioOutput::nowFrame() {
    // A stopped stream takes the next sound where it stood; a running one a lead ahead.
    return devicePosition() + (running_ ? leadFrames_ : 0);
}

int64_t PortAudioOutput::nextStart(int64_t end) {
    // The lead is for a sound after silence. A run's next character follows its predecessor
    // exactly for as long as the device has not come near it, even when the device took
    // several buffers at once while the window thread was held up and is now closer than a
    // lead: two buffers leave room for the one it may be rendering right now.
    const int64_t device = devicePosition();
    if (running_ && !stalled_ &&
        end >= device + 2 * bufferFrames_.load(std::memory_order_relaxed)) {
        return end;
    }
    return std::max(end, device + (running_ ? leadFrames_ : 0));
}

int64_t PortAudioOutput::expectedPosition() {
    const int64_t position = devicePosition();
    if (!running_ || stalled_) return position;
    // The device takes its buffers in bursts; between them it is assumed to go on at its rate,
    // but never by more than half the lead, so that the next sound is still handed over early.
    const double since = clock_.monotonicSeconds() - takenAt_.load(std::memory_order_acquire);
    const auto ahead = static_cast<int64_t>(std::max(0.0, since) * sampleRate());
    return position + std::min(ahead, leadFrames_ / 2);
}

void PortAudioOutput::releaseFinished() {
    const uint64_t done = doneUpTo_.load(std::memory_order_acquire);
    while (!inUse_.empty() && inUse_.front().first <= done) inUse_.pop_front();
}

void PortAudioOutput::push(const SoundItem& item) {
    // The ring holds far more than one character or sound file; it fills up only while the
    // device stands still, and then the item is given up rather than waited for.
    while (!ring_.push(item)) {
        startStream();
        devicePosition();
        if (stalled_ || !stream_ || broken_) {
            ++droppedItems_;
            return;
        }
        clock_.sleepUntil(clock_.monotonicSeconds() + 0.002);
    }
}

void PortAudioOutput::renderTones(int64_t start, const std::vector<ToneSegment>& tones,
                                  const std::vector<int64_t>& frames) {
    int64_t at = start;
    for (size_t i = 0; i < tones.size(); ++i) {
        const ToneSegment& tone = tones[i];
        if (tone.frequencyHz > 0 && tone.amplitude > 0 && frames[i] > 0) {
            push(SoundItem{at, frames[i], tone.frequencyHz, tone.amplitude, nullptr, ++serial_});
        }
        at += frames[i];
    }
    // Silence, too, passes only as the device plays it.
    startStream();
}

void PortAudioOutput::renderPcm(int64_t start, const PcmBuffer& samples) {
    if (samples->empty()) return;
    const auto frames = static_cast<int64_t>(samples->size());
    inUse_.emplace_back(serial_ + 1, samples);
    push(SoundItem{start, frames, 0, 0, samples->data(), ++serial_});
    startStream();
}

void PortAudioOutput::renderStop(int64_t) { dropUpTo_.store(serial_, std::memory_order_release); }

bool PortAudioOutput::idle() {
    // Only the timeline counts: a sound still in the device's buffer, or the band fading out
    // after it, never holds back the next one.
    return expectedPosition() + (running_ ? leadFrames_ : 0) >= endFrame();
}

double PortAudioOutput::secondsQueued() {
    const int64_t left = endFrame() - expectedPosition() - (running_ ? leadFrames_ : 0);
    return std::max<int64_t>(0, left) / static_cast<double>(sampleRate());
}

double PortAudioOutput::heardEndSeconds() {
    const double rate = sampleRate();
    const double origin = heardOrigin_.load(std::memory_order_relaxed);
    // Until the device has taken a buffer of this stream, its latency stands in for what it
    // would report.
    if (std::isnan(origin)) {
        return clock_.monotonicSeconds() + (audibleEnd() - devicePosition()) / rate +
               latencyFrames_ / rate;
    }
    return origin + audibleEnd() / rate;
}

void PortAudioOutput::setBandConditions(const BandSettings& settings,
                                        std::shared_ptr<const QrmTraffic> traffic) {
    band_.set(settings, std::move(traffic));
}

uint64_t PortAudioOutput::deviceUnderflows() const {
    return underflows_.load(std::memory_order_relaxed);
}

uint64_t PortAudioOutput::lateSounds() const { return lateItems_.load(std::memory_order_relaxed); }

std::string PortAudioOutput::underrunReport() const {
    const uint64_t total = underruns();
    if (total == 0) return {};
    std::array<uint64_t, 2> by = underrunsBy_;
    by[openPrompt_] += total - underrunsCounted_;
    char latency[80];
    if (by[0] > 0 && by[1] > 0) {
        std::snprintf(latency, sizeof latency, "bei %.0f ms und %.0f ms Latenz", latencyMs_[0],
                      latencyMs_[1]);
    } else {
        std::snprintf(latency, sizeof latency, "bei %.0f ms Latenz", latencyMs_[by[1] > 0 ? 1 : 0]);
    }
    char line[300];
    std::snprintf(line, sizeof line,
                  "Die Tonausgabe hatte Aussetzer %s: %llu Pufferunterläufe des Geräts, %llu zu "
                  "spät gelieferte Töne.",
                  latency, static_cast<unsigned long long>(deviceUnderflows()),
                  static_cast<unsigned long long>(lateSounds()));
    return line;
}

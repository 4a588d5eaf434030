// For the sound benchmarks: an output stream that passes everything to the real device and
// notes, on the audio thread, the stream frame of every buffer the device flagged as an
// underflow and of every sound's first sample after silence, so that both can be found in a
// capture of what was played.
#pragma once

#include <array>
#include <atomic>
#include <cstdio>
#include <memory>

#include "sound/device/output_stream.h"

class UnderflowLog : public OutputStream, private StreamRenderer {
public:
    explicit UnderflowLog(std::unique_ptr<OutputStream> inner) : inner_(std::move(inner)) {}

    int sampleRate() const override { return inner_->sampleRate(); }
    int channels() const override { return inner_->channels(); }
    bool open(double latencySeconds, StreamRenderer& renderer) override {
        target_ = &renderer;
        return inner_->open(latencySeconds, *this);
    }
    double latencySeconds() const override { return inner_->latencySeconds(); }
    bool start() override {
        note(Kind::Start, frames_);
        return inner_->start();
    }
    void abort() override { inner_->abort(); }
    void drain() override { inner_->drain(); }
    void close() override { inner_->close(); }

    // Writes one line per event: "start|underflow|onset FRAME", frames counted over every
    // buffer the device took.
    void write(std::FILE* out) const {
        static const char* names[] = {"start", "underflow", "onset"};
        const int n = count_.load(std::memory_order_acquire);
        for (int i = 0; i < n; ++i) {
            std::fprintf(out, "%s %lld\n", names[static_cast<int>(events_[i].kind)],
                         static_cast<long long>(events_[i].frame));
        }
    }

private:
    enum class Kind { Start, Underflow, Onset };
    struct Event {
        Kind kind;
        long long frame;
    };

    void note(Kind kind, long long frame) {
        const int n = count_.load(std::memory_order_relaxed);
        if (n >= static_cast<int>(events_.size())) return;
        events_[n] = {kind, frame};
        count_.store(n + 1, std::memory_order_release);
    }

    void setBufferDelay(double seconds) override { target_->setBufferDelay(seconds); }
    void renderDeviceBuffer(int16_t* out, unsigned long frames, bool underflow) override {
        if (underflow) note(Kind::Underflow, frames_);
        target_->renderDeviceBuffer(out, frames, underflow);
        const int channels = inner_->channels();
        for (unsigned long i = 0; i < frames; ++i) {
            if (out[i * channels] == 0) {
                ++silent_;
                continue;
            }
            if (silent_ >= static_cast<unsigned long>(sampleRate() / 100)) {
                note(Kind::Onset, frames_ + static_cast<long long>(i));
            }
            silent_ = 0;
        }
        frames_ += static_cast<long long>(frames);
    }

    std::unique_ptr<OutputStream> inner_;
    StreamRenderer* target_ = nullptr;
    long long frames_ = 0;
    unsigned long silent_ = 1u << 30;
    std::array<Event, 1 << 17> events_{};
    std::atomic<int> count_{0};
};

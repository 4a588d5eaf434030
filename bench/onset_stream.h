// For the sound benchmarks: an output stream that passes everything to the real device and
// notes, on the audio thread, the moment each sound begins to be rendered (the first sample that
// is not silence after at least 10 ms of silence), with the time the device asked for the buffer.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <memory>

#include "sound/device/output_stream.h"

class OnsetStream : public OutputStream, private StreamRenderer {
public:
    explicit OnsetStream(std::unique_ptr<OutputStream> inner) : inner_(std::move(inner)) {}

    static double NowMs() {
        return std::chrono::duration<double, std::milli>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    int sampleRate() const override { return inner_->sampleRate(); }
    int channels() const override { return inner_->channels(); }
    bool open(double latencySeconds, StreamRenderer& renderer) override {
        target_ = &renderer;
        return inner_->open(latencySeconds, *this);
    }
    double latencySeconds() const override { return inner_->latencySeconds(); }
    bool start() override { return inner_->start(); }
    void abort() override { inner_->abort(); }
    void drain() override { inner_->drain(); }
    void close() override { inner_->close(); }

    // Onsets so far, in steady-clock milliseconds.
    int onsetCount() const { return count_.load(std::memory_order_acquire); }
    double onsetMs(int i) const { return onsets_[i]; }

private:
    void renderDeviceBuffer(int16_t* out, unsigned long frames, bool underflow) override {
        const double at = NowMs();
        target_->renderDeviceBuffer(out, frames, underflow);
        const unsigned long quietNeeded = sampleRate() / 100;
        const int channels = inner_->channels();
        for (unsigned long i = 0; i < frames; ++i) {
            if (out[i * channels] == 0) {
                ++silent_;
                continue;
            }
            if (silent_ >= quietNeeded) {
                const int n = count_.load(std::memory_order_relaxed);
                if (n < static_cast<int>(onsets_.size())) {
                    onsets_[n] = at;
                    count_.store(n + 1, std::memory_order_release);
                }
            }
            silent_ = 0;
        }
    }

    std::unique_ptr<OutputStream> inner_;
    StreamRenderer* target_ = nullptr;
    unsigned long silent_ = 1u << 30;
    std::array<double, 1 << 16> onsets_{};
    std::atomic<int> count_{0};
};

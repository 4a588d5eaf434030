#pragma once

#include <memory>

#include "sound/device/output_stream.h"

typedef void PaStream;

// The default output device through PortAudio, 16-bit at 48 kHz (or what the device offers), mono
// or stereo.
class PortAudioStream : public OutputStream {
public:
    // nullptr when there is no usable output device.
    static std::unique_ptr<PortAudioStream> OpenDefault();
    ~PortAudioStream() override;

    int sampleRate() const override { return rate_; }
    int channels() const override { return channels_; }
    bool open(double latencySeconds, StreamRenderer& renderer) override;
    double latencySeconds() const override { return latency_; }
    bool start() override;
    void abort() override;
    void drain() override;
    void close() override;

private:
    PortAudioStream() = default;

    int device_ = -1;
    int rate_ = 0;
    int channels_ = 0;
    double latency_ = 0;
    PaStream* stream_ = nullptr;
    bool running_ = false;
    bool initialised_ = false;
};

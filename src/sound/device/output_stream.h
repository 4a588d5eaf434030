#pragma once

#include <cstdint>

// What a device stream calls for every buffer it needs: interleaved 16-bit samples. Runs on the
// audio thread; never blocks, allocates, logs or locks.
class StreamRenderer {
public:
    virtual ~StreamRenderer() = default;
    virtual void renderDeviceBuffer(int16_t* out, unsigned long frames, bool deviceUnderflow) = 0;
    // Called before a buffer when the device knows how long its first frame takes to be heard
    // (s).
    virtual void setBufferDelay(double) {}
};

// One output stream of the sound device, as the device output drives it from the window thread;
// tests put a fake in its place. The format (rate, channels) is fixed when the stream is made;
// the latency is chosen at each open.
class OutputStream {
public:
    virtual ~OutputStream() = default;

    virtual int sampleRate() const = 0;
    virtual int channels() const = 0;
    // Opens the stream with about `latencySeconds` of buffer for `renderer`; false when the
    // device refuses. The first buffers are filled by the renderer, not with silence, so that a
    // sound queued before start is heard at once.
    virtual bool open(double latencySeconds, StreamRenderer& renderer) = 0;
    // The latency the device granted (s); valid while open.
    virtual double latencySeconds() const = 0;
    virtual bool start() = 0;
    // Stops at once, dropping what the device holds (the caller knows it is silence).
    virtual void abort() = 0;
    // Lets what the device holds play out, then stops.
    virtual void drain() = 0;
    virtual void close() = 0;
};

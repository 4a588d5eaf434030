#include "sound/device/portaudio_stream.h"

#include <portaudio.h>

#include "sound/device/quiet_stderr.h"

namespace {
constexpr unsigned long kFramesPerBuffer = 256;  // 5.3 ms at 48 kHz

int Callback(const void*, void* output, unsigned long frames, const PaStreamCallbackTimeInfo* time,
             PaStreamCallbackFlags flags, void* user) {
    auto* renderer = static_cast<StreamRenderer*>(user);
    // Both times are on the stream's clock; some host APIs leave them zero.
    if (time && time->outputBufferDacTime > time->currentTime && time->currentTime > 0) {
        renderer->setBufferDelay(time->outputBufferDacTime - time->currentTime);
    }
    renderer->renderDeviceBuffer(static_cast<int16_t*>(output), frames,
                                 (flags & paOutputUnderflow) != 0);
    return paContinue;
}
}  // namespace

std::unique_ptr<PortAudioStream> PortAudioStream::OpenDefault() {
    QuietStderr quiet;
    if (Pa_Initialize() != paNoError) return nullptr;
    std::unique_ptr<PortAudioStream> stream(new PortAudioStream);
    stream->initialised_ = true;
    const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
    const PaDeviceInfo* info = device == paNoDevice ? nullptr : Pa_GetDeviceInfo(device);
    if (!info || info->maxOutputChannels < 1) return nullptr;
    PaStreamParameters params{};
    params.device = device;
    params.sampleFormat = paInt16;
    params.suggestedLatency = info->defaultLowOutputLatency;
    for (double candidate : {48000.0, 44100.0, info->defaultSampleRate}) {
        for (int channels : {1, 2}) {
            if (channels > info->maxOutputChannels) continue;
            params.channelCount = channels;
            if (Pa_IsFormatSupported(nullptr, &params, candidate) == paFormatIsSupported) {
                stream->device_ = device;
                stream->rate_ = static_cast<int>(candidate);
                stream->channels_ = channels;
                return stream;
            }
        }
    }
    return nullptr;
}

PortAudioStream::~PortAudioStream() {
    close();
    if (initialised_) {
        QuietStderr quiet;
        Pa_Terminate();
    }
}

bool PortAudioStream::open(double latencySeconds, StreamRenderer& renderer) {
    close();
    QuietStderr quiet;
    PaStreamParameters params{};
    params.device = device_;
    params.channelCount = channels_;
    params.sampleFormat = paInt16;
    params.suggestedLatency = latencySeconds;
    if (Pa_OpenStream(&stream_, nullptr, &params, rate_, kFramesPerBuffer,
                      paClipOff | paPrimeOutputBuffersUsingStreamCallback, Callback,
                      &renderer) != paNoError) {
        stream_ = nullptr;
        return false;
    }
    const PaStreamInfo* info = Pa_GetStreamInfo(stream_);
    latency_ = info ? info->outputLatency : latencySeconds;
    return true;
}

bool PortAudioStream::start() {
    if (!stream_) return false;
    QuietStderr quiet;
    running_ = Pa_StartStream(stream_) == paNoError;
    return running_;
}

void PortAudioStream::abort() {
    if (!stream_ || !running_) return;
    QuietStderr quiet;
    Pa_AbortStream(stream_);
    running_ = false;
}

void PortAudioStream::drain() {
    if (!stream_ || !running_) return;
    QuietStderr quiet;
    Pa_StopStream(stream_);
    running_ = false;
}

void PortAudioStream::close() {
    if (!stream_) return;
    abort();
    QuietStderr quiet;
    Pa_CloseStream(stream_);
    stream_ = nullptr;
}

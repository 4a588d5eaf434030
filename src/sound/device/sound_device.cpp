#include "sound/device/sound_device.h"

#include <cstdio>

#include "sound/clocked_output.h"
#include "sound/device/portaudio_output.h"

namespace {
constexpr int kSilentSampleRate = 48000;
}  // namespace

std::unique_ptr<SoundOutput> OpenSoundOutput(Clock& clock) {
    if (auto device = PortAudioOutput::Open(clock)) return device;
    std::fputs("Kein Tonausgabegerät verfügbar; das Programm läuft ohne Ton.\n", stderr);
    return std::make_unique<ClockedOutput>(clock, kSilentSampleRate);
}

void ReportUnderruns(const SoundOutput& output) {
    const auto* device = dynamic_cast<const PortAudioOutput*>(&output);
    if (!device) return;
    const std::string line = device->underrunReport();
    if (!line.empty()) std::fprintf(stderr, "%s\n", line.c_str());
}

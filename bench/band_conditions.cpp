// Band conditions with every part switched on: the processor time of the device callback
// (tone renderer and band mixer, 256-frame buffers at 48 kHz, measured as the thread's CPU
// time against the audio time rendered) and the speed of the export path (engine, virtual
// clock, offline output) against real time.
//   bench_band_conditions

#include <QElapsedTimer>
#include <cstdio>
#include <ctime>
#include <vector>

#include "engine/morse_table.h"
#include "engine/timing.h"
#include "engine/tone_control.h"
#include "exercises/qrm_traffic.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "platform/virtual_clock.h"
#include "sound/band/band_mixer.h"
#include "sound/device/portaudio_output.h"
#include "sound/offline_output.h"
#include "sound/tonwerk.h"
#include "state/shared_state.h"

namespace {
constexpr int kRate = 48000;
const char* const kText = "CQ CQ DE DL1ABC DL1ABC PSE K = UR RST 599 5NN QTH BERLIN NAME OTTO ? ";

BandSettings AllOn() {
    BandSettings s;
    s.enabled = true;
    s.noiseOn = s.qsbOn = s.qrmOn = s.qrnOn = true;
    s.snrDb = 0;
    s.filterHz = 2400;
    s.qsbDepthDb = 20;
    s.qsbPeriodS = 5;
    s.qrmOffsetHz = 300;
    s.qrmLevelDb = 0;
    s.qrnPerMinute = 30;
    s.qrnLevelDb = 0;
    s.seed = 3;
    return s;
}

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

void SendText(int repeats) {
    SharedState& s = S();
    for (int r = 0; r < repeats; ++r) {
        for (const char* c = kText; *c; ++c) {
            if (*c == ' ') {
                WaitSeconds(s.WordGap);
            } else {
                PlayCharacter(QString(QChar(*c)));
            }
        }
    }
}

void SetTiming(float cpm) {
    SharedState& s = S();
    s.Speed = cpm;
    s.TonePitch = 800;
    s.CharSpacing = 1;
    s.WordSpacing = 1;
    form1().LT.setValue(30);
    ComputeTiming();
}

void Callback(bool band) {
    VirtualClock clock;
    auto device = PortAudioOutput::Detached(clock, kRate, 2);
    if (band) device->setBandConditions(AllOn(), BuildQrmTraffic(3));
    std::vector<ToneSegment> tones;
    for (int i = 0; i < 400; ++i) {
        tones.push_back({800, i % 3 ? 60.0 : 180.0, 32000});
        tones.push_back({0, i % 7 ? 60.0 : 420.0, 0});
    }
    device->queueTones(tones);
    std::vector<int16_t> buffer(256 * 2);
    const int buffers = static_cast<int>(device->secondsQueued() * kRate / 256);
    const double cpu = ThreadCpuSeconds();
    for (int i = 0; i < buffers; ++i) {
        device->renderDeviceBuffer(buffer.data(), 256, false);
        clock.advance(256.0 / kRate);
    }
    const double used = ThreadCpuSeconds() - cpu;
    const double audio = buffers * 256.0 / kRate;
    std::printf("callback, band %s: %.1f s of sound in %.3f s CPU = %.2f %% of one core\n",
                band ? "all on" : "off   ", audio, used, 100 * used / audio);
}

void Export(bool band) {
    VirtualClock clock;
    OfflineOutput output(clock, kRate);
    if (band) output.setBandConditions(AllOn(), BuildQrmTraffic(3));
    Tonwerk tonwerk(output, clock);
    Platform().clock = &clock;
    Platform().tonwerk = &tonwerk;
    SetTiming(100);
    QElapsedTimer timer;
    timer.start();
    const double cpu = ThreadCpuSeconds();
    SendText(20);
    const size_t frames = output.samples().size();
    const double wall = timer.nsecsElapsed() / 1e9;
    const double used = ThreadCpuSeconds() - cpu;
    const double audio = frames / static_cast<double>(kRate);
    // On a shared machine the CPU time is the fairer figure; the wall time is given too.
    std::printf(
        "export,   band %s: %.1f s of sound in %.3f s CPU = %.0f x real time "
        "(wall %.3f s = %.0f x)\n",
        band ? "all on" : "off   ", audio, used, audio / used, wall, audio / wall);
    Platform().clock = nullptr;
    Platform().tonwerk = nullptr;
}
}  // namespace

int main() {
    BuildMorseTable();
    Callback(false);
    Callback(true);
    Export(false);
    Export(true);
    return 0;
}

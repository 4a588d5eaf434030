// The PortAudio output. With a sound device: plays a long text through the real tone control
// while other threads keep every core busy, and prints the underruns the output counted and
// its latency. Without one: says so, and measures what the audio callback costs per buffer
// (256 frames at 48 kHz, 5.3 ms of sound) while it renders Morse.
//   bench_portaudio_output [SECONDS [BUSY_THREADS]]   (default 20 s, one thread per core)

#include "sound/device/portaudio_output.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "engine/morse_table.h"
#include "engine/timing.h"
#include "engine/tone_control.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "platform/system_clock.h"
#include "platform/virtual_clock.h"
#include "sound/tonwerk.h"
#include "state/shared_state.h"

namespace {
const QString kText = QStringLiteral("CQ CQ DE DL1ABC PSE K = UR RST 599 QTH BERLIN ");

void Prepare() {
    BuildMorseTable();
    S().Speed = 100;
    form1().LT.setValue(30);
    ComputeTiming();
}

int WithDevice(PortAudioOutput& output, SystemClock& clock, double seconds, unsigned busyThreads) {
    Tonwerk tonwerk(output, clock);
    Platform().tonwerk = &tonwerk;
    std::atomic<bool> busy{true};
    std::vector<std::thread> load;
    for (unsigned i = 0; i < busyThreads; ++i) {
        load.emplace_back([&busy] {
            volatile double x = 1;
            while (busy.load(std::memory_order_relaxed)) x = std::sqrt(x + 1.0);
        });
    }
    QElapsedTimer wall;
    wall.start();
    int characters = 0;
    while (wall.nsecsElapsed() / 1e9 < seconds) {
        for (QChar c : kText) {
            if (c == u' ') {
                WaitSeconds(S().WordGap);
            } else {
                PlayCharacter(QString(c));
            }
            ++characters;
        }
    }
    busy = false;
    for (auto& t : load) t.join();
    std::printf("device: %d channel(s) at %d Hz, output latency %.1f ms, one buffer %.1f ms\n",
                output.channels(), output.sampleRate(), output.latencySeconds() * 1000,
                256000.0 / output.sampleRate());
    std::printf(
        "latency from PlaySequence to sound: at most one buffer plus the output latency "
        "= %.1f ms\n",
        256000.0 / output.sampleRate() + output.latencySeconds() * 1000);
    std::printf("played %d characters in %.1f s with %zu busy threads: %llu underruns%s\n",
                characters, wall.nsecsElapsed() / 1e9, load.size(),
                static_cast<unsigned long long>(output.underruns()),
                output.stalls() > 0 ? " (the device stood still for a while)" : "");
    Platform().tonwerk = nullptr;
    return 0;
}

int WithoutDevice(double seconds) {
    std::printf(
        "PortAudio found no usable output device on this machine; measuring the audio "
        "callback on its own.\n");
    VirtualClock clock;
    auto output = PortAudioOutput::Detached(clock, 48000, 1);
    std::vector<int16_t> buffer(256);
    std::vector<double> costs;
    const int buffers = static_cast<int>(seconds * 48000 / 256);
    // Keep the ring fed as the sending loop would: a character (here always "a" with its
    // gaps) whenever the last one has played, one silent buffer for a blank.
    int next = 0;
    for (int i = 0; i < buffers; ++i) {
        if (output->idle()) {
            const QChar c = kText[next++ % kText.size()];
            if (c != u' ') {
                output->queueTones({{800, S().DotMs, 32000},
                                    {0, S().DotMs, 0},
                                    {800, S().DashMs, 32000},
                                    {0, S().CharGap, 0}});
            }
        }
        QElapsedTimer t;
        t.start();
        output->renderDeviceBuffer(buffer.data(), 256, false);
        costs.push_back(t.nsecsElapsed() / 1000.0);
    }
    std::sort(costs.begin(), costs.end());
    double sum = 0;
    for (double c : costs) sum += c;
    const double budget = 256e6 / 48000;
    std::printf(
        "callback per buffer of 256 frames (%zu buffers): mean %.2f us, median %.2f us, "
        "99.9 %% %.2f us, max %.2f us; the buffer lasts %.0f us (mean load %.3f %%)\n",
        costs.size(), sum / costs.size(), costs[costs.size() / 2], costs[costs.size() * 999 / 1000],
        costs.back(), budget, 100.0 * sum / costs.size() / budget);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    SystemClock clock;
    Platform().clock = &clock;
    Prepare();
    const unsigned busy = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2]))
                                   : std::max(1u, std::thread::hardware_concurrency());
    if (auto output = PortAudioOutput::Open(clock)) {
        return WithDevice(*output, clock, seconds, busy);
    }
    Platform().clock = nullptr;
    return WithoutDevice(seconds);
}

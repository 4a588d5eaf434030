// The sound device between sounds, with the real main window (run it under xvfb-run with a
// sound server; bench/device_bench.sh starts both): after one character the output stream must
// stop within about two seconds of silence; then the processor time the idle window takes over
// a minute, the trainer's own and the sound server's (its pid as the second argument); then,
// ten times, how long a character queued after idle takes to its first rendered sample, and
// that plus the device's output latency, which is when it is heard.
//   bench_device_idle [IDLE_SECONDS [SERVER_PID]]   (default 60 s)

#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/timing.h"
#include "engine/tone_control.h"
#include "onset_stream.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "platform/system_clock.h"
#include "sound/device/portaudio_output.h"
#include "sound/device/portaudio_stream.h"
#include "sound/tonwerk.h"
#include "state/shared_state.h"
#include "trainer_window.h"

namespace {
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

// Processor seconds of another process so far (user + system), -1 when unknown.
double processCpuSeconds(int pid) {
    if (pid <= 0) return -1;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return -1;
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    double ticks = 0;
    for (int i = 3; i <= 15; ++i) {
        fields >> field;
        if (i >= 14) ticks += std::stod(field);
    }
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

void waitSeconds(Clock& clock, double seconds) {
    const double until = clock.monotonicSeconds() + seconds;
    while (clock.monotonicSeconds() < until) clock.waitForEvents(until - clock.monotonicSeconds());
}
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int idleSeconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    const int serverPid = argc > 2 ? std::atoi(argv[2]) : 0;

    SystemClock clock;
    auto device = PortAudioStream::OpenDefault();
    if (!device) {
        std::printf("no sound device: nothing to measure\n");
        return 1;
    }
    auto onsetOwned = std::make_unique<OnsetStream>(std::move(device));
    OnsetStream& onsets = *onsetOwned;
    auto output = PortAudioOutput::OnStream(clock, std::move(onsetOwned));
    if (!output) {
        std::printf("the sound device did not open\n");
        return 1;
    }
    Tonwerk tonwerk(*output, clock);
    TrainerWindow trainer(clock, tonwerk);
    ComputeTiming();

    waitSeconds(clock, 1.0);
    PlayCharacter(QStringLiteral("E"));
    const double soundedAt = clock.monotonicSeconds();
    while (output->streaming() && clock.monotonicSeconds() - soundedAt < 5)
        clock.waitForEvents(0.05);
    std::printf("stream stopped %.2f s after the last sound: %s\n",
                clock.monotonicSeconds() - soundedAt, output->streaming() ? "NO" : "yes");

    const double cpuStart = cpuSeconds();
    const double serverStart = processCpuSeconds(serverPid);
    const double wallStart = clock.monotonicSeconds();
    waitSeconds(clock, idleSeconds);
    const double wall = clock.monotonicSeconds() - wallStart;
    const double cpu = cpuSeconds() - cpuStart;
    std::printf("idle window: trainer %.3f s processor time in %.1f s = %.4f %% of one core\n", cpu,
                wall, 100.0 * cpu / wall);
    if (serverStart >= 0) {
        const double server = processCpuSeconds(serverPid) - serverStart;
        std::printf("             sound server %.3f s = %.4f %% of one core; together %.4f %%\n",
                    server, 100.0 * server / wall, 100.0 * (cpu + server) / wall);
    }

    std::vector<double> rendered;
    for (int i = 0; i < 10; ++i) {
        const int before = onsets.onsetCount();
        const double queuedMs = OnsetStream::NowMs();
        PlayCharacter(QStringLiteral("E"));
        if (onsets.onsetCount() > before) rendered.push_back(onsets.onsetMs(before) - queuedMs);
        const double endedAt = clock.monotonicSeconds();
        while (output->streaming() && clock.monotonicSeconds() - endedAt < 5)
            clock.waitForEvents(0.05);
    }
    std::sort(rendered.begin(), rendered.end());
    const double latencyMs = output->latencySeconds() * 1000;
    if (!rendered.empty()) {
        std::printf(
            "after idle, sound queued -> first sample rendered: min %.1f median %.1f max %.1f ms "
            "(n=%zu); output latency %.1f ms; so heard after about %.1f ms (median), at most "
            "%.1f ms\n",
            rendered.front(), rendered[rendered.size() / 2], rendered.back(), rendered.size(),
            latencyMs, rendered[rendered.size() / 2] + latencyMs, rendered.back() + latencyMs);
    }
    std::printf("underruns %llu, stalls %d\n", static_cast<unsigned long long>(output->underruns()),
                output->stalls());
    form1().Timer_Uhrzeit.setTimerEnabled(false);
    std::fflush(stdout);
    std::_Exit(0);
}

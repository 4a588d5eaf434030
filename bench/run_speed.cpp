// A whole 12-group run of the default exercise in real time on the silent output: the measured
// speed against the rate that follows from the element durations, and the CPU it costs.
#include <sys/resource.h>

#include <QCoreApplication>
#include <cstdio>

#include "engine/morse_table.h"
#include "engine/timing.h"
#include "mainwindow/startup.h"
#include "mainwindow/wiring.h"
#include "platform/form1.h"
#include "platform/recording_surface.h"
#include "platform/services.h"
#include "platform/system_clock.h"
#include "sound/clocked_output.h"
#include "sound/tonwerk.h"
#include "state/shared_state.h"

namespace {
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

double expectedSeconds(const QString& text) {
    const SharedState& s = S();
    double ms = 0, words = 0;
    for (QChar c : text) {
        if (c == u' ') {
            words += s.WordGap;
            continue;
        }
        for (QChar symbol : s.MorseTable[MorseIndex(c)])
            ms += (symbol == u'-' ? s.DashMs : s.DotMs) + s.DotMs;
        ms += s.CharGap + s.DotMs;
    }
    return ms / 1000.0 + words;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SystemClock clock;
    ClockedOutput output(clock, 48000);
    Tonwerk tonwerk(output, clock);
    RecordingSurface surface;
    Services& p = Platform();
    p.clock = &clock;
    p.tonwerk = &tonwerk;
    p.surface = &surface;
    p.exitProgram = [] {};
    WireForm1();
    Form_Initialize();
    Form_Load();
    Form_Activate();

    const double wallStart = clock.monotonicSeconds();
    const double cpuStart = cpuSeconds();
    form1().Comstart.click();
    const double wall = clock.monotonicSeconds() - wallStart;
    const double cpu = cpuSeconds() - cpuStart;

    const SharedState& s = S();
    const double ideal = 60.0 * 60.0 / expectedSeconds(s.SentText);
    std::printf("sent characters        %lld (%lld played)\n", (long long)s.SentText.size(),
                (long long)s.PlayedCount - 1);
    std::printf("measured speed         %.3f cpm\n", s.EffectiveSpeed);
    std::printf("speed from durations   %.3f cpm\n", ideal);
    std::printf("difference             %+.3f %%\n", 100.0 * (s.EffectiveSpeed - ideal) / ideal);
    std::printf("run wall time          %.2f s, CPU %.3f s = %.3f %% of one core\n", wall, cpu,
                100.0 * cpu / wall);
    form1().Timer_Uhrzeit.setTimerEnabled(false);
    p.clock = nullptr;
    return 0;
}

// CPU use of the trainer while a long text sounds on the silent real-time output (the stand-in
// for a missing sound card): the real clock, the real waiting, the tone control and the output
// that keeps the device's timing. Prints the share of one core and how far the run's length
// differs from the timing formulas.
//   bench_silent_output_cpu [SECONDS]   (default 20)

#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>

#include "engine/morse_table.h"
#include "engine/timing.h"
#include "engine/tone_control.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "platform/system_clock.h"
#include "sound/clocked_output.h"
#include "sound/tonwerk.h"
#include "state/shared_state.h"

namespace {
double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    SystemClock clock;
    ClockedOutput output(clock, 48000);
    Tonwerk tonwerk(output, clock);
    Platform().clock = &clock;
    Platform().tonwerk = &tonwerk;
    BuildMorseTable();
    SharedState& s = S();
    s.Speed = 100;
    form1().LT.setValue(30);
    ComputeTiming();

    const QString text = QStringLiteral("CQ CQ DE DL1ABC PSE K = UR RST 599 QTH BERLIN ");
    const double frameMs = 1000.0 / 48000;
    double formulaMs = 0;  // what the sent characters last by the formulas
    QElapsedTimer wall;
    wall.start();
    const double cpuStart = CpuSeconds();
    int characters = 0;
    while (wall.nsecsElapsed() / 1e9 < seconds) {
        for (QChar c : text) {
            if (c == u' ') {
                WaitSeconds(s.WordGap);
                formulaMs += s.WordGap * 1000.0;
            } else {
                PlayCharacter(QString(c));
                const QString& pattern = s.MorseTable[MorseIndex(c)];
                for (QChar e : pattern) formulaMs += (e == u'-' ? s.DashMs : s.DotMs) + s.DotMs;
                formulaMs += s.CharGap + s.DotMs;
            }
            ++characters;
        }
    }
    const double wallSeconds = wall.nsecsElapsed() / 1e9;
    const double cpu = CpuSeconds() - cpuStart;
    std::printf(
        "silent real-time output: %d characters in %.2f s, CPU %.3f s = %.2f %% of one "
        "core\n",
        characters, wallSeconds, cpu, 100.0 * cpu / wallSeconds);
    std::printf(
        "run length against the formulas: %+.1f ms over %.1f s (%.0f samples; waking "
        "up after each wait adds a little)\n",
        wallSeconds * 1000 - formulaMs, formulaMs / 1000,
        (wallSeconds * 1000 - formulaMs) / frameMs);
    Platform().clock = nullptr;
    Platform().tonwerk = nullptr;
    return 0;
}

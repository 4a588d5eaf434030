// Runs of the default exercise one after the other, with the real main window and the sound
// device, for a given time (run it under xvfb-run with a sound server; bench/device_bench.sh
// captures the server's output meanwhile and checks it for gaps and clicks). Prints the runs and
// characters sent, the underruns the output counted, its latency and the line the program
// writes at exit.
// With LOG, the stream frames of the device's underflow flags and of every sound's start are
// written there, for finding them in the capture (bench/underflow_places.py).
//   bench_device_long_run [SECONDS [CPM [LOG]]]   (default 600 s at 100 cpm)

#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "platform/form1.h"
#include "platform/services.h"
#include "platform/system_clock.h"
#include "sound/device/portaudio_output.h"
#include "sound/device/portaudio_stream.h"
#include "sound/tonwerk.h"
#include "state/shared_state.h"
#include "trainer_window.h"
#include "underflow_log.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 600;
    const int cpm = argc > 2 ? std::atoi(argv[2]) : 100;

    const char* logPath = argc > 3 ? argv[3] : nullptr;

    SystemClock clock;
    auto stream = PortAudioStream::OpenDefault();
    if (!stream) {
        std::printf("no sound device: nothing to measure\n");
        return 1;
    }
    auto logged = std::make_unique<UnderflowLog>(std::move(stream));
    UnderflowLog* log = logged.get();
    auto output = PortAudioOutput::OnStream(clock, std::move(logged));
    if (!output) {
        std::printf("no sound device: nothing to measure\n");
        return 1;
    }
    Tonwerk tonwerk(*output, clock);
    TrainerWindow trainer(clock, tonwerk);
    form1().UpDownGesch.setValue(cpm);

    const double start = clock.monotonicSeconds();
    int runs = 0;
    long long characters = 0;
    while (clock.monotonicSeconds() - start < seconds) {
        form1().Comstart.click();
        ++runs;
        characters += S().SentText.size();
        clock.waitForEvents(1.0);
    }
    const double wall = clock.monotonicSeconds() - start;
    std::printf("%d runs at %.0f cpm (effective %.1f), %lld characters in %.1f s\n", runs,
                S().Speed, S().EffectiveSpeed, characters, wall);
    std::printf(
        "output latency %.1f ms; device underflows %llu; sounds queued too late %llu; "
        "stalls %d\n",
        output->latencySeconds() * 1000,
        static_cast<unsigned long long>(output->deviceUnderflows()),
        static_cast<unsigned long long>(output->lateSounds()), output->stalls());
    if (logPath) {
        if (std::FILE* out = std::fopen(logPath, "w")) {
            log->write(out);
            std::fclose(out);
        }
    }
    const std::string report = output->underrunReport();
    std::printf("exit line: %s\n", report.empty() ? "(none: no underruns)" : report.c_str());
    form1().Timer_Uhrzeit.setTimerEnabled(false);
    std::fflush(stdout);
    std::_Exit(0);
}

// Keyboard mode: how long a typed key takes to reach the sound output. A helper thread posts
// key events to the answer box of the real main window, as the window system would deliver
// them; the figures are the time from the posted event, and from the window's key handler, to
// the tone being handed to the sound output (where its first sample is queued).

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "drills/keyboard_modes.h"
#include "mainwindow/startup.h"
#include "mainwindow/ui/main_window.h"
#include "mainwindow/wiring.h"
#include "onset_stream.h"
#include "platform/form1.h"
#include "platform/recording_dialog_seam.h"
#include "platform/recording_print_layer.h"
#include "platform/services.h"
#include "platform/system_clock.h"
#include "sound/device/portaudio_output.h"
#include "sound/device/portaudio_stream.h"
#include "sound/device/sound_device.h"
#include "sound/sound_output.h"
#include "sound/tonwerk.h"
#include "state/shared_state.h"

namespace {
constexpr int kKeys = 100;
constexpr auto kKeyGap = std::chrono::milliseconds(250);  // 'E' at 200 cpm sounds 139 ms
constexpr float kSpeedCpm = 200;

double nowMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Passes everything on to the real output and notes when each character's tones were handed
// over.
class TimestampingOutput : public SoundOutput {
public:
    explicit TimestampingOutput(SoundOutput& inner) : inner_(inner) {}
    int sampleRate() const override { return inner_.sampleRate(); }
    void queueTones(const std::vector<ToneSegment>& tones) override {
        inner_.queueTones(tones);
        queuedAtMs.push_back(nowMs());
    }
    void queuePcm(PcmBuffer samples) override { inner_.queuePcm(std::move(samples)); }
    bool idle() override { return inner_.idle(); }
    double secondsQueued() override { return inner_.secondsQueued(); }
    double heardEndSeconds() override { return inner_.heardEndSeconds(); }
    void stop() override { inner_.stop(); }
    uint64_t deviceUnderflows() const override { return inner_.deviceUnderflows(); }
    uint64_t lateSounds() const override { return inner_.lateSounds(); }
    void setNeed(SoundNeed need) override { inner_.setNeed(need); }
    SoundNeed need() const override { return inner_.need(); }

    std::vector<double> queuedAtMs;

private:
    SoundOutput& inner_;
};

void report(const char* what, std::vector<double> ms) {
    if (ms.empty()) {
        std::printf("%-34s no samples\n", what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    auto at = [&](double q) { return ms[static_cast<size_t>(q * (ms.size() - 1))]; };
    std::printf("%-34s min %7.3f  median %7.3f  p95 %7.3f  max %7.3f ms  (n=%zu)\n", what,
                ms.front(), at(0.5), at(0.95), ms.back(), ms.size());
}
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SystemClock clock;
    // The device through a stream that notes when each sound begins to be rendered.
    std::unique_ptr<SoundOutput> device;
    OnsetStream* onsets = nullptr;
    if (auto stream = PortAudioStream::OpenDefault()) {
        auto timed = std::make_unique<OnsetStream>(std::move(stream));
        onsets = timed.get();
        device = PortAudioOutput::OnStream(clock, std::move(timed));
    }
    if (!device) device = OpenSoundOutput(clock);
    auto* portAudio = dynamic_cast<PortAudioOutput*>(device.get());
    TimestampingOutput output(*device);
    Tonwerk tonwerk(output, clock);
    RecordingPrintLayer printer;
    RecordingDialogSeam dialogs;
    Services& p = Platform();
    p.clock = &clock;
    p.tonwerk = &tonwerk;
    p.printer = &printer;
    p.dialogs = &dialogs;
    p.exitProgram = [] {};

    MainWindow window(form1());
    p.surface = &window.surface();
    WireForm1();
    std::vector<double> handlerAtMs;
    handlerAtMs.reserve(kKeys);
    form1().onKeyPress = [&handlerAtMs](int& code) {
        handlerAtMs.push_back(nowMs());
        Form_KeyPress(code);
    };
    Form_Initialize();
    Form_Load();
    Form_Activate();
    window.activateWindow();
    for (int i = 0; i < 200 && !window.isActiveWindow(); ++i) clock.waitForEvents(0.01);

    S().Speed = kSpeedCpm;
    QWidget* answerBox = window.findChild<QWidget*>(QStringLiteral("Text2"));
    // The first key event creates the keyboard device object, which must belong to this thread.
    QKeyEvent(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, QStringLiteral("e"));
    std::vector<double> postedAtMs(kKeys, 0.0);
    std::atomic<bool> keyboardModeOn{false};

    // Keys typed while the heading is shown are not Morse yet: typing starts once the mode
    // takes keys, as a learner starts after the heading.
    QTimer ready;
    QObject::connect(&ready, &QTimer::timeout, [&] {
        if (S().KeyboardMode) keyboardModeOn = true;
    });
    ready.start(10);
    QTimer::singleShot(0, &app, [&] {
        form1().Com_Tastatur.click();
        QCoreApplication::exit(0);
    });
    std::thread typist([&] {
        while (!keyboardModeOn) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        for (int i = 0; i < kKeys; ++i) {
            postedAtMs[i] = nowMs();
            QCoreApplication::postEvent(
                answerBox,
                new QKeyEvent(QEvent::KeyPress, Qt::Key_E, Qt::NoModifier, QStringLiteral("e")));
            std::this_thread::sleep_for(kKeyGap);
        }
        QMetaObject::invokeMethod(
            &app, [] { form1().C_Hoeren.click(); }, Qt::QueuedConnection);
    });
    app.exec();
    typist.join();

    std::printf("keyboard mode, %d keys 'e' at %.0f cpm, window %s, sound output: %s\n", kKeys,
                kSpeedCpm, window.isActiveWindow() ? "active" : "NOT active",
                portAudio ? "PortAudio device" : "silent clocked output (no sound device)");
    const size_t n = std::min({output.queuedAtMs.size(), handlerAtMs.size(), postedAtMs.size()});
    if (output.queuedAtMs.size() != static_cast<size_t>(kKeys))
        std::printf("warning: %zu keys sounded of %d\n", output.queuedAtMs.size(), kKeys);
    std::vector<double> fromEvent, fromHandler;
    for (size_t i = 0; i < n; ++i) {
        fromEvent.push_back(output.queuedAtMs[i] - postedAtMs[i]);
        fromHandler.push_back(output.queuedAtMs[i] - handlerAtMs[i]);
    }
    report("key event posted -> tone queued", fromEvent);
    report("key handler entered -> tone queued", fromHandler);
    if (portAudio && onsets) {
        std::vector<double> rendered;
        int k = 0;
        for (int i = 0; i < onsets->onsetCount() && k < kKeys; ++i) {
            if (postedAtMs[k] <= 0 || onsets->onsetMs(i) < postedAtMs[k]) continue;
            rendered.push_back(onsets->onsetMs(i) - postedAtMs[k]);
            ++k;
        }
        report("key event posted -> first sample", rendered);
        for (double& ms : rendered) ms += portAudio->grantedLatencySeconds(true) * 1000.0;
        report("key event -> heard (+ latency)", rendered);
    }
    if (portAudio) {
        const double deviceMs = portAudio->grantedLatencySeconds(true) * 1000.0;
        std::printf("device output latency in keyboard mode (PortAudio) %.3f ms; underruns %llu\n",
                    deviceMs, static_cast<unsigned long long>(device->underruns()));
    } else {
        std::printf("no sound device: the tone's first sample is due at the moment it is queued\n");
    }
    // Like the program's exit button: the process ends at once, before the window's models
    // (whose timers live on this clock) are torn down.
    std::fflush(stdout);
    std::_Exit(0);
}

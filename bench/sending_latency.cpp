// Sending practice: how long a key contact takes to be heard. The window "Geben üben" runs with
// the real sound device (a private PulseAudio server's null sink when started from
// sending_bench.sh) and the straight-key mode; contacts come from the keyboard (key events with
// the left Ctrl key's scan code, posted to the window as the window system would deliver them)
// and from a simulated serial port (the modem-line seam, changed by a helper thread). Figures:
// contact -> first sample rendered in the sound callback, and contact -> onset recorded from
// the sink's monitor by parec (which adds the recorder's own delay, so it is an upper bound).

#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QStandardPaths>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "keyinput/modem_lines.h"
#include "onset_stream.h"
#include "platform/deadline_worker.h"
#include "platform/system_clock.h"
#include "sending/ui/sending_window.h"
#include "sound/device/portaudio_output.h"
#include "sound/device/portaudio_stream.h"

namespace {
constexpr int kContacts = 60;
constexpr auto kHold = std::chrono::milliseconds(60);
constexpr auto kGap = std::chrono::milliseconds(240);

double NowMs() { return OnsetStream::NowMs(); }

// A serial port whose CTS line the bench closes and opens.
class BenchLines : public ModemLines {
public:
    void set(int lines) {
        std::lock_guard lock(mutex_);
        lines_ = lines;
        changed_ = true;
        wake_.notify_all();
    }
    int open(const std::string&) override { return 0; }
    int raiseSupply() override { return 0; }
    int waitForChange() override {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] { return changed_ || interrupted_; });
        if (interrupted_) {
            interrupted_ = false;
            return EINTR;
        }
        changed_ = false;
        return 0;
    }
    int read(int& lines) override {
        std::lock_guard lock(mutex_);
        lines = lines_;
        return 0;
    }
    void interrupt() override {
        std::lock_guard lock(mutex_);
        interrupted_ = true;
        wake_.notify_all();
    }
    void close() override {}
    int64_t nowUs() override { return MonotonicMicros(); }

private:
    std::mutex mutex_;
    std::condition_variable wake_;
    int lines_ = 0;
    bool changed_ = false;
    bool interrupted_ = false;
};

// Onsets on the sink's monitor as parec delivers them, in steady-clock milliseconds.
class MonitorRecorder {
public:
    bool start() {
        pipe_ = popen(
            "parec --raw --format=s16le --rate=48000 --channels=1 --latency-msec=2 "
            "-d @DEFAULT_MONITOR@ 2>/dev/null",
            "r");
        if (!pipe_) return false;
        thread_ = std::thread([this] { run(); });
        return true;
    }
    void stop() {
        quit_ = true;
        if (thread_.joinable()) thread_.join();
        if (pipe_) pclose(pipe_);
    }
    std::vector<double> onsets() {
        std::lock_guard lock(mutex_);
        return onsets_;
    }

private:
    void run() {
        int16_t buffer[256];
        long silent = 0;
        while (!quit_) {
            const ssize_t bytes = ::read(fileno(pipe_), buffer, sizeof buffer);
            const double at = NowMs();
            if (bytes <= 0) break;
            const long n = bytes / 2;
            for (long i = 0; i < n; ++i) {
                if (std::abs(buffer[i]) < 200) {
                    ++silent;
                    continue;
                }
                if (silent >= 48000 / 50) {
                    std::lock_guard lock(mutex_);
                    // The sample came (n - i) samples before the end of the chunk just read.
                    onsets_.push_back(at - (n - i) * 1000.0 / 48000);
                }
                silent = 0;
            }
        }
    }

    FILE* pipe_ = nullptr;
    std::thread thread_;
    std::atomic<bool> quit_{false};
    std::mutex mutex_;
    std::vector<double> onsets_;
};

void Report(const char* what, std::vector<double> ms) {
    if (ms.empty()) {
        std::printf("%-44s no samples\n", what);
        return;
    }
    std::sort(ms.begin(), ms.end());
    auto at = [&](double q) { return ms[static_cast<size_t>(q * (ms.size() - 1))]; };
    std::printf("%-44s min %6.2f  median %6.2f  p95 %6.2f  max %6.2f ms  (n=%zu)\n", what,
                ms.front(), at(0.5), at(0.95), ms.back(), ms.size());
}

// For each contact the first onset after it (and before the next contact).
std::vector<double> Delays(const std::vector<double>& contacts, const std::vector<double>& onsets) {
    std::vector<double> delays;
    for (size_t i = 0; i < contacts.size(); ++i) {
        const double next = i + 1 < contacts.size() ? contacts[i + 1] : 1e300;
        for (double o : onsets) {
            if (o >= contacts[i] && o < next) {
                delays.push_back(o - contacts[i]);
                break;
            }
        }
    }
    return delays;
}
}  // namespace

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);  // the bench's choices are not the user's
    if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SystemClock clock;
    auto stream = PortAudioStream::OpenDefault();
    if (!stream) {
        std::puts("no sound device");
        return 1;
    }
    auto timed = std::make_unique<OnsetStream>(std::move(stream));
    OnsetStream* onsets = timed.get();
    auto device = PortAudioOutput::OnStream(clock, std::move(timed));
    if (!device) {
        std::puts("the sound device does not open");
        return 1;
    }
    MonitorRecorder recorder;
    const bool recording = recorder.start();

    BenchLines* lines = nullptr;
    SendingWindowServices services;
    services.output = device.get();
    services.sidetone = &device->sidetone();
    services.timing = [](int weight) { return KeyerTiming::FromMs(60, 180, weight); };
    services.pitchHz = [] { return 700.0; };
    services.serialPorts = [] {
        return std::vector<SerialPortEntry>{{QStringLiteral("/dev/bench"), QString()}};
    };
    services.modemLines = [&lines] {
        auto l = std::make_unique<BenchLines>();
        lines = l.get();
        return l;
    };
    SendingWindow window(std::move(services));
    window.findChild<QComboBox*>(QStringLiteral("Keyer"))->setCurrentIndex(0);
    window.findChild<QComboBox*>(QStringLiteral("Eingabe"))->setCurrentIndex(0);
    window.show();
    window.activateWindow();
    for (int i = 0; i < 200 && !window.isActiveWindow(); ++i) clock.waitForEvents(0.01);
    QWidget* target = window.findChild<QComboBox*>(QStringLiteral("Eingabe"));
    target->setFocus();

    std::vector<double> keyboardAt, serialAt;
    std::atomic<int> phase{0};
    std::thread keyer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        for (int i = 0; i < kContacts; ++i) {
            keyboardAt.push_back(NowMs());
            QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Control,
                                                              Qt::ControlModifier, 37, 0, 0));
            std::this_thread::sleep_for(kHold);
            QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Control,
                                                              Qt::NoModifier, 37, 0, 0));
            std::this_thread::sleep_for(kGap);
        }
        // Switch to the serial key on the window thread, then key through its lines.
        QMetaObject::invokeMethod(&app, [&] {
            auto* ports = window.findChild<QComboBox*>(QStringLiteral("Anschluss"));
            window.findChild<QComboBox*>(QStringLiteral("Eingabe"))->setCurrentIndex(2);
            emit ports->activated(0);
            phase = 1;
        });
        while (phase != 1) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        for (int i = 0; i < kContacts && lines; ++i) {
            serialAt.push_back(NowMs());
            lines->set(ModemLines::kCts);
            std::this_thread::sleep_for(kHold);
            lines->set(0);
            std::this_thread::sleep_for(kGap);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        QMetaObject::invokeMethod(&app, [] { QCoreApplication::exit(0); });
    });
    app.exec();
    keyer.join();
    recorder.stop();

    std::vector<double> rendered;
    for (int i = 0; i < onsets->onsetCount(); ++i) rendered.push_back(onsets->onsetMs(i));
    std::printf(
        "sending practice, straight key, %d contacts each; window %s; device latency "
        "%.1f ms; underruns %llu\n",
        kContacts, window.isActiveWindow() ? "active" : "NOT active",
        device->latencySeconds() * 1000.0, static_cast<unsigned long long>(device->underruns()));
    Report("keyboard: contact -> first sample rendered", Delays(keyboardAt, rendered));
    Report("serial:   contact -> first sample rendered", Delays(serialAt, rendered));
    if (recording) {
        const auto heard = recorder.onsets();
        Report("keyboard: contact -> onset on the monitor", Delays(keyboardAt, heard));
        Report("serial:   contact -> onset on the monitor", Delays(serialAt, heard));
    } else {
        std::puts("parec not available: no monitor figures");
    }
    std::fflush(stdout);
    std::_Exit(0);
}

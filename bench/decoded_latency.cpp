// Sending practice: how long after the end of a character gap the character read is on the
// screen. The window "Geben üben" runs with the straight key; a helper thread posts key events
// with the left Ctrl key's scan code as the window system would (a 60 ms mark, then 200 ms of
// silence: each an "E", a character gap but no word gap at 60 ms dots). The gap ends
// 1.7 tracked dots after the mark (the decoder's border between element and character gaps);
// the moment counted is when the read text has changed and the text field has painted it.

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "platform/deadline_worker.h"
#include "platform/system_clock.h"
#include "sending/fist_decoder.h"
#include "sending/sending_practice.h"
#include "sending/ui/sending_window.h"

namespace {
constexpr int kCharacters = 120;
constexpr auto kHold = std::chrono::milliseconds(60);
constexpr auto kGap = std::chrono::milliseconds(200);

int Keyed(const QString& text) {
    int n = 0;
    for (QChar c : text)
        if (!c.isSpace()) ++n;
    return n;
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5))];
}
}  // namespace

int main(int argc, char** argv) {
    QStandardPaths::setTestModeEnabled(true);  // the bench's choices are not the user's
    if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SystemClock clock;
    SendingWindowServices services;
    services.timing = [](int weight) { return KeyerTiming::FromMs(60, 180, weight); };
    services.pitchHz = [] { return 700.0; };
    SendingWindow window(std::move(services));
    window.findChild<QComboBox*>(QStringLiteral("Keyer"))->setCurrentIndex(0);
    window.findChild<QComboBox*>(QStringLiteral("Eingabe"))->setCurrentIndex(0);
    window.findChild<QComboBox*>(QStringLiteral("Uebungsart"))->setCurrentIndex(0);
    window.show();
    window.activateWindow();
    for (int i = 0; i < 200 && !window.isActiveWindow(); ++i) clock.waitForEvents(0.01);
    QWidget* target = window.findChild<QComboBox*>(QStringLiteral("Eingabe"));
    target->setFocus();
    auto* decoded = window.findChild<QPlainTextEdit*>(QStringLiteral("Gelesen"));

    std::vector<double> delaysMs;
    int seen = 0;
    QObject::connect(decoded, &QPlainTextEdit::textChanged, decoded, [&] {
        const int now = Keyed(decoded->toPlainText());
        if (now <= seen || !window.practice()) {
            seen = now;
            return;
        }
        seen = now;
        decoded->viewport()->repaint();
        const int64_t shownUs = MonotonicMicros();
        const auto& elements = window.elements();
        const auto mark = std::find_if(elements.rbegin(), elements.rend(),
                                       [](const KeyedElement& e) { return e.mark; });
        if (mark == elements.rend()) return;
        const double gapEndUs =
            mark->atUs + mark->durationMs * 1000.0 +
            FistDecoder::kCharGapDots * window.practice()->trackedDotMs() * 1000.0;
        delaysMs.push_back((shownUs - gapEndUs) / 1000.0);
    });

    std::thread keyer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        for (int i = 0; i < kCharacters; ++i) {
            QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Control,
                                                              Qt::ControlModifier, 37, 0, 0));
            std::this_thread::sleep_for(kHold);
            QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Control,
                                                              Qt::NoModifier, 37, 0, 0));
            std::this_thread::sleep_for(kGap);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        QMetaObject::invokeMethod(&app, [] { QCoreApplication::exit(0); });
    });
    app.exec();
    keyer.join();

    std::printf(
        "decoded character on screen after the end of its character gap, %d characters "
        "keyed, %zu measured; window %s\n",
        kCharacters, delaysMs.size(), window.isActiveWindow() ? "active" : "NOT active");
    std::printf("  median %.2f ms, 95th percentile %.2f ms, largest %.2f ms, smallest %.2f ms\n",
                Percentile(delaysMs, 0.5), Percentile(delaysMs, 0.95), Percentile(delaysMs, 1.0),
                Percentile(delaysMs, 0.0));
    std::fflush(stdout);
    std::_Exit(0);
}

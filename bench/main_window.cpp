// The main window: how long the program takes from its start to a painted window, and how much
// processor time the idle window takes afterwards (the clock label ticking once a second).
// Run it on a real display (or under xvfb-run) from a folder with the data files.
//   bench_main_window [idle seconds, default 30]

#include "mainwindow/ui/main_window.h"

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "mainwindow/startup.h"
#include "mainwindow/ui/trainer_dialog_seam.h"
#include "mainwindow/wiring.h"
#include "platform/form1.h"
#include "platform/services.h"
#include "platform/system_clock.h"
#include "platform/ui/qt_print_layer.h"
#include "sound/clocked_output.h"
#include "sound/tonwerk.h"

namespace {

// Milliseconds from the kernel's start of this process to now (10 ms resolution).
double sinceProcessStartMs() {
    std::ifstream stat("/proc/self/stat");
    std::string line;
    std::getline(stat, line);
    // Field 22 (starttime) counts from the closing parenthesis of the command name.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i) fields >> field;
    const double startS = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return (now.tv_sec + now.tv_nsec / 1e9 - startS) * 1000.0;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

// Notes the first paint of the window's client area.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QElapsedTimer& timer) : timer_(timer) {}
    double ms = -1;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && ms < 0) {
            // Measured once the paint has been handled and the frame handed to the display.
            QTimer::singleShot(0, this, [this] { ms = timer_.nsecsElapsed() / 1e6; });
        }
        return false;
    }

private:
    QElapsedTimer& timer_;
};

}  // namespace

int main(int argc, char** argv) {
    const double beforeMainMs = sinceProcessStartMs();
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    const double appMs = sinceMain.nsecsElapsed() / 1e6;
    const int idleSeconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;

    SystemClock clock;
    ClockedOutput output(clock, 48000);
    Tonwerk tonwerk(output, clock);
    Services& p = Platform();
    p.clock = &clock;
    p.tonwerk = &tonwerk;
    p.installedDataDir = QStringLiteral(TRAINER_DATA_DIR);
    QtPrintLayer printer(QDir::tempPath());
    TrainerDialogSeam dialogs;
    p.printer = &printer;
    p.dialogs = &dialogs;
    p.exitProgram = [] { QCoreApplication::quit(); };
    const double servicesMs = sinceMain.nsecsElapsed() / 1e6;

    MainWindow window(form1());
    p.surface = &window.surface();
    FirstPaint firstPaint(sinceMain);
    window.centralWidget()->installEventFilter(&firstPaint);
    const double windowMs = sinceMain.nsecsElapsed() / 1e6;
    WireForm1();
    Form_Initialize();
    Form_Load();
    const double loadMs = sinceMain.nsecsElapsed() / 1e6;
    Form_Activate();

    // Settle for a second after the first paint, then measure the idle window.
    double cpuStart = 0, idleStartMs = 0;
    QTimer settle;
    settle.setSingleShot(true);
    QObject::connect(&settle, &QTimer::timeout, [&] {
        cpuStart = cpuSeconds();
        idleStartMs = sinceMain.nsecsElapsed() / 1e6;
        QTimer::singleShot(idleSeconds * 1000, &app, &QCoreApplication::quit);
    });
    settle.start(1000);
    app.exec();
    const double cpu = cpuSeconds() - cpuStart;
    const double idleMs = sinceMain.nsecsElapsed() / 1e6 - idleStartMs;
    // The window's timers outlive this function; they must not reach for the clock on the way
    // out.
    p.clock = nullptr;

    std::printf("process start to main():            %8.1f ms\n", beforeMainMs);
    std::printf("main() to QApplication ready:       %8.1f ms\n", appMs);
    std::printf("main() to platform services ready:  %8.1f ms\n", servicesMs);
    std::printf("main() to window built:             %8.1f ms\n", windowMs);
    std::printf("main() to Form_Load done (shown):   %8.1f ms\n", loadMs);
    std::printf("main() to first paint:              %8.1f ms\n", firstPaint.ms);
    std::printf("process start to first paint:       %8.1f ms\n", beforeMainMs + firstPaint.ms);
    std::printf("idle window: %.3f s processor time in %.1f s = %.3f %% of one core\n", cpu,
                idleMs / 1000.0, 100.0 * cpu / (idleMs / 1000.0));
    return 0;
}

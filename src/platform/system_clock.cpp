#include "platform/system_clock.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <cmath>

SystemClock::SystemClock() { monotonic_.start(); }

SystemClock::~SystemClock() { qDeleteAll(timers_); }

double SystemClock::secondsSinceMidnight() {
    const QTime t = QTime::currentTime();
    return t.msecsSinceStartOfDay() / 1000.0;
}

QDateTime SystemClock::now() { return QDateTime::currentDateTime(); }

double SystemClock::monotonicSeconds() { return monotonic_.nsecsElapsed() / 1e9; }

void SystemClock::processEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void SystemClock::waitForEvents(double maxSeconds) {
    auto* dispatcher = QAbstractEventDispatcher::instance();
    if (!dispatcher) {
        if (maxSeconds > 0) QThread::usleep(static_cast<unsigned long>(maxSeconds * 1e6));
        return;
    }
    // A single-shot timer wakes the dispatcher at the deadline, so the thread sleeps in the
    // dispatcher instead of spinning.
    QTimer wake;
    if (maxSeconds >= 0) {
        wake.setSingleShot(true);
        wake.setTimerType(Qt::PreciseTimer);
        wake.start(static_cast<int>(std::ceil(maxSeconds * 1000.0)));
    }
    QCoreApplication::sendPostedEvents();
    dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void SystemClock::sleepUntil(double deadline) {
    const double rest = deadline - monotonicSeconds();
    if (rest > 0) QThread::usleep(static_cast<unsigned long>(rest * 1e6));
}

int SystemClock::startTimer(int intervalMs, std::function<void()> callback) {
    auto* timer = new QTimer;
    timer->setInterval(intervalMs);
    QObject::connect(timer, &QTimer::timeout, timer, std::move(callback));
    timer->start();
    const int handle = nextHandle_++;
    timers_.insert(handle, timer);
    return handle;
}

void SystemClock::stopTimer(int handle) {
    if (QTimer* timer = timers_.take(handle)) {
        timer->stop();
        timer->deleteLater();
    }
}

void SystemClock::post(std::function<void()> action) {
    QTimer::singleShot(0, QCoreApplication::instance(), std::move(action));
}

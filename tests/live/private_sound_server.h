#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// A PulseAudio server of the test's own: a null sink in a temporary runtime folder, reached
// through a socket there, with ALSA's default device pointed at it, so that the trainer's
// device output (PortAudio, ALSA, the pulse plugin) plays into it. The environment of this
// process is set up for it before the first device is opened.
class PrivateSoundServer {
public:
    PrivateSoundServer();
    ~PrivateSoundServer();

    // Starts the server and waits until it answers; false with `problem` set when it does not.
    bool start(QString* problem);
    QString sinkMonitor() const { return QStringLiteral("live.monitor"); }
    QString folder() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QProcess server_;
};

// Records a source of the server with parec, timing every piece as it arrives on the
// monotonic clock, so that a sample of the capture can be given the moment it was played.
class MonitorCapture {
public:
    static constexpr int kRate = 48000;

    // Starts recording `source`; false when parec cannot be started.
    bool start(const QString& source);
    // Stops recording and returns what was captured.
    void stop();
    ~MonitorCapture();

    // Everything captured so far (mono, 16 bit).
    std::vector<int16_t> samples();
    // Monotonic seconds (std::chrono::steady_clock) at which capture sample 0 was played: the
    // earliest arrival of any piece, less the samples before its end. A piece never arrives
    // before its samples have been played, so the piece that came quickest bounds the
    // capture's own latency.
    double sampleZeroSteadySeconds();

private:
    void read();

    int pid_ = -1;
    int fd_ = -1;
    std::thread reader_;
    std::mutex mutex_;
    std::vector<int16_t> samples_;
    double zero_ = 1e300;
    std::atomic<bool> stopping_{false};
};

// Seconds on std::chrono::steady_clock now.
double SteadySeconds();

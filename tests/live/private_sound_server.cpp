#include "live/private_sound_server.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <chrono>
#include <csignal>
#include <cstring>

extern char** environ;

double SteadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

namespace {
bool writeFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

bool pulsePluginInstalled() {
    const QDir lib(QStringLiteral("/usr/lib"));
    for (const QString& arch : lib.entryList({QStringLiteral("*-linux-gnu")}, QDir::Dirs)) {
        if (QFile::exists(
                lib.filePath(arch + QStringLiteral("/alsa-lib/libasound_module_pcm_pulse.so"))))
            return true;
    }
    return false;
}

// The server answers once pactl reaches it.
bool answers() {
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
    return pactl.waitForFinished(3000) && pactl.exitStatus() == QProcess::NormalExit &&
           pactl.exitCode() == 0;
}
}  // namespace

PrivateSoundServer::PrivateSoundServer() { dir_.setAutoRemove(true); }

PrivateSoundServer::~PrivateSoundServer() {
    if (server_.state() == QProcess::NotRunning) return;
    server_.terminate();
    if (!server_.waitForFinished(3000)) {
        server_.kill();
        server_.waitForFinished(3000);
    }
}

bool PrivateSoundServer::start(QString* problem) {
    const QString needs = QStringLiteral(
        " (./trainer.sh installs pulseaudio, pulseaudio-utils and libasound2-plugins)");
    for (const char* tool : {"pulseaudio", "pactl", "parec"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
            *problem = QStringLiteral("%1 is not installed").arg(QLatin1String(tool)) + needs;
            return false;
        }
    }
    if (!pulsePluginInstalled()) {
        *problem = QStringLiteral("the ALSA pulse plugin is missing") + needs;
        return false;
    }
    if (!dir_.isValid()) {
        *problem = QStringLiteral("no temporary folder for the sound server");
        return false;
    }
    const QString root = dir_.path();
    const QString run = root + QStringLiteral("/run");
    const QString home = root + QStringLiteral("/home");
    const QString socket = run + QStringLiteral("/native");
    for (const QString& sub :
         {run, home + QStringLiteral("/.config/pulse"), root + QStringLiteral("/state")}) {
        QDir().mkpath(sub);
    }
    // Only this server: no autospawned one, and ALSA's default device is the pulse plugin even
    // where the system's configuration would choose a sound card.
    if (!writeFile(home + QStringLiteral("/.config/pulse/client.conf"), "autospawn = no\n") ||
        !writeFile(home + QStringLiteral("/.asoundrc"),
                   "pcm.!default { type pulse }\nctl.!default { type pulse }\n")) {
        *problem = QStringLiteral("cannot write the sound server's files in ") + root;
        return false;
    }
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", run.toUtf8());
    qputenv("PULSE_RUNTIME_PATH", run.toUtf8());
    qputenv("PULSE_STATE_PATH", (root + QStringLiteral("/state")).toUtf8());
    qunsetenv("PULSE_SERVER");
    qunsetenv("ALSA_CONFIG_PATH");

    // As root a per-user server runs only in the foreground; it must never exit on idle.
    server_.setProcessChannelMode(QProcess::MergedChannels);
    server_.setStandardOutputFile(root + QStringLiteral("/server.log"));
    server_.start(
        QStringLiteral("pulseaudio"),
        {QStringLiteral("-n"), QStringLiteral("--daemonize=no"), QStringLiteral("--system=no"),
         QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
         QStringLiteral("--realtime=no"), QStringLiteral("--high-priority=no"),
         QStringLiteral("--disable-shm=yes"),
         QStringLiteral("--load=module-native-protocol-unix auth-anonymous=1 socket=") + socket,
         QStringLiteral("--load=module-null-sink sink_name=live rate=48000 channels=2"),
         QStringLiteral("--log-target=stderr")});
    if (!server_.waitForStarted(5000)) {
        *problem = QStringLiteral("pulseaudio does not start: ") + server_.errorString();
        return false;
    }
    qputenv("PULSE_SERVER", (QStringLiteral("unix:") + socket).toUtf8());
    for (int i = 0; i < 100; ++i) {
        if (server_.state() == QProcess::NotRunning) break;
        if (QFile::exists(socket) && answers()) return true;
        QThread::msleep(100);
    }
    QFile log(root + QStringLiteral("/server.log"));
    log.open(QIODevice::ReadOnly);
    *problem = QStringLiteral("the private PulseAudio server does not answer; its log:\n") +
               QString::fromUtf8(log.readAll().right(2000));
    return false;
}

bool MonitorCapture::start(const QString& source) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    const QByteArray device = "--device=" + source.toUtf8();
    const QByteArray rate = "--rate=" + QByteArray::number(kRate);
    // Pieces of a few milliseconds, so that the quickest of them comes close to the moment
    // its samples were played.
    const char* argv[] = {"parec",        device.constData(), "--format=s16le", rate.constData(),
                          "--channels=1", "--latency-msec=5", "--raw",          nullptr};
    const int failed =
        posix_spawnp(&pid_, "parec", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (failed != 0) {
        close(pipeFds[0]);
        pid_ = -1;
        return false;
    }
    fd_ = pipeFds[0];
    reader_ = std::thread([this] { read(); });
    return true;
}

void MonitorCapture::read() {
    std::vector<char> buffer(1 << 14);
    char odd = 0;
    bool haveOdd = false;
    for (;;) {
        const ssize_t n = ::read(fd_, buffer.data(), buffer.size());
        const double at = SteadySeconds();
        if (n <= 0) return;
        std::lock_guard<std::mutex> lock(mutex_);
        size_t i = 0;
        if (haveOdd) {
            const char pair[2] = {odd, buffer[0]};
            int16_t v;
            memcpy(&v, pair, 2);
            samples_.push_back(v);
            i = 1;
            haveOdd = false;
        }
        for (; i + 1 < static_cast<size_t>(n); i += 2) {
            int16_t v;
            memcpy(&v, buffer.data() + i, 2);
            samples_.push_back(v);
        }
        if (i < static_cast<size_t>(n)) {
            odd = buffer[i];
            haveOdd = true;
        }
        zero_ = std::min(zero_, at - static_cast<double>(samples_.size()) / kRate);
    }
}

void MonitorCapture::stop() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    if (reader_.joinable()) reader_.join();
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}

MonitorCapture::~MonitorCapture() { stop(); }

std::vector<int16_t> MonitorCapture::samples() {
    std::lock_guard<std::mutex> lock(mutex_);
    return samples_;
}

double MonitorCapture::sampleZeroSteadySeconds() {
    std::lock_guard<std::mutex> lock(mutex_);
    return zero_;
}

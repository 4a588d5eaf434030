#include "keyinput/serial_key.h"

#include <cerrno>
#include <chrono>
#include <cstring>

SerialKey::SerialKey(ContactSink& sink, std::unique_ptr<ModemLines> lines, InputStatus status)
    : KeyInput(sink), lines_(std::move(lines)), status_(std::move(status)) {}

SerialKey::~SerialKey() { stop(); }

QString SerialKey::OpenErrorMessage(const QString& path, int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return QStringLiteral(
                       "Kein Zugriff auf %1. Meist fehlt die Mitgliedschaft in der Gruppe "
                       "„dialout“. Abhilfe: im Terminal „sudo usermod -aG dialout $USER“ "
                       "eingeben, dann ab- und wieder anmelden.")
                .arg(path);
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return QStringLiteral("%1 gibt es nicht (mehr). Ist der Adapter eingesteckt?")
                .arg(path);
        case EBUSY:
            return QStringLiteral("%1 wird gerade von einem anderen Programm benutzt.").arg(path);
        case ENOTTY:
        case EINVAL:
            return QStringLiteral(
                       "%1 meldet keine Steuerleitungen (CTS, DSR); für eine Taste "
                       "eignet sich nur ein serieller Anschluss.")
                .arg(path);
        default:
            return QStringLiteral("%1 lässt sich nicht öffnen: %2")
                .arg(path, QString::fromLocal8Bit(std::strerror(error)));
    }
}

bool SerialKey::start(const QString& path, QString* error) {
    stop();
    path_ = path;
    int rc = lines_->open(path.toStdString());
    if (rc == 0) rc = lines_->raiseSupply();
    if (rc == 0 && !readLines(lines_->nowUs())) rc = ENODEV;
    if (rc != 0) {
        lines_->close();
        if (error) *error = OpenErrorMessage(path, rc);
        return false;
    }
    stopping_ = false;
    finished_ = false;
    thread_ = std::thread([this] { run(); });
    return true;
}

void SerialKey::stop() {
    if (thread_.joinable()) {
        stopping_ = true;
        // The wake-up may come before the thread waits; it is repeated until the thread ends.
        while (!finished_.load()) {
            lines_->interrupt();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        thread_.join();
        lines_->close();
    }
    releaseAll(lines_->nowUs());
}

bool SerialKey::readLines(int64_t atUs) {
    int lines = 0;
    if (lines_->read(lines) != 0) return false;
    deliver(Contact::Dit, lines & ModemLines::kCts, atUs);
    deliver(Contact::Dah, lines & ModemLines::kDsr, atUs);
    return true;
}

void SerialKey::run() {
    while (!stopping_) {
        const int rc = lines_->waitForChange();
        // The moment is taken before anything else: it is what the keyer times.
        const int64_t at = lines_->nowUs();
        if (stopping_) break;
        if (rc == EINTR) continue;
        if (rc != 0 || !readLines(at)) {
            releaseAll(at);
            if (status_) {
                status_(QStringLiteral("Die Taste an %1 ist nicht mehr erreichbar (Adapter "
                                       "abgezogen?). Nach dem Einstecken den Anschluss neu "
                                       "wählen.")
                            .arg(path_),
                        true);
            }
            break;
        }
    }
    finished_ = true;
}

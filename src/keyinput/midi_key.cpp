#include "keyinput/midi_key.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

MidiKey::MidiKey(ContactSink& sink, std::unique_ptr<MidiSequencer> sequencer, InputStatus status)
    : KeyInput(sink), seq_(std::move(sequencer)), status_(std::move(status)) {}

MidiKey::~MidiKey() {
    stop();
    if (open_) seq_->close();
}

std::optional<Contact> MidiKey::ContactOfNote(int note) {
    switch (note) {
        case 0:
            return Contact::Straight;
        case 1:
        case 20:
            return Contact::Dit;
        case 2:
        case 21:
            return Contact::Dah;
        default:
            return std::nullopt;
    }
}

bool MidiKey::ensureOpen(QString* error) {
    if (open_) return true;
    const int rc = seq_->open();
    if (rc != 0) {
        if (error) {
            *error = QStringLiteral(
                         "Der MIDI-Sequenzer (ALSA) lässt sich nicht öffnen: %1. Ist "
                         "das Kernelmodul snd-seq geladen?")
                         .arg(QString::fromLocal8Bit(std::strerror(rc)));
        }
        return false;
    }
    open_ = true;
    return true;
}

std::optional<std::vector<MidiPort>> MidiKey::ports(QString* error) {
    if (!ensureOpen(error)) return std::nullopt;
    return seq_->ports();
}

bool MidiKey::start(const std::string& name, QString* error) {
    stop();
    if (!ensureOpen(error)) return false;
    const auto ports = seq_->ports();
    const auto it =
        std::find_if(ports.begin(), ports.end(), [&](const MidiPort& p) { return p.name == name; });
    if (it == ports.end()) {
        if (error) {
            *error = QStringLiteral(
                         "Den MIDI-Anschluss „%1“ gibt es nicht (mehr). Ist der "
                         "Adapter eingesteckt?")
                         .arg(QString::fromStdString(name));
        }
        return false;
    }
    const int rc = seq_->connect(*it);
    if (rc != 0) {
        if (error) {
            *error =
                QStringLiteral("Mit dem MIDI-Anschluss „%1“ lässt sich nicht verbinden: %2")
                    .arg(QString::fromStdString(name), QString::fromLocal8Bit(std::strerror(rc)));
        }
        return false;
    }
    port_ = *it;
    connected_ = true;
    ignored_ = 0;
    stopping_ = false;
    finished_ = false;
    thread_ = std::thread([this] { run(); });
    return true;
}

void MidiKey::stop() {
    if (thread_.joinable()) {
        stopping_ = true;
        while (!finished_.load()) {
            seq_->interrupt();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        thread_.join();
    }
    releaseAll(seq_->nowUs());
}

void MidiKey::handle(const MidiMessage& m, int64_t atUs) {
    using Kind = MidiMessage::Kind;
    switch (m.kind) {
        case Kind::NoteOn:
        case Kind::NoteOff: {
            const auto contact = ContactOfNote(m.note);
            if (!contact || !connected_ || m.port.client != port_.client) {
                ++ignored_;
                return;
            }
            deliver(*contact, m.kind == Kind::NoteOn && m.velocity > 0, atUs);
            return;
        }
        case Kind::PortGone:
            // A whole client leaving names no port.
            if (!connected_ || m.port.client != port_.client ||
                (m.port.port >= 0 && m.port.port != port_.port)) {
                return;
            }
            connected_ = false;
            releaseAll(atUs);
            if (status_) {
                status_(QStringLiteral("Der MIDI-Adapter „%1“ ist getrennt; sobald er wieder "
                                       "eingesteckt ist, wird er wieder verbunden.")
                            .arg(QString::fromStdString(port_.name)),
                        true);
            }
            return;
        case Kind::PortAppeared:
            if (connected_ || m.port.name != port_.name) return;
            if (seq_->connect(m.port) == 0) {
                port_ = m.port;
                connected_ = true;
                if (status_) {
                    status_(QStringLiteral("Der MIDI-Adapter „%1“ ist wieder verbunden.")
                                .arg(QString::fromStdString(port_.name)),
                            false);
                }
            }
            return;
        case Kind::Other:
            ++ignored_;
            return;
    }
}

void MidiKey::run() {
    while (!stopping_) {
        MidiMessage message;
        const int rc = seq_->read(message);
        const int64_t at = seq_->nowUs();
        if (stopping_) break;
        if (rc == EINTR || rc == EAGAIN) continue;
        if (rc != 0) {
            // The sequencer itself failed: nothing more will come.
            releaseAll(at);
            if (status_) {
                status_(QStringLiteral("Der MIDI-Sequenzer meldet einen Fehler: %1")
                            .arg(QString::fromLocal8Bit(std::strerror(rc))),
                        true);
            }
            break;
        }
        handle(message, at);
    }
    finished_ = true;
}

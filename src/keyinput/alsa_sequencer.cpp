#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

#include "keyinput/midi_sequencer.h"
#include "platform/deadline_worker.h"

namespace {
std::string PortName(snd_seq_t* seq, int client, int port) {
    snd_seq_client_info_t* c;
    snd_seq_port_info_t* p;
    snd_seq_client_info_alloca(&c);
    snd_seq_port_info_alloca(&p);
    if (snd_seq_get_any_client_info(seq, client, c) < 0) return {};
    if (snd_seq_get_any_port_info(seq, client, port, p) < 0) return {};
    return std::string(snd_seq_client_info_get_name(c)) + ":" + snd_seq_port_info_get_name(p);
}

class AlsaSequencer : public MidiSequencer {
public:
    ~AlsaSequencer() override { close(); }

    int open() override {
        int rc = snd_seq_open(&seq_, "default", SND_SEQ_OPEN_INPUT, SND_SEQ_NONBLOCK);
        if (rc < 0) {
            seq_ = nullptr;
            return -rc;
        }
        snd_seq_set_client_name(seq_, "Morse-Trainer");
        port_ = snd_seq_create_simple_port(seq_, "Taste",
                                           SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE,
                                           SND_SEQ_PORT_TYPE_APPLICATION);
        if (port_ < 0) return -port_;
        // Ports coming and going are announced by the system client.
        snd_seq_connect_from(seq_, port_, SND_SEQ_CLIENT_SYSTEM, SND_SEQ_PORT_SYSTEM_ANNOUNCE);
        wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        return wake_ < 0 ? errno : 0;
    }

    std::vector<MidiPort> ports() override {
        std::vector<MidiPort> found;
        if (!seq_) return found;
        snd_seq_client_info_t* c;
        snd_seq_port_info_t* p;
        snd_seq_client_info_alloca(&c);
        snd_seq_port_info_alloca(&p);
        const int self = snd_seq_client_id(seq_);
        snd_seq_client_info_set_client(c, -1);
        while (snd_seq_query_next_client(seq_, c) >= 0) {
            const int client = snd_seq_client_info_get_client(c);
            if (client == self || client == SND_SEQ_CLIENT_SYSTEM) continue;
            snd_seq_port_info_set_client(p, client);
            snd_seq_port_info_set_port(p, -1);
            while (snd_seq_query_next_port(seq_, p) >= 0) {
                const unsigned caps = snd_seq_port_info_get_capability(p);
                const unsigned wanted = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
                if ((caps & wanted) != wanted) continue;
                const int port = snd_seq_port_info_get_port(p);
                found.push_back({client, port, PortName(seq_, client, port)});
            }
        }
        return found;
    }

    int connect(const MidiPort& port) override {
        const int rc = snd_seq_connect_from(seq_, port_, port.client, port.port);
        return rc < 0 ? -rc : 0;
    }

    int read(MidiMessage& message) override {
        for (;;) {
            snd_seq_event_t* ev = nullptr;
            const int rc = snd_seq_event_input(seq_, &ev);
            if (rc >= 0 && ev) {
                Translate(*ev, message);
                return 0;
            }
            if (rc != -EAGAIN && rc != -ENOSPC) return -rc;
            // ENOSPC: the input overran and was dropped; the next events are read as usual.
            const int n = snd_seq_poll_descriptors_count(seq_, POLLIN);
            std::vector<pollfd> fds(static_cast<size_t>(n) + 1);
            snd_seq_poll_descriptors(seq_, fds.data(), n, POLLIN);
            fds[n] = {wake_, POLLIN, 0};
            if (poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) return errno;
            if (fds[n].revents & POLLIN) {
                uint64_t count;
                (void)!::read(wake_, &count, sizeof count);
                return EINTR;
            }
        }
    }

    void interrupt() override {
        const uint64_t one = 1;
        if (wake_ >= 0) (void)!::write(wake_, &one, sizeof one);
    }

    void close() override {
        if (seq_) snd_seq_close(seq_);
        seq_ = nullptr;
        if (wake_ >= 0) ::close(wake_);
        wake_ = -1;
    }

    int64_t nowUs() override { return MonotonicMicros(); }

private:
    void Translate(const snd_seq_event_t& ev, MidiMessage& m) {
        using Kind = MidiMessage::Kind;
        switch (ev.type) {
            case SND_SEQ_EVENT_NOTEON:
            case SND_SEQ_EVENT_NOTEOFF:
                m.kind = ev.type == SND_SEQ_EVENT_NOTEON ? Kind::NoteOn : Kind::NoteOff;
                m.note = ev.data.note.note;
                m.velocity = ev.data.note.velocity;
                m.port = {ev.source.client, ev.source.port, {}};
                break;
            case SND_SEQ_EVENT_PORT_EXIT:
                m.kind = Kind::PortGone;
                m.port = {ev.data.addr.client, ev.data.addr.port, {}};
                break;
            case SND_SEQ_EVENT_CLIENT_EXIT:
                m.kind = Kind::PortGone;
                m.port = {ev.data.addr.client, -1, {}};
                break;
            case SND_SEQ_EVENT_PORT_START:
                m.kind = Kind::PortAppeared;
                m.port = {ev.data.addr.client, ev.data.addr.port,
                          PortName(seq_, ev.data.addr.client, ev.data.addr.port)};
                break;
            default:
                m.kind = Kind::Other;
                break;
        }
    }

    snd_seq_t* seq_ = nullptr;
    int port_ = -1;
    int wake_ = -1;
};
}  // namespace

std::unique_ptr<MidiSequencer> MakeAlsaSequencer() { return std::make_unique<AlsaSequencer>(); }

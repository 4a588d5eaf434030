#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A port of the MIDI sequencer that sends notes.
struct MidiPort {
    int client = -1;
    int port = -1;
    std::string name;  // "client:port" names, the same again when an adapter comes back
    bool operator==(const MidiPort&) const = default;
};

// One message from the sequencer, as far as a key cares.
struct MidiMessage {
    enum class Kind { NoteOn, NoteOff, PortGone, PortAppeared, Other };
    Kind kind = Kind::Other;
    int note = 0;
    int velocity = 0;
    MidiPort port;  // the sender of a note, or the port that went or came
};

// The calls a MIDI key needs of the sequencer, so that tests can play one. Every call that can
// fail returns 0 or an errno value.
class MidiSequencer {
public:
    virtual ~MidiSequencer() = default;
    virtual int open() = 0;
    virtual std::vector<MidiPort> ports() = 0;
    // Receives the notes of `port` from now on.
    virtual int connect(const MidiPort& port) = 0;
    // Blocks until a message comes; EINTR once interrupt() was called.
    virtual int read(MidiMessage& message) = 0;
    // Makes a waiting or the next read return EINTR; callable from any thread.
    virtual void interrupt() = 0;
    virtual void close() = 0;
    virtual int64_t nowUs() = 0;
};

// The ALSA sequencer.
std::unique_ptr<MidiSequencer> MakeAlsaSequencer();

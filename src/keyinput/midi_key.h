#pragma once

#include <QString>
#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include "keyinput/key_input.h"
#include "keyinput/midi_sequencer.h"

// A key behind a USB-MIDI adapter: note 0 is the straight key, notes 1 and 20 the dit paddle,
// notes 2 and 21 the dah paddle; a note-on with velocity 0 is a release, like a note-off. Other
// messages are ignored. When the adapter is unplugged its contacts open; when a port of the
// same name appears again, it is connected again.
class MidiKey : public KeyInput {
public:
    MidiKey(ContactSink& sink, std::unique_ptr<MidiSequencer> sequencer, InputStatus status);
    ~MidiKey() override;

    // The ports that send notes, or nothing with a German message when there is no sequencer.
    std::optional<std::vector<MidiPort>> ports(QString* error);
    // Listens to the port named `name`; false with a German message if there is none.
    bool start(const std::string& name, QString* error);
    void stop();

    // The contact a note stands for, if any.
    static std::optional<Contact> ContactOfNote(int note);
    // Messages ignored since start (unknown notes and kinds).
    uint64_t ignored() const { return ignored_.load(); }

private:
    bool ensureOpen(QString* error);
    void run();
    void handle(const MidiMessage& message, int64_t atUs);

    std::unique_ptr<MidiSequencer> seq_;
    InputStatus status_;
    bool open_ = false;
    MidiPort port_;
    bool connected_ = false;
    std::atomic<uint64_t> ignored_{0};
    std::atomic<bool> stopping_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

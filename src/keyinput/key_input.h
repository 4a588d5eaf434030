#pragma once

#include <QString>
#include <array>
#include <functional>
#include <mutex>

#include "sending/contact_event.h"

// The part every key input shares: it passes each real change of a contact to the sink (a
// repeated state, such as a keyboard's auto-repeat, is no change), and when its device goes it
// opens every contact it holds closed, so that no tone is left sounding. Thread-safe: a device
// thread and the window thread may both deliver.
class KeyInput {
public:
    explicit KeyInput(ContactSink& sink) : sink_(sink) {}
    virtual ~KeyInput() = default;
    KeyInput(const KeyInput&) = delete;
    KeyInput& operator=(const KeyInput&) = delete;

    // A contact as the device reports it now.
    void deliver(Contact contact, bool down, int64_t atUs);
    // Opens every contact still closed (the device has gone or the input is switched off).
    void releaseAll(int64_t atUs);
    bool anyDown();

private:
    ContactSink& sink_;
    std::mutex mutex_;
    std::array<bool, kContactCount> down_{};
};

// What a device input tells the window, in German: opened, failed, gone, back. Called from the
// input's own thread.
using InputStatus = std::function<void(const QString& message, bool problem)>;

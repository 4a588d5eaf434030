#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "sending/debouncer.h"
#include "sending/keyed_elements.h"
#include "sending/keyer.h"

// The way of a contact from the key to the tone and the list of marks and spaces: debouncing,
// then the keyer. Pure: it runs at the moments the owner gives it. Every change of the keyed
// tone goes to `toneKey` at once (the sidetone's key state) and into the element log.
class KeyingPipeline {
public:
    using ToneKey = std::function<void(bool down, int64_t atUs)>;
    KeyingPipeline(KeyerMode mode, KeyerTiming timing, ToneKey toneKey);

    // A raw contact change; moments must not go back.
    void contact(const ContactEvent& event);
    // Completes everything due by `nowUs`; returns when the next step is due, if ever.
    std::optional<int64_t> advanceTo(int64_t nowUs);

    // Switches the keyer; a tone keyed now is ended at `atUs` first.
    void setMode(KeyerMode mode, int64_t atUs);
    void setTiming(KeyerTiming timing);
    KeyedElementLog& log() { return log_; }
    bool keyDown() const { return keyer_.keyDown(); }

private:
    void deliver(const std::vector<ContactEvent>& events);
    void flush();

    Debouncer debouncer_;
    Keyer keyer_;
    KeyerTiming timing_;
    ToneKey toneKey_;
    KeyedElementLog log_;
    int64_t lastUs_ = INT64_MIN;  // latest moment handled
};

#include "sending/keying_pipeline.h"

#include <algorithm>

KeyingPipeline::KeyingPipeline(KeyerMode mode, KeyerTiming timing, ToneKey toneKey)
    : keyer_(mode, timing), timing_(timing), toneKey_(std::move(toneKey)) {}

void KeyingPipeline::deliver(const std::vector<ContactEvent>& events) {
    for (const ContactEvent& e : events) keyer_.contact(e);
}

void KeyingPipeline::flush() {
    for (const KeyTransition& t : keyer_.takeTransitions()) {
        if (toneKey_) toneKey_(t.down, t.atUs);
        log_.add(t);
    }
}

void KeyingPipeline::contact(const ContactEvent& event) {
    // Inputs on different threads may stamp their moments a hair out of order; the keyer's
    // schedule must never run backwards.
    ContactEvent e = event;
    e.atUs = std::max(e.atUs, lastUs_);
    lastUs_ = e.atUs;
    deliver(debouncer_.feed(e));
    flush();
}

std::optional<int64_t> KeyingPipeline::advanceTo(int64_t nowUs) {
    nowUs = std::max(nowUs, lastUs_);
    lastUs_ = nowUs;
    // The debouncer's late changes and the keyer's elements interleave in time order.
    for (;;) {
        const auto bounce = debouncer_.nextDeadlineUs();
        if (!bounce || *bounce > nowUs) break;
        deliver(debouncer_.advanceTo(*bounce));
    }
    keyer_.advanceTo(nowUs);
    flush();
    const auto a = debouncer_.nextDeadlineUs();
    const auto b = keyer_.nextDeadlineUs();
    if (a && b) return std::min(*a, *b);
    return a ? a : b;
}

void KeyingPipeline::setMode(KeyerMode mode, int64_t atUs) {
    if (mode == keyer_.mode()) return;
    advanceTo(atUs);
    atUs = lastUs_;
    if (keyer_.keyDown()) {
        if (toneKey_) toneKey_(false, atUs);
        log_.add(KeyTransition{false, atUs});
    }
    keyer_ = Keyer(mode, timing_);
}

void KeyingPipeline::setTiming(KeyerTiming timing) {
    timing_ = timing;
    keyer_.setTiming(timing);
}

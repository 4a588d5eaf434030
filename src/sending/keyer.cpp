#include "sending/keyer.h"

#include <algorithm>
#include <cmath>

KeyerTiming KeyerTiming::FromMs(double dotMs, double dashMs, int weightPercent) {
    KeyerTiming t;
    t.dotUs = std::max<int64_t>(1000, std::llround(dotMs * 1000.0));
    t.dashUs = std::max<int64_t>(t.dotUs, std::llround(dashMs * 1000.0));
    t.weightPercent = std::clamp(weightPercent, 25, 75);
    return t;
}

int64_t KeyerTiming::weightShiftUs() const { return dotUs * (weightPercent - 50) / 50; }

Keyer::Keyer(KeyerMode mode, KeyerTiming timing) : mode_(mode), timing_(timing) {}

void Keyer::contact(const ContactEvent& event) {
    runUntil(event.atUs, false);
    bool& down = contactDown_[static_cast<int>(event.contact)];
    if (down == event.down) return;
    down = event.down;

    // Which contacts key the tone directly in this mode.
    const bool manual = event.contact == Contact::Straight ||
                        (mode_ == KeyerMode::Straight && event.contact == Contact::Dit) ||
                        (mode_ == KeyerMode::Bug && event.contact == Contact::Dah);
    if (manual) {
        manualDown_ += event.down ? 1 : -1;
        updateOutput(event.atUs);
        return;
    }
    if (mode_ == KeyerMode::Straight) return;

    const Element e = event.contact == Contact::Dit ? Element::Dit : Element::Dah;
    paddle(e) = event.down;
    if (!event.down) return;
    lastPressed_ = e;
    if (element_ == Element::None) {
        startElement(e, event.atUs);
    } else if (e != element_ && mode_ != KeyerMode::Bug) {
        // Pressed during the element: remembered even if released before it ends.
        memory(e) = true;
    }
}

void Keyer::advanceTo(int64_t nowUs) { runUntil(nowUs, true); }

void Keyer::runUntil(int64_t nowUs, bool inclusive) {
    const auto due = [&](int64_t at) { return inclusive ? at <= nowUs : at < nowUs; };
    while (element_ != Element::None) {
        if (markOn_) {
            if (!due(markEndUs_)) return;
            markOn_ = false;
            updateOutput(markEndUs_);
        }
        if (!due(elementEndUs_)) return;
        const Element next = nextElement();
        if (next == Element::None) {
            element_ = Element::None;
            memory_ = {};
            return;
        }
        startElement(next, elementEndUs_);
    }
}

Keyer::Element Keyer::nextElement() const {
    const Element opposite = Opposite(element_);
    switch (mode_) {
        case KeyerMode::IambicA:
        case KeyerMode::IambicB:
            if (memoryOf(opposite) || paddleDown(opposite)) return opposite;
            if (paddleDown(element_)) return element_;
            return Element::None;
        case KeyerMode::Ultimatic:
            // A tap of the other paddle is sent once; a held squeeze follows the last press.
            if (memoryOf(opposite) && !paddleDown(opposite)) return opposite;
            if (ditDown_ && dahDown_) return lastPressed_;
            if (ditDown_) return Element::Dit;
            if (dahDown_) return Element::Dah;
            return Element::None;
        case KeyerMode::Bug:
            return ditDown_ ? Element::Dit : Element::None;
        case KeyerMode::Straight:
            break;
    }
    return Element::None;
}

void Keyer::startElement(Element element, int64_t atUs) {
    element_ = element;
    memory(element) = false;
    const int64_t length = element == Element::Dit ? timing_.dotUs : timing_.dashUs;
    const int64_t shift = timing_.weightShiftUs();
    markOn_ = true;
    markEndUs_ = atUs + length + shift;
    elementEndUs_ = atUs + length + timing_.dotUs;
    // Mode B notes the opposite paddle held as the element begins; a press later in the
    // element is noted by every mode.
    if (mode_ == KeyerMode::IambicB && paddleDown(Opposite(element)))
        memory(Opposite(element)) = true;
    updateOutput(atUs);
}

void Keyer::updateOutput(int64_t atUs) {
    const bool down = markOn_ || manualDown_ > 0;
    if (down == output_) return;
    output_ = down;
    transitions_.push_back({down, atUs});
}

std::optional<int64_t> Keyer::nextDeadlineUs() const {
    if (element_ == Element::None) return std::nullopt;
    return markOn_ ? markEndUs_ : elementEndUs_;
}

std::vector<KeyTransition> Keyer::takeTransitions() {
    std::vector<KeyTransition> out;
    out.swap(transitions_);
    return out;
}

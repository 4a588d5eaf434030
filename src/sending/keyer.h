#pragma once

#include <array>
#include <optional>
#include <vector>

#include "sending/contact_event.h"

// How the contacts make the tone.
//   Straight   the contact is the tone
//   IambicA    paddles send dits and dahs, a squeeze alternates; the opposite paddle counts
//              when it is newly pressed during an element
//   IambicB    the same, but the opposite paddle counts when it is held at any moment of an
//              element: releasing a squeeze sends one more alternate element
//   Ultimatic  during a squeeze the paddle pressed last repeats its element
//   Bug        the dit paddle makes dits, the dah paddle is a straight key
enum class KeyerMode { Straight, IambicA, IambicB, Ultimatic, Bug };

// Element lengths on the monotonic clock [µs]. The weight moves time from the space after each
// element into its mark (50 % = marks and spaces as timed).
struct KeyerTiming {
    int64_t dotUs = 77000;
    int64_t dashUs = 231000;
    int weightPercent = 50;

    // From the trainer's dot and dash [ms] and a weight [%] of 25 to 75.
    static KeyerTiming FromMs(double dotMs, double dashMs, int weightPercent);
    // The mark lengthening (or shortening) the weight asks for [µs].
    int64_t weightShiftUs() const;
};

// One change of the keyed tone.
struct KeyTransition {
    bool down = false;
    int64_t atUs = 0;
    bool operator==(const KeyTransition&) const = default;
};

// Turns contact changes (debounced, in time order) into the keyed tone's changes with exact
// moments. Pure: time passes only through the moments given; the owner calls advanceTo when
// nextDeadlineUs comes. A contact change first completes everything due before its moment.
// The straight contact keys the tone directly in every mode.
class Keyer {
public:
    Keyer(KeyerMode mode, KeyerTiming timing);

    KeyerMode mode() const { return mode_; }
    // Takes effect from the next element.
    void setTiming(KeyerTiming timing) { timing_ = timing; }

    void contact(const ContactEvent& event);
    void advanceTo(int64_t nowUs);
    // When the element schedule changes the tone next, if it runs.
    std::optional<int64_t> nextDeadlineUs() const;
    // The tone is keyed now.
    bool keyDown() const { return output_; }
    // The tone's changes since the last call.
    std::vector<KeyTransition> takeTransitions();

private:
    enum class Element { None, Dit, Dah };

    void runUntil(int64_t nowUs, bool inclusive);
    void startElement(Element element, int64_t atUs);
    Element nextElement() const;
    void updateOutput(int64_t atUs);
    bool& paddle(Element e) { return e == Element::Dit ? ditDown_ : dahDown_; }
    bool paddleDown(Element e) const { return e == Element::Dit ? ditDown_ : dahDown_; }
    bool& memory(Element e) { return memory_[e == Element::Dit ? 0 : 1]; }
    bool memoryOf(Element e) const { return memory_[e == Element::Dit ? 0 : 1]; }
    static Element Opposite(Element e) { return e == Element::Dit ? Element::Dah : Element::Dit; }

    KeyerMode mode_;
    KeyerTiming timing_;
    bool ditDown_ = false, dahDown_ = false;
    int manualDown_ = 0;  // contacts keying the tone directly
    std::array<bool, kContactCount> contactDown_{};
    Element lastPressed_ = Element::None;
    std::array<bool, 2> memory_{};  // dit, dah

    Element element_ = Element::None;
    bool markOn_ = false;
    int64_t markEndUs_ = 0;
    int64_t elementEndUs_ = 0;  // after the space that belongs to the element

    bool output_ = false;
    std::vector<KeyTransition> transitions_;
};

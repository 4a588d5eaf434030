#pragma once

#include <cstdint>

// The contacts of a Morse key: a straight key's one contact, or the two paddles of a keyer.
enum class Contact : uint8_t { Straight = 0, Dit = 1, Dah = 2 };
constexpr int kContactCount = 3;

// One change of a contact, stamped on the monotonic clock the moment it was seen.
struct ContactEvent {
    Contact contact = Contact::Straight;
    bool down = false;
    int64_t atUs = 0;  // monotonic clock [µs]

    bool operator==(const ContactEvent&) const = default;
};

// Where every key input (keyboard, mouse, serial lines, MIDI) delivers its contact changes, so
// that what follows does not care where a contact came from. May be called from any thread.
class ContactSink {
public:
    virtual ~ContactSink() = default;
    virtual void contact(const ContactEvent& event) = 0;
};

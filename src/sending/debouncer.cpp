#include "sending/debouncer.h"

void Debouncer::take(Contact contact, bool down, int64_t atUs, std::vector<ContactEvent>& out) {
    State& s = states_[static_cast<int>(contact)];
    s.taken = down;
    s.lockedUntilUs = atUs + kLockoutUs;
    out.push_back({contact, down, atUs});
}

std::vector<ContactEvent> Debouncer::feed(const ContactEvent& event) {
    std::vector<ContactEvent> out = advanceTo(event.atUs);
    State& s = states_[static_cast<int>(event.contact)];
    s.raw = event.down;
    if (event.atUs >= s.lockedUntilUs && s.raw != s.taken) {
        take(event.contact, event.down, event.atUs, out);
    }
    return out;
}

std::vector<ContactEvent> Debouncer::advanceTo(int64_t nowUs) {
    std::vector<ContactEvent> out;
    // Lockouts of different contacts end in time order, so that the changes stay ordered.
    while (const auto due = nextDeadlineUs()) {
        if (*due > nowUs) break;
        for (int c = 0; c < kContactCount; ++c) {
            State& s = states_[c];
            if (s.raw != s.taken && s.lockedUntilUs == *due) {
                take(static_cast<Contact>(c), s.raw, *due, out);
                break;
            }
        }
    }
    return out;
}

std::optional<int64_t> Debouncer::nextDeadlineUs() const {
    std::optional<int64_t> next;
    for (const State& s : states_) {
        if (s.raw != s.taken && (!next || s.lockedUntilUs < *next)) next = s.lockedUntilUs;
    }
    return next;
}

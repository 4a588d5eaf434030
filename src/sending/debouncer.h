#pragma once

#include <array>
#include <optional>
#include <vector>

#include "sending/contact_event.h"

// Takes a contact's first change at once and ignores its bouncing for a short lockout; when the
// lockout ends on a state other than the one taken, that state is taken then, so that a contact
// that bounced into its final state is never lost. Moments must not go back.
class Debouncer {
public:
    static constexpr int64_t kLockoutUs = 2000;

    // The raw change at `event.atUs`; returns the changes taken up to that moment, in order.
    std::vector<ContactEvent> feed(const ContactEvent& event);
    // The changes whose lockout has ended by `nowUs`, in order.
    std::vector<ContactEvent> advanceTo(int64_t nowUs);
    // When advanceTo has something to take next, if ever.
    std::optional<int64_t> nextDeadlineUs() const;

private:
    struct State {
        bool raw = false;
        bool taken = false;
        int64_t lockedUntilUs = 0;
    };
    void take(Contact contact, bool down, int64_t atUs, std::vector<ContactEvent>& out);

    std::array<State, kContactCount> states_{};
};

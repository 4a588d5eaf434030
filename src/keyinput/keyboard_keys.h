#pragma once

#include <cstdint>
#include <optional>

#include "sending/contact_event.h"

// Which keyboard keys are the key's contacts, told apart by their native scan codes (the left
// and right Ctrl keys share one Qt key code). By default the left Ctrl key is the dit paddle
// and the right Ctrl key the dah paddle, as most USB key adapters send them; the straight key
// is whatever key the learner teaches.
class KeyboardKeys {
public:
    // X11 / evdev scan codes of the Ctrl keys.
    static constexpr uint32_t kLeftCtrl = 37;
    static constexpr uint32_t kRightCtrl = 105;

    std::optional<Contact> contactOf(uint32_t scanCode) const;
    uint32_t scanCode(Contact contact) const { return codes_[static_cast<int>(contact)]; }
    void setScanCode(Contact contact, uint32_t scanCode);
    bool isKeyContact(uint32_t scanCode) const { return contactOf(scanCode).has_value(); }

    // "Taste lernen": the contacts are taught one after another. begin names the first;
    // each key pressed is taken for the contact asked for; returns the contact asked next.
    void beginLearning(bool paddles);
    std::optional<Contact> learning() const { return learning_; }
    std::optional<Contact> learn(uint32_t scanCode);
    void cancelLearning() { learning_.reset(); }

private:
    uint32_t codes_[kContactCount] = {0, kLeftCtrl, kRightCtrl};  // 0 = none
    bool learnPaddles_ = false;
    std::optional<Contact> learning_;
};

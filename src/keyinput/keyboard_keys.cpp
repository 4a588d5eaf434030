#include "keyinput/keyboard_keys.h"

std::optional<Contact> KeyboardKeys::contactOf(uint32_t scanCode) const {
    if (scanCode == 0) return std::nullopt;
    for (int c = 0; c < kContactCount; ++c) {
        if (codes_[c] == scanCode) return static_cast<Contact>(c);
    }
    return std::nullopt;
}

void KeyboardKeys::setScanCode(Contact contact, uint32_t scanCode) {
    // One key is one contact: a key taught anew leaves its former contact.
    for (uint32_t& code : codes_) {
        if (code == scanCode) code = 0;
    }
    codes_[static_cast<int>(contact)] = scanCode;
}

void KeyboardKeys::beginLearning(bool paddles) {
    learnPaddles_ = paddles;
    learning_ = paddles ? Contact::Dit : Contact::Straight;
}

std::optional<Contact> KeyboardKeys::learn(uint32_t scanCode) {
    if (!learning_ || scanCode == 0) return learning_;
    // The dah paddle cannot be the key just taught for the dit paddle.
    if (*learning_ == Contact::Dah && scanCode == codes_[static_cast<int>(Contact::Dit)]) {
        return learning_;
    }
    setScanCode(*learning_, scanCode);
    learning_ =
        *learning_ == Contact::Dit && learnPaddles_ ? std::optional(Contact::Dah) : std::nullopt;
    return learning_;
}

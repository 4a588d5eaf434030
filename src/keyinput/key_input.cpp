#include "keyinput/key_input.h"

void KeyInput::deliver(Contact contact, bool down, int64_t atUs) {
    {
        std::lock_guard lock(mutex_);
        bool& state = down_[static_cast<int>(contact)];
        if (state == down) return;
        state = down;
    }
    sink_.contact({contact, down, atUs});
}

void KeyInput::releaseAll(int64_t atUs) {
    for (int c = 0; c < kContactCount; ++c) deliver(static_cast<Contact>(c), false, atUs);
}

bool KeyInput::anyDown() {
    std::lock_guard lock(mutex_);
    for (bool d : down_) {
        if (d) return true;
    }
    return false;
}

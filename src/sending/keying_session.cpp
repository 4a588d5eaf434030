#include "sending/keying_session.h"

#include "platform/deadline_worker.h"
#include "sound/sidetone.h"

KeyingSession::KeyingSession(KeyerMode mode, KeyerTiming timing, Sidetone* sidetone)
    : sidetone_(sidetone),
      pipeline_(mode, timing,
                [this](bool down, int64_t atUs) {
                    if (sidetone_) sidetone_->setKey(down, atUs);
                }),
      worker_(std::make_unique<DeadlineWorker>([this](int64_t now) { return step(now); })) {}

KeyingSession::~KeyingSession() {
    worker_.reset();
    // A tone keyed when the window closes must not go on sounding.
    if (sidetone_) sidetone_->setKey(false, MonotonicMicros());
}

void KeyingSession::contact(const ContactEvent& event) {
    {
        std::lock_guard lock(mutex_);
        pending_.push_back(event);
    }
    worker_->wake();
}

std::optional<int64_t> KeyingSession::step(int64_t nowUs) {
    std::lock_guard lock(mutex_);
    for (const ContactEvent& e : pending_) pipeline_.contact(e);
    pending_.clear();
    const auto next = pipeline_.advanceTo(nowUs);
    for (const KeyedElement& e : pipeline_.log().takeElements()) elements_.push_back(e);
    return next;
}

void KeyingSession::setMode(KeyerMode mode) {
    {
        std::lock_guard lock(mutex_);
        pipeline_.setMode(mode, MonotonicMicros());
    }
    worker_->wake();
}

void KeyingSession::setTiming(KeyerTiming timing) {
    std::lock_guard lock(mutex_);
    pipeline_.setTiming(timing);
}

std::vector<KeyedElement> KeyingSession::takeElements(std::optional<int64_t>* openMarkUs) {
    std::lock_guard lock(mutex_);
    if (openMarkUs) *openMarkUs = pipeline_.log().openMarkUs();
    std::vector<KeyedElement> out;
    out.swap(elements_);
    return out;
}

bool KeyingSession::keyDown() {
    std::lock_guard lock(mutex_);
    return pipeline_.keyDown();
}

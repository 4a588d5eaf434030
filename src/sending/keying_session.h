#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "sending/contact_event.h"
#include "sending/keying_pipeline.h"

class DeadlineWorker;
class Sidetone;

// Keying while "Geben üben" is open: every key input delivers here, from any thread; a worker
// on the monotonic clock runs the debouncer and the keyer, keys the sidetone the moment the
// keyed tone changes, and collects the marks and spaces for the window.
class KeyingSession : public ContactSink {
public:
    // `sidetone` may be null (no sound device); it must outlive the session.
    KeyingSession(KeyerMode mode, KeyerTiming timing, Sidetone* sidetone);
    ~KeyingSession() override;

    void contact(const ContactEvent& event) override;
    void setMode(KeyerMode mode);
    void setTiming(KeyerTiming timing);

    // The marks and spaces completed since the last call (window thread), and where a mark
    // still keyed began, seen at the same moment.
    std::vector<KeyedElement> takeElements(std::optional<int64_t>* openMarkUs = nullptr);
    // The keyed tone sounds now.
    bool keyDown();

private:
    std::optional<int64_t> step(int64_t nowUs);

    Sidetone* sidetone_;
    std::mutex mutex_;  // guards what follows; never held by the audio thread
    std::vector<ContactEvent> pending_;
    KeyingPipeline pipeline_;
    std::vector<KeyedElement> elements_;
    std::unique_ptr<DeadlineWorker> worker_;  // last: stops before the rest goes
};

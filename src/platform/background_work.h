#pragma once

#include <functional>

// Work that must not hold up the window thread while sound plays (the record's queries): it
// runs somewhere else, and what it found comes back to the window thread's event loop. Work
// items run one after another in the order given, so that state they share (a database
// connection) needs no lock.
class BackgroundWork {
public:
    virtual ~BackgroundWork() = default;
    // Runs `work` off the window thread, then `done` (may be empty) from the window thread's
    // event loop, never from the caller's stack.
    virtual void run(std::function<void()> work, std::function<void()> done) = 0;
};

// The background work the program (or a test) installed; none installed, the record is not
// read. Kept apart from the other services: only the record's readers use it.
BackgroundWork* InstalledBackgroundWork();
void InstallBackgroundWork(BackgroundWork* work);

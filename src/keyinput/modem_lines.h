#pragma once

#include <cstdint>
#include <memory>
#include <string>

// The system calls a serial key needs, so that tests can play a port's modem lines. Every call
// returns 0 or an errno value.
class ModemLines {
public:
    static constexpr int kCts = 1;
    static constexpr int kDsr = 2;

    virtual ~ModemLines() = default;
    virtual int open(const std::string& path) = 0;
    // Raises DTR and RTS: the key's supply.
    virtual int raiseSupply() = 0;
    // Blocks until CTS or DSR changes (TIOCMIWAIT); EINTR once interrupt() was called.
    virtual int waitForChange() = 0;
    // The lines now (TIOCMGET), as kCts | kDsr.
    virtual int read(int& lines) = 0;
    // Makes a waiting or the next waitForChange return EINTR; callable from any thread.
    virtual void interrupt() = 0;
    virtual void close() = 0;
    // The monotonic clock [µs].
    virtual int64_t nowUs() = 0;
};

// The real lines of a serial device through ioctl.
std::unique_ptr<ModemLines> MakePosixModemLines();

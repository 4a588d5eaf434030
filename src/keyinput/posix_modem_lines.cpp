#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>

#include "keyinput/modem_lines.h"
#include "platform/deadline_worker.h"

namespace {
// TIOCMIWAIT cannot time out; a signal without SA_RESTART is what ends it early.
const int kWakeSignal = SIGRTMIN + 5;

void InstallWakeHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;
        sigaction(kWakeSignal, &action, nullptr);
    });
}

class PosixModemLines : public ModemLines {
public:
    PosixModemLines() { InstallWakeHandler(); }
    ~PosixModemLines() override { close(); }

    int open(const std::string& path) override {
        fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        return fd_ < 0 ? errno : 0;
    }
    int raiseSupply() override {
        int bits = TIOCM_DTR | TIOCM_RTS;
        return ioctl(fd_, TIOCMBIS, &bits) < 0 ? errno : 0;
    }
    int waitForChange() override {
        waiter_.store(pthread_self(), std::memory_order_release);
        waiting_.store(true, std::memory_order_release);
        int rc = 0;
        if (interrupted_.exchange(false)) {
            rc = EINTR;
        } else if (ioctl(fd_, TIOCMIWAIT, TIOCM_CTS | TIOCM_DSR) < 0) {
            rc = errno;
        }
        waiting_.store(false, std::memory_order_release);
        if (interrupted_.exchange(false)) rc = EINTR;
        return rc;
    }
    int read(int& lines) override {
        int bits = 0;
        if (ioctl(fd_, TIOCMGET, &bits) < 0) return errno;
        lines = ((bits & TIOCM_CTS) ? kCts : 0) | ((bits & TIOCM_DSR) ? kDsr : 0);
        return 0;
    }
    void interrupt() override {
        interrupted_.store(true);
        if (waiting_.load(std::memory_order_acquire)) {
            pthread_kill(waiter_.load(std::memory_order_acquire), kWakeSignal);
        }
    }
    void close() override {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    int64_t nowUs() override { return MonotonicMicros(); }

private:
    int fd_ = -1;
    std::atomic<pthread_t> waiter_{};
    std::atomic<bool> waiting_{false};
    std::atomic<bool> interrupted_{false};
};
}  // namespace

std::unique_ptr<ModemLines> MakePosixModemLines() { return std::make_unique<PosixModemLines>(); }

#include "platform/clock_background_work.h"

#include <cmath>
#include <memory>

#include "platform/clock.h"

void ClockBackgroundWork::run(std::function<void()> work, std::function<void()> done) {
    ++started_;
    if (work) work();
    if (!done) return;
    if (workSeconds_ <= 0) {
        clock_.post(std::move(done));
        return;
    }
    // A one-shot timer: stopped at its first tick, before the result is shown.
    auto handle = std::make_shared<int>(0);
    *handle = clock_.startTimer(static_cast<int>(std::lround(workSeconds_ * 1000)),
                                [this, handle, done = std::move(done)] {
                                    clock_.stopTimer(*handle);
                                    done();
                                });
}

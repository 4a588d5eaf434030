#pragma once

#include <cstdint>

// One mark (tone) or space of what the learner keyed.
struct KeyedElement {
    bool mark = false;
    int64_t atUs = 0;       // where it began, monotonic clock [µs]
    double durationMs = 0;  // [ms]
    bool operator==(const KeyedElement&) const = default;
};

#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>

// Hands immutable values from one producer thread to one consumer thread (the audio callback)
// without locks or allocation on the consumer's side. The producer keeps every published value
// alive until the consumer has moved past it, and frees it on a later publish.
template <typename T>
class SnapshotExchange {
public:
    // Producer.
    void publish(std::shared_ptr<const T> value) {
        kept_.push_back(Entry{++generation_, std::move(value)});
        latest_.store(&kept_.back(), std::memory_order_release);
        const uint64_t used = inUse_.load(std::memory_order_acquire);
        while (kept_.size() > 1 && kept_.front().generation < used) kept_.pop_front();
    }

    // Consumer: the newest value when it differs from the one taken before, else nullptr. The
    // value stays valid until the next call that returns another one.
    const T* take() {
        const Entry* entry = latest_.load(std::memory_order_acquire);
        if (!entry || entry->generation == seen_) return nullptr;
        seen_ = entry->generation;
        inUse_.store(seen_, std::memory_order_release);
        return entry->value.get();
    }

private:
    struct Entry {
        uint64_t generation;
        std::shared_ptr<const T> value;
    };

    // Producer's own.
    std::deque<Entry> kept_;  // references stay valid while other entries come and go
    uint64_t generation_ = 0;
    // Shared.
    std::atomic<const Entry*> latest_{nullptr};
    std::atomic<uint64_t> inUse_{0};
    // Consumer's own.
    uint64_t seen_ = 0;
};

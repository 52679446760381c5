// A fixed-capacity log that any thread may append to without allocating, locking or waiting. The host
// callback writes into it from the audio thread while MIDI arrives, so it is sized once, up front.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <memory>
#include <thread>
#include <vector>

namespace vsthost {

template <typename Record> class RecordBuffer {
public:
    explicit RecordBuffer(std::size_t capacity) : slots(new Slot[capacity]), slotCount(capacity) {}

    // Any thread. Answers false, and counts the record as dropped, when the buffer is full.
    bool append(const Record& record) {
        std::size_t index = claimed.fetch_add(1, std::memory_order_relaxed);
        if (index >= slotCount) {
            droppedCount.fetch_add(1, std::memory_order_relaxed);
            return false;
        }
        slots[index].record = record;
        slots[index].ready.store(true, std::memory_order_release);
        return true;
    }

    // Any thread but the audio thread (it allocates). A record still being written by another thread is
    // waited for, which takes no longer than one copy.
    std::vector<Record> snapshot() const {
        std::size_t count = size();
        std::vector<Record> records;
        records.reserve(count);
        for (std::size_t i = 0; i < count; ++i) {
            while (!slots[i].ready.load(std::memory_order_acquire)) {
                std::this_thread::yield();
            }
            records.push_back(slots[i].record);
        }
        return records;
    }

    std::size_t size() const { return std::min(claimed.load(std::memory_order_acquire), slotCount); }
    std::size_t capacity() const { return slotCount; }
    std::size_t dropped() const { return droppedCount.load(std::memory_order_relaxed); }

    // Only while nothing appends: between runs, from the controlling thread.
    void clear() {
        for (std::size_t i = 0, count = size(); i < count; ++i) {
            slots[i].ready.store(false, std::memory_order_relaxed);
        }
        claimed.store(0, std::memory_order_relaxed);
        droppedCount.store(0, std::memory_order_relaxed);
    }

private:
    struct Slot {
        Record record{};
        std::atomic<bool> ready{false};
    };

    std::unique_ptr<Slot[]> slots;
    std::size_t slotCount;
    std::atomic<std::size_t> claimed{0};
    std::atomic<std::size_t> droppedCount{0};
};

} // namespace vsthost

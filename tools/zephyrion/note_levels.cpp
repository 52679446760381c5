#include "tools/zephyrion/note_levels.h"

#include <algorithm>
#include <limits>

namespace zcli {

NoteLevels::NoteLevels(std::int64_t window, std::int64_t latency, std::size_t blockSize)
    : window_(std::max<std::int64_t>(1, window)), latency_(std::max<std::int64_t>(0, latency)) {
    // A note's span starts at most the latency before the call that brings its note-on and is measured
    // once the call after its end is in: its levels are still in the ring then.
    const auto needed = static_cast<std::size_t>(window_ + latency_) + 2 * blockSize;
    std::size_t size = 1;
    while (size < needed) {
        size *= 2;
    }
    ring_.assign(size, 0.0f);
}

void NoteLevels::add(const float* levels, std::size_t frames, const std::vector<MidiEvent>& events) {
    const std::size_t mask = ring_.size() - 1;
    for (std::size_t i = 0; i < frames; ++i) {
        ring_[(static_cast<std::size_t>(written_) + i) & mask] = levels[i];
    }
    written_ += static_cast<std::int64_t>(frames);
    for (; seen_ < events.size(); ++seen_) {
        const MidiEvent& event = events[seen_];
        const std::int64_t at = std::max<std::int64_t>(0, event.position - latency_);
        if (event.startsNote()) {
            open_.push_back({levels_.size(), at, at + window_, event.channel(), event.data1, false});
            levels_.push_back(0.0f);
        } else if (event.endsNote()) {
            const auto note = std::find_if(open_.begin(), open_.end(), [&](const Note& open) {
                return !open.ended && open.channel == event.channel() && open.key == event.data1;
            });
            if (note != open_.end()) {
                note->to = std::min(note->to, std::max(at, note->from + 1));
                note->ended = true;
            }
        }
    }
    // Every event that belongs before this frame has arrived.
    settle(written_ - latency_);
}

std::vector<float> NoteLevels::finish() {
    settle(std::numeric_limits<std::int64_t>::max());
    return std::move(levels_);
}

void NoteLevels::settle(std::int64_t known) {
    while (!open_.empty() && (open_.front().ended || open_.front().to <= known)) {
        measure(open_.front());
        open_.pop_front();
    }
}

void NoteLevels::measure(const Note& note) {
    const std::int64_t oldest = written_ - static_cast<std::int64_t>(ring_.size());
    const std::int64_t from = std::max(note.from, oldest);
    const std::int64_t to = std::min(note.to, written_);
    float highest = 0.0f;
    for (std::int64_t frame = from; frame < to; ++frame) {
        highest = std::max(highest, ring_[static_cast<std::size_t>(frame) & (ring_.size() - 1)]);
    }
    levels_[note.index] = highest;
}

} // namespace zcli

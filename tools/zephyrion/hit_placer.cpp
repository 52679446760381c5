// Notes on the hits, placed by the tool.
#include "tools/zephyrion/hit_placer.h"

#include "plugin/engine/HitAligner.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace zcli {

namespace {

constexpr double kLookPastSeconds = 0.01;

} // namespace

MonoHistory::MonoHistory(std::size_t frames) : ring_(std::bit_ceil(std::max<std::size_t>(frames, 1))) {}

void MonoHistory::add(const float* left, const float* right, std::size_t frames) {
    for (std::size_t i = 0; i < frames; ++i) {
        const float sum = 0.5f * (left[i] + right[i]);
        // As in the plug-in, a broken sample counts as silence.
        push(std::isfinite(sum) ? sum : 0.0f);
    }
}

void MonoHistory::addSilence(std::size_t frames) {
    for (std::size_t i = 0; i < frames; ++i) {
        push(0.0f);
    }
}

void MonoHistory::push(float sample) {
    ring_[static_cast<std::size_t>(end_++) & (ring_.size() - 1)] = sample;
}

void MonoHistory::copy(std::int64_t from, std::size_t count, float* out) const {
    const std::int64_t kept = end_ - static_cast<std::int64_t>(ring_.size());
    const std::size_t mask = ring_.size() - 1;
    for (std::size_t i = 0; i < count; ++i) {
        const std::int64_t at = from + static_cast<std::int64_t>(i);
        out[i] = at >= 0 && at >= kept && at < end_ ? ring_[static_cast<std::size_t>(at) & mask] : 0.0f;
    }
}

HitPlacer::HitPlacer(double sampleRate, int blockSize, Placement placement)
    : finder_(static_cast<float>(sampleRate)),
      lookBack_(zephyrion::HitAligner::latencyFor(static_cast<float>(sampleRate))),
      lookPast_(static_cast<std::int32_t>(std::lround(kLookPastSeconds * sampleRate))), blockSize_(blockSize),
      inHighs_(placement == Placement::OnHitsInHighs) {
    const auto window = static_cast<std::size_t>(finder_.warmUp() + lookBack_ + lookPast_ + 1);
    mono_.resize(window);
    broad_.resize(window);
    low_.resize(window);
    other_.resize(window);
}

std::size_t HitPlacer::historyFrames() const {
    // A note-on waits for the input to reach past it; the history must still hold its look back then.
    return mono_.size() + static_cast<std::size_t>(blockSize_);
}

void HitPlacer::place(std::vector<MidiEvent>& events, const MonoHistory& history, bool ended) {
    for (; next_ < events.size(); ++next_) {
        MidiEvent& event = events[next_];
        const std::pair<int, int> key{event.channel(), event.data1};
        std::int64_t at = event.position;
        if (event.startsNote()) {
            if (!ended && at + lookPast_ >= history.end()) {
                return;
            }
            const std::int64_t first = at - lookBack_;
            history.copy(first - finder_.warmUp(), mono_.size(), mono_.data());
            const std::int32_t last = lookBack_ + lookPast_;
            const std::int64_t start =
                first + (inHighs_ ? finder_.findInHighs(mono_.data(), lookBack_, last, broad_.data(),
                                                        low_.data(), other_.data())
                                  : finder_.find(mono_.data(), lookBack_, last, broad_.data(), low_.data(),
                                                 other_.data()));
            shifts_[key] = start - at;
            at = start;
        } else if (event.endsNote()) {
            const auto shift = shifts_.find(key);
            at += shift == shifts_.end() ? 0 : shift->second;
        }
        at = std::max(at, lastPosition_);
        lastPosition_ = at;
        event.position = at;
    }
}

} // namespace zcli

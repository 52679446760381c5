// The tool's own lookahead: where it moves each event, and when.
#include "tools/zephyrion/hit_placer.h"

#include "tests/support/Signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace zcli_test {
namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;

zcli::MidiEvent noteOn(std::int64_t at) {
    return {at, 0x99, 36, 100};
}

zcli::MidiEvent noteOff(std::int64_t at) {
    return {at, 0x89, 36, 0};
}

TEST(HitPlacer, MovesNotesToTheirHitsInOrderOnceItHasHeardPastThem) {
    // 1 kHz bursts sounding from samples 3001 and 7701; their levels cross later, where the notes arose.
    std::vector<float> input = testsupport::burst(20000, 3000, 2000, 1000.0, kRate, 0.8f);
    const std::vector<float> second = testsupport::burst(20000, 7700, 2000, 1000.0, kRate, 0.8f);
    std::transform(input.begin(), input.end(), second.begin(), input.begin(), std::plus<>());
    zcli::HitPlacer placer(kRate, kBlock, zcli::Placement::OnHits);
    zcli::MonoHistory history(placer.historyFrames());
    std::vector<zcli::MidiEvent> events{noteOff(2900), noteOn(3300), noteOff(8100), noteOn(8000),
                                        noteOff(9000)};

    history.add(input.data(), input.data(), 3600);
    placer.place(events, history, false);
    EXPECT_EQ(events[0].position, 2900);
    EXPECT_EQ(events[1].position, 3300) << "waits for 10 ms past the crossing";

    history.add(input.data() + 3600, input.data() + 3600, 512);
    placer.place(events, history, false);
    EXPECT_EQ(events[1].position, 3001) << "on the burst's first sound";
    EXPECT_EQ(events[2].position, 7801) << "the note keeps its length";

    // The second hit began before the first note ended: its note-on goes no earlier than that end.
    for (std::int64_t at = history.end(); at < 12000; at += kBlock) {
        history.add(input.data() + at, input.data() + at, kBlock);
        placer.place(events, history, false);
    }
    EXPECT_EQ(events[3].position, 7801);
    EXPECT_EQ(events[4].position, 9000 - (8000 - 7701));
}

TEST(HitPlacer, PlacesAHiHatOverADecayingBodyByItsHighs) {
    // An 8 kHz burst from sample 5001 over a 60 Hz body that sounds throughout: the body's zero crossings
    // look like pauses to the whole input, so only the highs show where the hi-hat began.
    std::vector<float> input = testsupport::burst(12000, 5000, 2000, 8000.0, kRate, 0.8f);
    for (std::size_t i = 0; i < input.size(); ++i) {
        input[i] += 0.3f * static_cast<float>(std::sin(2.0 * std::numbers::pi * 60.0 * double(i) / kRate));
    }
    zcli::HitPlacer placer(kRate, kBlock, zcli::Placement::OnHitsInHighs);
    zcli::MonoHistory history(placer.historyFrames());
    std::vector<zcli::MidiEvent> events{noteOn(5100)};
    for (std::size_t at = 0; at < input.size(); at += kBlock) {
        history.add(input.data() + at, input.data() + at, std::min<std::size_t>(kBlock, input.size() - at));
        placer.place(events, history, false);
    }
    EXPECT_GE(events[0].position, 4996);
    EXPECT_LE(events[0].position, 5010);
}

} // namespace
} // namespace zcli_test

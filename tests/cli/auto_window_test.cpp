// --auto's choice of a window from a band's level, and the trace it reads the level from.
#include "tools/zephyrion/auto_window.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zcli_test {
namespace {

constexpr double kRate = 44100.0;
constexpr std::int64_t kHold = 255; // Falloff 0.95
constexpr double kFloorDb = -60.0;

struct Hit {
    double seconds;
    double peakDb;
};

// Each hit jumps to its peak and falls with a 20 ms half-life; the level never falls below the floor.
zcli::LevelTrace traceOf(const std::vector<Hit>& hits, double seconds) {
    std::vector<float> levels(static_cast<std::size_t>(seconds * kRate));
    for (std::size_t i = 0; i < levels.size(); ++i) {
        double level = std::pow(10.0, kFloorDb / 20.0);
        for (const Hit& hit : hits) {
            const double since = static_cast<double>(i) / kRate - hit.seconds;
            if (since >= 0.0) {
                level = std::max(level, std::pow(10.0, hit.peakDb / 20.0) * std::pow(0.5, since / 0.020));
            }
        }
        levels[i] = static_cast<float>(level);
    }
    zcli::LevelTrace trace;
    // Blocks whose size is no multiple of the stretch.
    for (std::size_t at = 0; at < levels.size(); at += 500) {
        trace.add(levels.data() + at, std::min<std::size_t>(500, levels.size() - at));
    }
    return trace;
}

// `count` hits from `start`, `every` seconds apart, their peaks stepping down from `loudestDb` by `stepDb`.
std::vector<Hit> hitsOf(int count, double start, double every, double loudestDb, double stepDb) {
    std::vector<Hit> hits;
    for (int i = 0; i < count; ++i) {
        hits.push_back({start + i * every, loudestDb - stepDb * (i % 4)});
    }
    return hits;
}

std::vector<Hit> joined(std::vector<Hit> a, const std::vector<Hit>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(CliAutoWindow, TheBoundPartsAGroupOfHitsFromWhatLiesBelow) {
    // Kicks (-6 to -9 dBFS) between which a snare's bleed (-30 to -33 dBFS) reaches the band; hi-hats every
    // eighth (-24 to -27) under a loud snare's bleed on every fourth (-6 dBFS); hits 60 ms apart, whose level
    // between them stays about 18 dB under their peaks.
    const std::vector<Hit> kicks = hitsOf(8, 0.1, 0.5, -6.0, 1.0);
    const std::vector<Hit> bleed = hitsOf(8, 0.35, 0.5, -30.0, 1.0);
    const std::vector<Hit> hats = hitsOf(16, 0.1, 0.25, -24.0, 1.0);
    const std::vector<Hit> snares = hitsOf(4, 0.1, 1.0, -6.0, 0.0);
    const std::vector<Hit> fast = hitsOf(20, 0.1, 0.06, -10.0, 1.0);
    const struct {
        const char* what;
        std::vector<Hit> hits;
        zcli::HitGroup group;
        int notes;        // 0: no window
        double lowestDb;  // the bound lies above
        double highestDb; // and below
    } cases[] = {
        {"the kicks above their bleed", joined(kicks, bleed), zcli::HitGroup::Loudest, 8, -30.0, -9.0},
        {"kicks and bleed, the most notes", joined(kicks, bleed), zcli::HitGroup::Most, 16, -60.0, -30.0},
        {"the loud bleed alone", joined(hats, snares), zcli::HitGroup::Loudest, 4, -24.0, -6.0},
        {"every hi-hat, however quiet", joined(hats, snares), zcli::HitGroup::Most, 16, -60.0, -27.0},
        {"fast hits: above the level between them", fast, zcli::HitGroup::Loudest, 20, -31.0, -13.0},
        {"two hits are too few", hitsOf(2, 0.1, 0.5, -6.0, 0.0), zcli::HitGroup::Loudest, 0, 0.0, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<zcli::ChosenWindow> window =
            zcli::chooseWindow(traceOf(c.hits, 4.5), kHold, c.group);
        if (c.notes == 0) {
            EXPECT_FALSE(window);
            continue;
        }
        ASSERT_TRUE(window);
        EXPECT_EQ(window->notes, c.notes);
        const double boundDb = 20.0 * std::log10(static_cast<double>(window->lowerBound));
        EXPECT_GT(boundDb, c.lowestDb);
        EXPECT_LT(boundDb, c.highestDb);
        EXPECT_NEAR(boundDb, (window->lowestDb + window->highestDb) / 2.0, 0.01);
        EXPECT_GE(window->highestDb - window->lowestDb + zcli::kBoundStepDb, zcli::kClearRangeDb);
    }
}

TEST(CliAutoWindow, TheTraceKeepsEachStretchsHighestLevel) {
    std::vector<float> levels(200, 0.1f);
    levels[40] = 0.5f;  // second stretch
    levels[130] = 0.7f; // fifth
    zcli::LevelTrace trace;
    trace.add(levels.data(), 50);
    trace.add(levels.data() + 50, 150);
    EXPECT_EQ(trace.stretches(), (std::vector<float>{0.1f, 0.5f, 0.1f, 0.1f, 0.7f, 0.1f, 0.1f}));
    EXPECT_EQ(trace.highest(0, 32), 0.1f);
    EXPECT_EQ(trace.highest(20, 20), 0.5f);   // touches the second stretch
    EXPECT_EQ(trace.highest(-50, 300), 0.7f); // clipped to the trace
    EXPECT_EQ(trace.highest(400, 10), 0.0f);
}

} // namespace
} // namespace zcli_test

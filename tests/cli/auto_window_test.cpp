// --auto's choice of a window from a band's level peaks.
#include "tools/zephyrion/auto_window.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zcli_test {
namespace {

float level(double decibels) {
    return static_cast<float>(std::pow(10.0, decibels / 20.0));
}

double decibels(float level) {
    return 20.0 * std::log10(static_cast<double>(level));
}

TEST(CliAutoWindow, PeaksAreTheHighestLevelsWithinTheirSpacing) {
    constexpr double kRate = 44100.0;
    // Three hits, each rising at once and falling slowly with a ripple, the second followed 5 ms later by a
    // smaller rise that belongs to it, over a faint floor.
    std::vector<float> levels(44100, 1e-5f);
    const std::vector<std::pair<std::size_t, float>> hits{{1000, 0.5f}, {15000, 0.8f}, {30000, 0.3f}};
    for (const auto& [start, peak] : hits) {
        for (std::size_t i = 0; i < 8000; ++i) {
            const double ripple = 1.0 + 0.05 * std::sin(static_cast<double>(i) * 0.01);
            levels[start + i] =
                static_cast<float>(peak * std::exp(-static_cast<double>(i) / 2000.0) * ripple);
        }
    }
    levels[15000 + 220] = 0.85f;
    zcli::LevelPeaks peaks(kRate);
    for (std::size_t at = 0; at < levels.size(); at += 512) {
        peaks.add(levels.data() + at, std::min<std::size_t>(512, levels.size() - at));
    }
    const std::vector<zcli::LevelPeak> found = peaks.finish();
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0], (zcli::LevelPeak{0.5f, 1e-5f}));
    EXPECT_EQ(found[1].level, 0.85f);
    EXPECT_EQ(found[2].level, 0.3f);
    // Between two hits the level falls to what is left of the first when the second begins.
    EXPECT_NEAR(found[2].valleyBefore, 0.85f * std::exp(-(30000.0 - 15000.0 - 220.0) / 2000.0), 0.002);
}

TEST(CliAutoWindow, TheHitsAreTheLoudestGroupAboveTheFirstWideStep) {
    struct Case {
        const char* name;
        std::vector<double> peaksDb;
        int hits; // 0: no window
        double quietestHitDb;
        double loudestRestDb;
        double valleyDb = -200.0; // before every peak
        double boundDb = 0.0;     // 0: the middle of the step
    };
    std::vector<double> mixed;
    for (int i = 0; i < 10; ++i) {
        mixed.push_back(-8.0 - 0.4 * i);  // hits, -8 to -11.6
        mixed.push_back(-24.0 - 0.5 * i); // bleed, -24 to -28.5
    }
    for (int i = 0; i < 200; ++i) {
        mixed.push_back(-60.0 - 0.01 * i); // noise
    }
    std::vector<double> outlier{0.0};
    for (int i = 0; i < 10; ++i) {
        outlier.push_back(-10.0 - 0.3 * i);
    }
    const std::vector<Case> cases{
        {"hits, bleed and noise", mixed, 10, -11.6, -24.0},
        {"hits over silence", {-6.0, -6.5, -7.0, -7.5, -8.0}, 5, -8.0, zcli::kPeakFloorDb},
        {"one loud stray peak is no group", outlier, 11, -12.7, zcli::kPeakFloorDb},
        {"no step wide enough: the widest",
         {-50.0, -52.0, -56.0, -59.0, -61.0, -63.0, -66.0, -68.0},
         3,
         -56.0,
         -59.0},
        {"too few peaks", {-6.0, -20.0, -90.0}, 0, 0.0, 0.0},
        {"fast hits: above the level between them",
         {-6.0, -6.5, -7.0, -7.5, -8.0},
         5,
         -8.0,
         zcli::kPeakFloorDb,
         -20.0,
         -19.0},
        {"but never above the quietest hit",
         {-6.0, -6.5, -7.0, -7.5, -8.0},
         5,
         -8.0,
         zcli::kPeakFloorDb,
         -8.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<zcli::LevelPeak> peaks;
        for (const double db : c.peaksDb) {
            peaks.push_back({level(db), level(c.valleyDb)});
        }
        const std::optional<zcli::ChosenWindow> window = zcli::chooseWindow(peaks);
        if (c.hits == 0) {
            EXPECT_FALSE(window);
            continue;
        }
        ASSERT_TRUE(window);
        EXPECT_EQ(window->hits, c.hits);
        EXPECT_NEAR(window->quietestHitDb, c.quietestHitDb, 1e-4);
        EXPECT_NEAR(window->loudestRestDb, c.loudestRestDb, 1e-4);
        const double bound = c.boundDb != 0.0 ? c.boundDb : (c.quietestHitDb + c.loudestRestDb) / 2.0;
        EXPECT_NEAR(decibels(window->lowerBound), bound, 1e-3);
        EXPECT_EQ(window->raisedForValleys, c.boundDb != 0.0);
    }
}

} // namespace
} // namespace zcli_test

// The plot, its axis labels, the progress line and the demo's groove: what a user would see go wrong.
#include "tools/zephyrion/drum_groove.h"
#include "tools/zephyrion/plot.h"
#include "tools/zephyrion/progress_bar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace zcli_test {
namespace {

constexpr int kLaneTop = 332;
constexpr int kLaneBottom = 431;

// Topmost row of the note lane in this column that is not the lane's background, or -1.
int barTop(const ui::PixelMap& canvas, int x, ui::Color background) {
    for (int y = kLaneTop; y <= kLaneBottom; ++y) {
        if (canvas.pixel(x, y) != background) {
            return y;
        }
    }
    return -1;
}

TEST(CliPlot, NotesAreBarsWhoseHeightShowsVelocity) {
    zcli::WaveformSummary waveform(100000, zcli::kPlotWidth);
    const std::vector<zcli::MidiEvent> events{
        {10000, 0x90, 60, 127}, {20000, 0x80, 60, 0}, {60000, 0x90, 60, 40}, {70000, 0x80, 60, 0}};
    zcli::PlotData data;
    data.waveform = &waveform;
    data.endPosition = 100000;
    data.events = &events;
    const ui::PixelMap canvas = zcli::renderPlot(data);
    ASSERT_EQ(canvas.width(), zcli::kPlotWidth);
    ASSERT_EQ(canvas.height(), zcli::kPlotHeight);

    const auto column = [](std::int64_t position) {
        return 48 + static_cast<int>(std::lrint(position / 100000.0 * (zcli::kPlotWidth - 17 - 48)));
    };
    const ui::Color background = canvas.pixel(column(45000), kLaneBottom);
    const int loud = barTop(canvas, column(15000), background);
    const int soft = barTop(canvas, column(65000), background);
    const int none = barTop(canvas, column(40000), background);
    ASSERT_GE(loud, 0);
    ASSERT_GE(soft, 0);
    EXPECT_LT(loud, soft) << "the louder note stands taller";
    EXPECT_NE(canvas.pixel(column(15000), 430), canvas.pixel(column(65000), 430)) << "and has another colour";
    EXPECT_EQ(none, -1) << "nothing between the notes";
}

TEST(CliPlot, WaveformAndWindowBounds) {
    zcli::WaveformSummary waveform(1000, 100);
    std::vector<float> left(1000, 0.0f);
    left[500] = 1.6f; // (1.6 + 0) x 0.5 = 0.8 on the plug-in's scale
    waveform.add(left.data(), std::vector<float>(1000, 0.0f).data(), left.size(), 0.5f);
    EXPECT_FLOAT_EQ(waveform.maximum(50), 0.8f);
    EXPECT_FLOAT_EQ(waveform.maximum(49), 0.0f);

    zcli::PlotData data;
    data.waveform = &waveform;
    data.endPosition = 1000;
    data.window = zcli::AmplitudeWindow{0.6f, 1.0f};
    const ui::PixelMap withWindow = zcli::renderPlot(data);
    data.window.reset();
    const ui::PixelMap without = zcli::renderPlot(data);
    // Level 0.7 lies inside the window band, and 0.3 outside it; the middle of the area is level 0.
    const int middle = (16 + 315) / 2;
    const int inside = middle - static_cast<int>(0.7 * 299 / 2);
    const int outside = middle - static_cast<int>(0.3 * 299 / 2);
    EXPECT_NE(withWindow.pixel(100, inside), without.pixel(100, inside));
    EXPECT_EQ(withWindow.pixel(100, outside), without.pixel(100, outside));
    // The peak reaches from the middle up to 0.8 in its column, not beyond.
    const int peakColumn = 48 + 573; // sample 505 of 1000
    const ui::Color wave = without.pixel(peakColumn, middle - static_cast<int>(0.75 * 299 / 2));
    EXPECT_NE(wave, without.pixel(peakColumn - 40, middle - static_cast<int>(0.75 * 299 / 2)));
    EXPECT_NE(without.pixel(peakColumn, middle - static_cast<int>(0.85 * 299 / 2)), wave);
}

// Every label sits under its tick in the toolkit's font: "0s" to "9s" for nine seconds, a tick a second.
TEST(CliPlot, TimeAxisIsLabelledUnderItsTicks) {
    zcli::PlotData data;
    data.sampleRate = 1000.0;
    data.endPosition = 9000;
    const ui::PixelMap canvas = zcli::renderPlot(data);
    const auto inkIn = [&](int left, int right) {
        int ink = 0;
        for (int y = 446; y < zcli::kPlotHeight; ++y) {
            for (int x = std::max(left, 0); x <= std::min(right, zcli::kPlotWidth - 1); ++x) {
                ink += canvas.pixel(x, y) != canvas.pixel(0, zcli::kPlotHeight - 1) ? 1 : 0;
            }
        }
        return ink;
    };
    const double secondWidth = (zcli::kPlotWidth - 17 - 48) / 9.0;
    for (int second = 0; second <= 9; ++second) {
        const int tick = 48 + static_cast<int>(std::lrint(second * secondWidth));
        EXPECT_GT(inkIn(tick - 8, tick + 8), 20) << second << " s";
        EXPECT_EQ(inkIn(tick + 30, tick + 90), 0) << "between " << second << " s and the next";
    }
}

TEST(CliProgressLine, PercentSpeedAndTimeLeft) {
    // A quarter of 100 s of audio in 1 s: 25 times real time, 3 s left.
    const std::string line = zcli::progressLine(1'102'500, 4'410'000, 44100.0, 1.0);
    EXPECT_EQ(line, "[#######                       ]  25%  25.0x real time  0:03 left");
    EXPECT_EQ(zcli::progressLine(10, 10, 44100.0, 0.0), "[##############################] 100%");
}

TEST(CliDrumGroove, HitsStartWhereTheListSays) {
    const zcli::DrumGroove groove = zcli::synthesiseGroove(44100.0);
    ASSERT_EQ(groove.hits.size(), 16u);
    EXPECT_EQ(std::count_if(groove.hits.begin(), groove.hits.end(),
                            [](const zcli::DrumHit& hit) { return hit.drum == zcli::Drum::Kick; }),
              6);
    for (const zcli::DrumHit& hit : groove.hits) {
        const auto start = static_cast<std::size_t>(hit.position);
        float before = 0.0f;
        for (std::size_t i = start >= 200 ? start - 200 : 0; i < start; ++i) {
            before = std::max(before, std::abs(groove.samples[i]));
        }
        float after = 0.0f;
        for (std::size_t i = start; i < start + 2000; ++i) {
            after = std::max(after, std::abs(groove.samples[i]));
        }
        EXPECT_LT(before, 0.05f) << zcli::drumName(hit.drum) << " at " << hit.position;
        EXPECT_GT(after, 0.5f * hit.strength) << zcli::drumName(hit.drum) << " at " << hit.position;
    }
    EXPECT_EQ(zcli::synthesiseGroove(44100.0).samples, groove.samples) << "the same groove on every run";
}

} // namespace
} // namespace zcli_test

// The plot, its axis labels, the progress line and the demo's groove: what a user would see go wrong.
#include "plugin/parameters.h"
#include "tests/cli/tool_harness.h"
#include "tests/support/PluginPath.h"
#include "tools/zephyrion/audio_reader.h"
#include "tools/zephyrion/converter.h"
#include "tools/zephyrion/drum_groove.h"
#include "tools/zephyrion/plot.h"
#include "tools/zephyrion/plugin_host.h"
#include "tools/zephyrion/progress_bar.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace zcli_test {
namespace {

constexpr std::int64_t kEnd = 100000;

int columnOf(std::int64_t position) {
    return zcli::kPlotLeft +
           static_cast<int>(std::lrint(static_cast<double>(position) / kEnd * (zcli::kPlotColumns - 1)));
}

// The scale worked out here: 0 dBFS on the lane's top row of levels, -60 dBFS on its bottom row.
int rowOfLevel(float level, const zcli::LaneRows& rows) {
    const double db = 20.0 * std::log10(static_cast<double>(level));
    return rows.levelTop + static_cast<int>(std::lrint(-db / 60.0 * (rows.levelBottom - rows.levelTop)));
}

// A band's level: `level` over frames from..to of kEnd, nothing elsewhere.
zcli::LevelSummary levelOf(float level, std::int64_t from, std::int64_t to) {
    zcli::LevelSummary summary(kEnd, zcli::kPlotColumns);
    std::vector<float> levels(kEnd, 0.0f);
    std::fill(levels.begin() + from, levels.begin() + to, level);
    summary.add(levels.data(), levels.size());
    return summary;
}

bool inks(const ui::PixelMap& picture, int x0, int y0, int x1, int y1, ui::Color background) {
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            if (picture.pixel(x, y) != background) {
                return true;
            }
        }
    }
    return false;
}

TEST(CliPlot, ALaneForEachBandWithItsNameAndAReadableHeight) {
    const zcli::LevelSummary level = levelOf(0.5f, 0, 10);
    for (const std::size_t count : {1u, 3u, 12u}) {
        SCOPED_TRACE(count);
        zcli::PlotData data;
        data.endPosition = kEnd;
        for (std::size_t lane = 0; lane < count; ++lane) {
            data.lanes.push_back({lane % 2 == 0 ? "kick" : "", &level, std::nullopt, nullptr, nullptr});
        }
        const ui::PixelMap picture = zcli::renderPlot(data);
        ASSERT_EQ(picture.height(), zcli::plotHeight(count));
        for (std::size_t lane = 0; lane < count; ++lane) {
            const zcli::LaneRows rows = zcli::laneRows(count, lane);
            EXPECT_GE(rows.levelBottom - rows.levelTop, 79) << lane;
            EXPECT_LT(rows.noteBottom, picture.height() - 20) << "the time axis fits under the last lane";
            if (lane > 0) {
                EXPECT_GT(rows.top, zcli::laneRows(count, lane - 1).noteBottom);
            }
            EXPECT_EQ(inks(picture, zcli::kPlotLeft, rows.top, zcli::kPlotLeft + 40, rows.levelTop - 1,
                           picture.pixel(0, 0)),
                      lane % 2 == 0)
                << "the band's name on lane " << lane;
        }
    }
    EXPECT_LT(zcli::plotHeight(4), 1000) << "a kit's four bands fit a screen";
}

TEST(CliPlot, LevelAndWindowBoundsSitOnTheDecibelScale) {
    const struct {
        const char* what;
        zcli::AmplitudeWindow window;
        float level;
    } cases[] = {
        {"the kick preset's window, -16.5 to 0 dBFS", {0.15f, 1.0f}, 0.5f},
        {"a narrow window low down", {0.01f, 0.1f}, 0.03f},
        {"an inverted window", {0.5f, 0.1f}, 0.2f},
    };
    const zcli::LaneRows rows = zcli::laneRows(1, 0);
    const auto greenish = [](ui::Color c) { return ui::greenOf(c) - ui::redOf(c) > 60; };
    const auto reddish = [](ui::Color c) { return ui::redOf(c) - ui::greenOf(c) > 60; };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const zcli::LevelSummary level = levelOf(c.level, 40000, 60000);
        zcli::PlotData data;
        data.endPosition = kEnd;
        data.lanes.push_back({"snare", &level, c.window, nullptr, nullptr});
        const ui::PixelMap picture = zcli::renderPlot(data);
        // The first dash of each bound, left of the level.
        const int x = zcli::kPlotLeft + 2;
        const int lower = rowOfLevel(c.window.lower, rows);
        const int upper = rowOfLevel(c.window.upper, rows);
        EXPECT_TRUE(greenish(picture.pixel(x, lower))) << "lower bound on row " << lower;
        EXPECT_TRUE(reddish(picture.pixel(x, upper))) << "upper bound on row " << upper;
        for (const int off : {-2, 2}) {
            EXPECT_FALSE(greenish(picture.pixel(x, lower + off)));
            EXPECT_FALSE(reddish(picture.pixel(x, upper + off)));
        }
        // The level fills its columns from the floor up to its row, and nothing where the band was silent.
        const int top = rowOfLevel(c.level, rows);
        const int middle = columnOf(50000);
        const ui::Color fill = picture.pixel(middle, rows.levelBottom - 1);
        EXPECT_EQ(picture.pixel(middle, top + 2), fill);
        EXPECT_NE(picture.pixel(middle, top - 2), fill);
        EXPECT_NE(picture.pixel(columnOf(20000), rows.levelBottom - 1), fill);
    }
}

TEST(CliPlot, NotesAndTrueHitsInTheirBandsLane) {
    const std::vector<zcli::MidiEvent> kick{{10000, 0x99, 36, 127}, {20000, 0x89, 36, 0}};
    const std::vector<zcli::MidiEvent> snare{{60000, 0x99, 38, 40}, {70000, 0x89, 38, 0}};
    const std::vector<double> kickHits{0.5};
    const std::vector<double> snareHits{};
    zcli::PlotData data;
    data.endPosition = kEnd;
    data.lanes = {{"kick", nullptr, std::nullopt, &kick, &kickHits},
                  {"snare", nullptr, std::nullopt, &snare, &snareHits}};
    const ui::PixelMap picture = zcli::renderPlot(data);
    const zcli::LaneRows kickRows = zcli::laneRows(2, 0);
    const zcli::LaneRows snareRows = zcli::laneRows(2, 1);
    // Topmost row of a lane's note strip in this column that is not the strip's background, or -1.
    const auto barTop = [&](const zcli::LaneRows& rows, std::int64_t position) {
        const ui::Color background = picture.pixel(columnOf(45000), rows.noteBottom);
        for (int y = rows.noteTop; y <= rows.noteBottom; ++y) {
            if (picture.pixel(columnOf(position), y) != background) {
                return y - rows.noteTop;
            }
        }
        return -1;
    };
    ASSERT_GE(barTop(kickRows, 15000), 0);
    ASSERT_GE(barTop(snareRows, 65000), 0);
    EXPECT_EQ(barTop(snareRows, 15000), -1);
    EXPECT_EQ(barTop(kickRows, 65000), -1);
    EXPECT_LT(barTop(kickRows, 15000), barTop(snareRows, 65000)) << "the louder note stands taller";
    EXPECT_NE(picture.pixel(columnOf(15000), kickRows.noteBottom),
              picture.pixel(columnOf(65000), snareRows.noteBottom))
        << "and has another colour";

    const auto ticked = [&](const zcli::LaneRows& rows, std::int64_t position) {
        const int x = columnOf(position);
        return inks(picture, x, rows.hitTop, x, rows.hitBottom, picture.pixel(x + 30, rows.hitTop));
    };
    EXPECT_TRUE(ticked(kickRows, 22050)) << "0.5 s at 44.1 kHz";
    EXPECT_FALSE(ticked(snareRows, 22050));
    EXPECT_FALSE(ticked(kickRows, 40000));
}

// Another plug-in gives no level: its lane shows the input in full, where Zephyrion's shows it faintly.
TEST(CliPlot, WithoutALevelTheInputStandsInForIt) {
    zcli::WaveformSummary waveform(kEnd, zcli::kPlotColumns);
    std::vector<float> left(kEnd, 0.0f);
    left[50000] = 1.0f; // (1 + 0) x 0.5: -6 dBFS
    waveform.add(left.data(), std::vector<float>(kEnd, 0.0f).data(), left.size(), 0.5f);
    const zcli::LevelSummary silent = levelOf(0.0f, 0, 0);
    zcli::PlotData data;
    data.waveform = &waveform;
    data.endPosition = kEnd;
    data.lanes = {{"a", nullptr, std::nullopt, nullptr, nullptr},
                  {"b", &silent, zcli::AmplitudeWindow{}, nullptr, nullptr}};
    const ui::PixelMap picture = zcli::renderPlot(data);
    const int x = columnOf(50000);
    ui::Color shown[2];
    for (std::size_t lane = 0; lane < 2; ++lane) {
        const zcli::LaneRows rows = zcli::laneRows(2, lane);
        const int top = rowOfLevel(0.5f, rows);
        shown[lane] = picture.pixel(x, top + 2);
        EXPECT_NE(shown[lane], picture.pixel(x + 20, top + 2)) << lane;
        EXPECT_EQ(picture.pixel(x, top - 2), picture.pixel(x + 20, top - 2)) << lane;
    }
    const auto darkness = [](ui::Color c) { return 765 - ui::redOf(c) - ui::greenOf(c) - ui::blueOf(c); };
    EXPECT_GT(darkness(shown[0]), darkness(shown[1]) + 100);
}

// Each frame goes to the stretch floor(frame x columns / frames), whatever blocks it comes in.
TEST(CliPlot, SummariesKeepEachStretchsExtremesWhateverTheBlocks) {
    for (const auto& [frames, columns] : {std::pair<std::int64_t, int>{1000, 7}, {5, 12}, {100000, 1119}}) {
        std::vector<float> signal(static_cast<std::size_t>(frames));
        for (std::size_t i = 0; i < signal.size(); ++i) {
            signal[i] = static_cast<float>(std::sin(0.37 * static_cast<double>(i * i % 977)));
        }
        std::vector<float> lowest(static_cast<std::size_t>(columns), 0.0f);
        std::vector<float> highest(static_cast<std::size_t>(columns), 0.0f);
        for (std::int64_t i = 0; i < frames; ++i) {
            const auto column = static_cast<std::size_t>(i * columns / frames);
            lowest[column] = std::min(lowest[column], signal[static_cast<std::size_t>(i)]);
            highest[column] = std::max(highest[column], signal[static_cast<std::size_t>(i)]);
        }
        for (const std::size_t block : {std::size_t{1}, std::size_t{7}, std::size_t{512}, signal.size()}) {
            SCOPED_TRACE(std::to_string(frames) + " frames in blocks of " + std::to_string(block));
            zcli::WaveformSummary waveform(frames, columns);
            zcli::LevelSummary level(frames, columns);
            const std::vector<float> silence(signal.size(), 0.0f);
            for (std::size_t at = 0; at < signal.size(); at += block) {
                const std::size_t count = std::min(block, signal.size() - at);
                waveform.add(signal.data() + at, silence.data() + at, count, 1.0f);
                level.add(signal.data() + at, count);
            }
            for (int column = 0; column < columns; ++column) {
                EXPECT_EQ(waveform.minimum(column), lowest[static_cast<std::size_t>(column)]) << column;
                EXPECT_EQ(waveform.maximum(column), highest[static_cast<std::size_t>(column)]) << column;
                EXPECT_EQ(level.highest(column), highest[static_cast<std::size_t>(column)]) << column;
            }
        }
    }
}

// Every label sits under its tick in the toolkit's font: "0s" to "9s" for nine seconds, a tick a second.
TEST(CliPlot, TimeAxisIsLabelledUnderItsTicks) {
    zcli::PlotData data;
    data.sampleRate = 1000.0;
    data.endPosition = 9000;
    const ui::PixelMap canvas = zcli::renderPlot(data);
    const int labels = zcli::laneRows(1, 0).noteBottom + 12;
    const auto inkIn = [&](int left, int right) {
        int ink = 0;
        for (int y = labels; y < canvas.height(); ++y) {
            for (int x = std::max(left, 0); x <= std::min(right, zcli::kPlotWidth - 1); ++x) {
                ink += canvas.pixel(x, y) != canvas.pixel(0, canvas.height() - 1) ? 1 : 0;
            }
        }
        return ink;
    };
    const double secondWidth = (zcli::kPlotColumns - 1) / 9.0;
    for (int second = 0; second <= 9; ++second) {
        const int tick = zcli::kPlotLeft + static_cast<int>(std::lrint(second * secondWidth));
        EXPECT_GT(inkIn(tick - 8, tick + 8), 20) << second << " s";
        EXPECT_EQ(inkIn(tick + 30, tick + 90), 0) << "between " << second << " s and the next";
    }
}

// The levels come per input frame, even with the lookahead delaying the notes; another plug-in gives none.
TEST(CliPlot, EachInstanceGivesItsHighestLevelPerColumn) {
    TempFolder folder;
    const std::string path = folder.path("click.wav");
    writeWav(path, {clicks(44100, {20000}, 0.9f), clicks(44100, {20000}, 0.9f)}, 44100);
    for (const auto& [library, gives] :
         {std::pair{testsupport::pluginPath(), true},
          {testsupport::moduleBesideExecutable("host_test_both_entries"), false}}) {
        SCOPED_TRACE(library);
        zcli::AudioReader input(path);
        const std::unique_ptr<vsthost::Plugin> plugin = zcli::loadPlugin(library, 44100.0f, 512);
        zcli::configurePlugin(*plugin, {}, 44100.0);
        if (gives) {
            plugin->setParameter(zephyrion::kLookahead, 1.0f);
        }
        zcli::ConversionSinks sinks;
        sinks.levelColumns = 100;
        const std::vector<zcli::Conversion> results =
            zcli::convertAudio({{&input, {plugin.get()}, {}}}, 512, sinks);
        plugin->close();
        ASSERT_EQ(results[0].levels.has_value(), gives);
        if (gives) {
            // 441 frames a column: the click is in column 45; before it, next to nothing (-120 dBFS).
            EXPECT_LT(results[0].levels->highest(44), 1e-6f);
            EXPECT_GT(results[0].levels->highest(45), 0.5f);
            EXPECT_GT(results[0].levels->highest(46), 0.0f) << "the envelope falls off after it";
        }
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

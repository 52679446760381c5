// Bleed between bands: the rule on made-up notes, each note's level from the stream of levels, and the tool
// run on hits that reach more than one band.
#include "tests/cli/tool_harness.h"
#include "tests/support/PluginPath.h"
#include "tests/support/Signals.h"
#include "tools/zephyrion/bleed.h"
#include "tools/zephyrion/note_levels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace zcli_test {
namespace {

using zcli::MidiEvent;

constexpr int kRate = 44100;

struct Note {
    std::int64_t position;
    float level; // in its first moments
};

// Each note 400 samples long on its own key, its note-off after it; `controls` adds a control change.
zcli::Conversion bandOf(int key, std::vector<Note> notes, bool controls = false) {
    // Levels come in the order of the note-ons.
    std::sort(notes.begin(), notes.end(),
              [](const Note& a, const Note& b) { return a.position < b.position; });
    zcli::Conversion conversion;
    conversion.noteLevels.emplace();
    for (const Note& note : notes) {
        conversion.events.push_back({note.position, 0x99, static_cast<std::uint8_t>(key), 100});
        conversion.events.push_back({note.position + 400, 0x89, static_cast<std::uint8_t>(key), 0});
        conversion.noteLevels->push_back(note.level);
    }
    if (controls) {
        conversion.events.push_back({1000, 0xB0, 7, 64});
    }
    std::stable_sort(conversion.events.begin(), conversion.events.end(),
                     [](const MidiEvent& a, const MidiEvent& b) { return a.position < b.position; });
    return conversion;
}

TEST(CliBleed, EachHitGoesToTheBandInWhichItStandsHighest) {
    // Each band's own notes elsewhere set where a hit stands among them: the kick's at 0.3, 0.8 and 0.9, the
    // snare's at 0.2, 0.5 and 0.6. A third band keeps its bleed and competes for nothing.
    const std::vector<Note> kickOwn{{10000, 0.8f}, {12000, 0.9f}, {14000, 0.3f}};
    const std::vector<Note> snareOwn{{20000, 0.5f}, {22000, 0.6f}, {24000, 0.2f}};
    const struct {
        const char* what;
        std::vector<Note> kick, snare, kept;
        std::vector<std::int64_t> kickLeft, snareLeft; // of the case's notes
    } cases[] = {
        {"a kick that reaches the snare", {{1000, 0.85f}}, {{1100, 0.4f}}, {}, {1000}, {}},
        {"a snare that reaches the kick", {{1100, 0.35f}}, {{1000, 0.65f}}, {}, {}, {1000}},
        {"a tie keeps both", {{1000, 0.85f}}, {{1000, 0.55f}}, {}, {1000}, {1000}},
        {"just over 5 ms apart", {{1000, 0.85f}}, {{1221, 0.4f}}, {}, {1000}, {1221}},
        {"a hit spans 5 ms from its first note",
         {{1000, 0.85f}, {1400, 0.35f}},
         {{1200, 0.4f}},
         {},
         {1000, 1400},
         {}},
        {"bleed=keep neither gives nor takes", {{1000, 0.35f}}, {}, {{1000, 1.0f}}, {1000}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Note> kickNotes = kickOwn;
        kickNotes.insert(kickNotes.end(), c.kick.begin(), c.kick.end());
        std::vector<Note> snareNotes = snareOwn;
        snareNotes.insert(snareNotes.end(), c.snare.begin(), c.snare.end());
        zcli::Conversion kick = bandOf(36, kickNotes);
        zcli::Conversion snare = bandOf(38, snareNotes);
        zcli::Conversion kept = bandOf(42, c.kept);
        // Control changes, with a loud note that would take every hit at 1000 were the band not left alone.
        zcli::Conversion controls = bandOf(7, {{1000, 1.0f}}, true);
        const std::vector<MidiEvent> controlEvents = controls.events;
        zcli::suppressBleed({{&kick}, {&snare}, {&kept, false}, {&controls}}, kRate);

        for (const auto& [band, left, own, all] : {std::tuple{&kick, c.kickLeft, kickOwn, c.kick},
                                                   std::tuple{&snare, c.snareLeft, snareOwn, c.snare}}) {
            std::vector<std::int64_t> expected = left;
            for (const Note& note : own) {
                expected.push_back(note.position);
            }
            std::sort(expected.begin(), expected.end());
            std::vector<std::int64_t> onsets;
            for (const MidiEvent& event : band->events) {
                if (event.startsNote()) {
                    onsets.push_back(event.position);
                } else {
                    EXPECT_EQ(event.position, onsets.back() + 400) << "each kept note-on keeps its note-off";
                }
            }
            EXPECT_EQ(onsets, expected);
            EXPECT_EQ(band->notesToOtherBands, static_cast<int>(all.size() - left.size()));
        }
        EXPECT_EQ(kept.events.size(), 2 * c.kept.size());
        EXPECT_FALSE(kept.notesToOtherBands);
        EXPECT_EQ(controls.events.size(), controlEvents.size());
        EXPECT_FALSE(controls.notesToOtherBands);
    }
}

TEST(CliBleed, ANotesLevelIsItsBandsHighestInItsFirstMoments) {
    // Levels rise by one per frame; events come `latency` frames after the input they belong to.
    constexpr std::int64_t kWindow = 50;
    constexpr std::int64_t kLatency = 30;
    constexpr std::size_t kBlock = 16;
    const std::vector<MidiEvent> all{
        {100 + kLatency, 0x90, 60, 100}, // its window ends at 150
        {300 + kLatency, 0x90, 60, 100}, // ended by its note-off at 320
        {320 + kLatency, 0x80, 60, 0},
        {395 + kLatency, 0x90, 61, 100}, // still open at the end, at 400
    };
    zcli::NoteLevels levels(kWindow, kLatency, kBlock);
    std::vector<MidiEvent> arrived;
    for (std::int64_t start = 0; start < 400 + kLatency; start += static_cast<std::int64_t>(kBlock)) {
        std::vector<float> block;
        for (std::int64_t frame = start; frame < start + static_cast<std::int64_t>(kBlock); ++frame) {
            block.push_back(static_cast<float>(frame < 400 ? frame : 0));
            for (const MidiEvent& event : all) {
                if (event.position == frame) {
                    arrived.push_back(event);
                }
            }
        }
        levels.add(block.data(), kBlock, arrived);
    }
    EXPECT_EQ(levels.finish(), (std::vector<float>{149.0f, 319.0f, 399.0f}));
}

// The tool on a mix of kick-like and snare-like hits with the kick and snare presets.
class CliBleedRun : public ::testing::Test {
protected:
    ToolRun convert(const std::vector<float>& mix, std::vector<std::string> options) {
        writeWav(input, {mix, mix}, kRate);
        std::vector<std::string> arguments{"convert", input, "-o", midi, "--events", events};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return runTool(arguments);
    }

    std::map<std::string, std::vector<std::int64_t>> noteOnsByBand() const {
        return zcli_test::noteOnsByBand(events);
    }

    TempFolder folder;
    std::string input = folder.path("kit.wav");
    std::string midi = folder.path("kit.mid");
    std::string events = folder.path("kit.jsonl");
};

constexpr std::size_t kFrames = 60000;

std::vector<float> kicks(const std::vector<std::size_t>& starts) {
    return testsupport::kickHits(kFrames, starts, kRate, 1.0f);
}

// A snare-like hit loud enough to reach the kick's band too.
std::vector<float> snares(const std::vector<std::size_t>& starts) {
    return testsupport::toneHits(kFrames, starts, 220.0, 0.012, kRate, 0.9f);
}

std::vector<float> mixOf(std::vector<float> a, const std::vector<float>& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        a[i] += b[i];
    }
    return a;
}

TEST_F(CliBleedRun, EachHitStaysInItsOwnBandUnlessTheBleedIsKept) {
    // Loud kicks that reach the snare's band among snares that reach the kick's.
    const std::vector<float> kit = mixOf(kicks({5000, 30000}), snares({17000, 42000}));
    const std::vector<std::string> both{"--band", "kick", "--band", "snare", "--suppress-bleed"};
    const struct {
        std::vector<std::string> options;
        std::vector<double> kick, snare;
        const char* snareSummaryEnd; // after the MIDI file's name
    } runs[] = {
        {both, {5000, 30000}, {17000, 42000}, "; 2 notes went to other bands"},
        {{"--band", "kick", "--band", "snare"}, {5000, 17000, 30000, 42000}, {5000, 17000, 30000, 42000}, ""},
        {{"--band", "kick", "--band", "snare:bleed=keep", "--suppress-bleed"},
         {5000, 17000, 30000, 42000},
         {5000, 17000, 30000, 42000},
         ""},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(::testing::Message() << run.options[3] << " " << run.options.back());
        const ToolRun result = convert(kit, run.options);
        ASSERT_EQ(result.status, 0) << result.err;
        auto found = noteOnsByBand();
        for (const auto& [band, expected] :
             {std::pair{std::string("kick"), run.kick}, std::pair{std::string("snare"), run.snare}}) {
            ASSERT_EQ(found[band].size(), expected.size()) << band << "\n" << result.err;
            for (std::size_t i = 0; i < expected.size(); ++i) {
                EXPECT_NEAR(static_cast<double>(found[band][i]), expected[i], kRate / 1000.0) << band;
            }
        }
        const std::string end = midi + run.snareSummaryEnd + "\n";
        const std::size_t summary = result.err.find(input + " [snare]: ");
        ASSERT_NE(summary, std::string::npos) << result.err;
        const std::string line = result.err.substr(summary, result.err.find('\n', summary) + 1 - summary);
        EXPECT_EQ(line.substr(line.size() - std::min(line.size(), end.size())), end) << line;
    }
}

TEST_F(CliBleedRun, APlugInWithoutLevelsKeepsEveryNoteWithOneWarning) {
    const ToolRun result =
        convert(kicks({5000, 30000}),
                {"--plugin", testsupport::moduleBesideExecutable("host_test_both_entries"), "--band",
                 "a:bleed=suppress", "--band", "b:bleed=suppress", "--suppress-bleed"});
    ASSERT_EQ(result.status, 0) << result.err;
    auto found = noteOnsByBand();
    EXPECT_FALSE(found["a"].empty());
    EXPECT_EQ(found["a"], found["b"]);
    const std::size_t warning = result.err.find("no bleed suppression");
    ASSERT_NE(warning, std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("no bleed suppression", warning + 1), std::string::npos) << result.err;
}

} // namespace
} // namespace zcli_test

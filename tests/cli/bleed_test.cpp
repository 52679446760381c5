// Bleed between bands: the rule on made-up notes and levels, and the tool run on hits that reach more than
// one band.
#include "tests/cli/tool_harness.h"
#include "tests/support/PluginPath.h"
#include "tests/support/Signals.h"
#include "tools/zephyrion/bleed.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace zcli_test {
namespace {

using zcli::MidiEvent;

constexpr int kRate = 44100;
constexpr std::int64_t kLength = 120000;

// A drum struck at `position` with `strength`; how loud it is in each band is the band's own matter.
struct Strike {
    std::int64_t position;
    float strength;
};

// A band whose level is a held step at each strike, `gain` times its strength, and whose notes start at
// `notes`, each 400 samples long on the band's own key; `controls` adds a control change.
zcli::Conversion bandOf(int key, const std::vector<std::pair<std::vector<Strike>, float>>& heard,
                        std::vector<std::int64_t> notes, bool controls = false) {
    std::vector<float> levels(kLength, 1e-4f);
    for (const auto& [strikes, gain] : heard) {
        for (const Strike& strike : strikes) {
            std::fill_n(levels.begin() + strike.position, 2000,
                        std::max(levels[strike.position], strike.strength * gain));
        }
    }
    zcli::Conversion conversion;
    conversion.trace.emplace();
    conversion.trace->add(levels.data(), levels.size());
    std::sort(notes.begin(), notes.end());
    for (const std::int64_t note : notes) {
        conversion.events.push_back({note, 0x99, static_cast<std::uint8_t>(key), 100});
        conversion.events.push_back({note + 400, 0x89, static_cast<std::uint8_t>(key), 0});
    }
    if (controls) {
        conversion.events.push_back({1000, 0xB0, 7, 64});
    }
    std::stable_sort(conversion.events.begin(), conversion.events.end(),
                     [](const MidiEvent& a, const MidiEvent& b) { return a.position < b.position; });
    return conversion;
}

std::vector<std::int64_t> noteOns(const zcli::Conversion& band) {
    std::vector<std::int64_t> onsets;
    for (const MidiEvent& event : band.events) {
        if (event.startsNote()) {
            onsets.push_back(event.position);
        } else {
            EXPECT_EQ(event.position, onsets.back() + 400) << "each kept note-on keeps its note-off";
        }
    }
    return onsets;
}

std::vector<std::int64_t> positionsOf(const std::vector<Strike>& strikes) {
    std::vector<std::int64_t> positions;
    for (const Strike& strike : strikes) {
        positions.push_back(strike.position);
    }
    return positions;
}

TEST(CliBleed, EachSharedHitGoesToTheBandItIsLouderIn) {
    // Strengths vary so much that a loud snare is louder in the kick's band than a soft kick: only the
    // balance between the bands tells them apart.
    const std::vector<Strike> kicks{{10000, 1.0f}, {30000, 0.25f}, {50000, 0.6f}};
    const std::vector<Strike> snares{{20000, 1.0f}, {40000, 0.3f}, {60000, 0.7f}};
    const std::vector<Strike> hats{{80000, 0.5f}, {90000, 0.4f}};
    const std::vector<Strike> unshared{{70000, 0.5f}}; // a snare-like hit only the kick band has a note for
    std::vector<std::int64_t> all = positionsOf(kicks);
    for (const std::int64_t p : positionsOf(snares)) {
        all.push_back(p + 300); // within the same hit, a little later
    }
    std::vector<std::int64_t> kickNotes = all;
    kickNotes.push_back(70000);
    std::vector<std::int64_t> snareNotes = all;
    snareNotes.insert(snareNotes.end(), {80000, 90000});
    zcli::Conversion kick = bandOf(36, {{kicks, 0.9f}, {snares, 0.3f}, {unshared, 0.3f}}, kickNotes);
    zcli::Conversion snare =
        bandOf(38, {{kicks, 0.2f}, {snares, 0.9f}, {unshared, 0.9f}, {hats, 0.3f}}, snareNotes);
    // Keeps its bleed: plays along with the snares, takes the hi-hats, loses nothing.
    std::vector<std::int64_t> hatNotes = positionsOf(hats);
    hatNotes.insert(hatNotes.end(), {20000, 40000});
    zcli::Conversion hat = bandOf(42, {{hats, 0.8f}, {snares, 0.4f}}, hatNotes);
    // Control changes, loud everywhere, are left alone.
    zcli::Conversion controls = bandOf(7, {{kicks, 1.0f}, {snares, 1.0f}}, {10000}, true);
    const std::size_t controlEvents = controls.events.size();
    zcli::suppressBleed({{&kick}, {&snare}, {&hat, false}, {&controls}}, kRate);

    EXPECT_EQ(noteOns(kick), (std::vector<std::int64_t>{10000, 30000, 50000, 70000}));
    EXPECT_EQ(kick.notesToOtherBands, 3);
    EXPECT_EQ(noteOns(snare), (std::vector<std::int64_t>{20300, 40300, 60300}));
    EXPECT_EQ(snare.notesToOtherBands, 5);
    EXPECT_EQ(noteOns(hat), (std::vector<std::int64_t>{20000, 40000, 80000, 90000}));
    EXPECT_FALSE(hat.notesToOtherBands);
    EXPECT_EQ(controls.events.size(), controlEvents);
    EXPECT_FALSE(controls.notesToOtherBands);
}

TEST(CliBleed, OnlyNotesWithin10MsAreOneHitAndOnlyAClearBalanceMovesThem) {
    const std::vector<Strike> kicks{{10000, 1.0f}, {30000, 0.5f}};
    const std::vector<Strike> snares{{20000, 1.0f}, {40000, 0.8f}};
    const std::vector<std::int64_t> both{10000, 20000, 30000, 40000};
    const struct {
        const char* what;
        float snareInKick;        // how loud a snare is in the kick's band, against a kick's 0.9
        std::int64_t snareOffset; // of the snare band's notes
        std::vector<std::int64_t> kickKeeps;
    } cases[] = {
        {"10 ms apart: one hit", 0.3f, 441, {10000, 30000}},
        {"just over: two hits", 0.3f, 442, both},
        {"balances too close to part", 0.8f, 0, both},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::int64_t> later = both;
        for (std::int64_t& p : later) {
            p += c.snareOffset;
        }
        // A kick is 0.9 in the kick's band and 0.8 in the snare's: its balance is 1.0 dB.
        zcli::Conversion kick = bandOf(36, {{kicks, 0.9f}, {snares, c.snareInKick}}, both);
        zcli::Conversion snare = bandOf(38, {{kicks, 0.8f}, {snares, 0.9f}}, later);
        zcli::suppressBleed({{&kick}, {&snare}}, kRate);
        EXPECT_EQ(noteOns(kick), c.kickKeeps);
    }
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
    const std::vector<std::string> both{"--band", "kick", "--band", "snare"};
    const struct {
        std::vector<std::string> options;
        std::vector<double> kick, snare;
        const char* snareSummaryEnd; // after the MIDI file's name
    } runs[] = {
        {both, {5000, 30000}, {17000, 42000}, "; 2 notes went to other bands"},
        {{"--band", "kick", "--band", "snare", "--keep-bleed"},
         {5000, 17000, 30000, 42000},
         {5000, 17000, 30000, 42000},
         ""},
        {{"--band", "kick:bleed=keep", "--band", "snare:bleed=keep"},
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
    const ToolRun result = convert(kicks({5000, 30000}),
                                   {"--plugin", testsupport::moduleBesideExecutable("host_test_both_entries"),
                                    "--band", "a:bleed=suppress", "--band", "b:bleed=suppress"});
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

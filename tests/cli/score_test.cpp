// Scoring against the true hits: reading them, pairing notes with hits, and a conversion with --reference.
#include "tests/cli/tool_harness.h"
#include "tests/support/Signals.h"
#include "tools/common/errors.h"
#include "tools/zephyrion/hit_score.h"
#include "tools/zephyrion/reference_hits.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

namespace zcli_test {
namespace {

// A hit in a word: "0.5s:36", "22050:kick".
std::string described(const zcli::ReferenceHit& hit) {
    std::ostringstream text;
    if (hit.inSamples) {
        text << hit.sample;
    } else {
        text << hit.seconds << "s";
    }
    text << ":" << (hit.instrument.empty() ? std::to_string(hit.note) : hit.instrument);
    return text.str();
}

TEST(CliScore, ReadsCsvAndJsonLines) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> files{
        {"# truth\n\nseconds,note\r\n0.5, 36\r\n  # a comment\n1.25,C#1\n", {"0.5s:36", "1.25s:37"}},
        {"Sample , Instrument\n22050,kick\n44100, hi hat \n", {"22050:kick", "44100:hi hat"}},
        {"\n{\"seconds\":0.5,\"note\":\"C1\"}\n# x\n{ \"instrument\" : \"snare\", \"sample\" : 7 }\n",
         {"0.5s:36", "7:snare"}},
        {"seconds,note\n", {}},
        {"", {}},
    };
    for (const auto& [text, expected] : files) {
        std::vector<std::string> read;
        for (const zcli::ReferenceHit& hit : zcli::parseReferenceHits(text, "t")) {
            read.push_back(described(hit));
        }
        EXPECT_EQ(read, expected) << text;
    }
}

TEST(CliScore, BadLinesNameTheFileAndLine) {
    const std::vector<std::pair<std::string, std::string>> files{
        {"0.5,36\n", "t:1: the first line must name the columns"},
        {"seconds,drum\n", "t:1: the first line"},
        {"seconds,note\n0.5\n", "t:2: expected 2 fields"},
        {"seconds,note\n-1,36\n", "t:2: '-1' is not a time in seconds"},
        {"# c\nsample,note\n1.5,36\n", "t:3: '1.5' is not a time in samples"},
        {"seconds,note\n0.5,128\n", "t:2: '128' is not a MIDI note"},
        {"seconds,note\n0.5,kick\n", "t:2: 'kick' is not a note"},
        {"seconds,instrument\n0.5, \n", "t:2: the instrument has no name"},
        {"{\"seconds\":1}\n", "t:1: a hit needs"},
        {"{\"seconds\":1,\"note\":36}\nseconds,note\n", "t:2: not a JSON object"},
        {"{\"seconds\":1,\"sample\":2,\"note\":36}\n", "t:1: a second time"},
        {"{\"time\":1,\"note\":36}\n", "t:1: unknown key \"time\""},
        {"{\"seconds\":\"1\",\"note\":36}\n", "t:1: '\"1\"' is not a time"},
        {"{\"seconds\":1,\"instrument\":3}\n", "t:1: \"instrument\" must be a name"},
        {"{\"seconds\":1,\"note\":36} x\n", "t:1: text after the object"},
    };
    for (const auto& [text, expected] : files) {
        std::string message;
        try {
            zcli::parseReferenceHits(text, "t");
        } catch (const zcli::RunError& error) {
            message = error.what();
        }
        EXPECT_EQ(message.rfind(expected, 0), 0u) << text << " gave: " << message;
    }
}

TEST(CliScore, HitsGoToTheBandOfTheirNameOrNote) {
    const auto hits =
        zcli::parseReferenceHits("seconds,instrument\n1,kick\n2,Snare\n3,toms\n4,ride\n5,ride\n", "t");
    const auto byNote = zcli::parseReferenceHits("sample,note\n44100,36\n88200,49\n", "t");
    // Named "kick" with another note, it still takes the kick; "bd" sends the kick preset's note.
    const std::vector<zcli::ScoredBand> bands{{"kick", 35}, {"snare", 38}, {"bd", 36}, {"low", 45}};
    const zcli::Assignment named = zcli::assignHits(hits, bands, 44100.0);
    EXPECT_EQ(named.hits, (std::vector<std::vector<double>>{{1.0}, {2.0}, {}, {3.0}}));
    EXPECT_EQ(named.unassigned, 2);
    EXPECT_EQ(named.unassignedNames, std::vector<std::string>{"ride"});

    const zcli::Assignment noted = zcli::assignHits(byNote, bands, 44100.0);
    EXPECT_EQ(noted.hits, (std::vector<std::vector<double>>{{}, {}, {1.0}, {}}));
    EXPECT_EQ(noted.unassignedNames, std::vector<std::string>{"note 49"});

    // The one instance of a run without bands takes every hit; a band sending controllers takes names only.
    EXPECT_EQ(zcli::assignHits(hits, {{"", 60}}, 44100.0).hits[0].size(), 5u);
    EXPECT_EQ(zcli::assignHits(byNote, {{"cc", std::nullopt}}, 44100.0).unassigned, 2);
}

TEST(CliScore, NotesPairWithTheClosestHitWithinEachTolerance) {
    struct Case {
        const char* what;
        std::vector<double> notes;
        std::vector<double> hits;
        int found25, missed25, false25, found50;
        double median, absolute95; // ms; NaN when nothing matched
    };
    const double none = std::nan("");
    const std::vector<Case> cases{
        {"exact", {1.0, 2.0, 3.0}, {1.0, 2.0, 3.0}, 3, 0, 0, 3, 0.0, 0.0},
        {"edge: 25 ms is in, just over is only within 50",
         {0.325, 2.0251, 3.0},
         {0.3, 2.0, 3.0},
         2,
         1,
         1,
         3,
         12.5,
         25.0},
        {"closest first: the later hit is nearer", {1.02}, {1.0, 1.03}, 1, 1, 0, 1, -10.0, 10.0},
        {"one to one, closest first: the later note is nearer", {1.0, 1.02}, {1.015}, 1, 0, 1, 1, 5.0, 5.0},
        {"nothing to find", {}, {}, 0, 0, 0, 0, none, none},
        {"signed median, 95th percentile by nearest rank",
         {0.998, 2.001, 3.003, 4.004, 5.02},
         {1.0, 2.0, 3.0, 4.0, 5.0},
         5,
         0,
         0,
         5,
         3.0,
         20.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const zcli::BandScore score = zcli::scoreBand(c.notes, c.hits);
        ASSERT_EQ(score.tolerances.size(), 2u);
        const zcli::ToleranceScore& narrow = score.tolerances[0];
        EXPECT_EQ(narrow.found, c.found25);
        EXPECT_EQ(narrow.missed, c.missed25);
        EXPECT_EQ(narrow.falseNotes, c.false25);
        EXPECT_EQ(score.tolerances[1].found, c.found50);
        const double precision = c.notes.empty() ? 0.0 : double(c.found25) / c.notes.size();
        const double recall = c.hits.empty() ? 0.0 : double(c.found25) / c.hits.size();
        EXPECT_DOUBLE_EQ(narrow.precision, precision);
        EXPECT_DOUBLE_EQ(narrow.recall, recall);
        EXPECT_NEAR(narrow.fMeasure,
                    precision + recall > 0 ? 2 * precision * recall / (precision + recall) : 0.0, 1e-12);
        ASSERT_EQ(score.offsets.has_value(), !std::isnan(c.median));
        if (score.offsets) {
            EXPECT_EQ(score.offsets->matched, c.found25);
            EXPECT_NEAR(score.offsets->median * 1000.0, c.median, 1e-6);
            EXPECT_NEAR(score.offsets->absolute95 * 1000.0, c.absolute95, 1e-6);
        }
    }
}

TEST(CliScore, ConversionWritesTheScoreAsJson) {
    constexpr int kRate = 44100;
    constexpr std::size_t kFrames = 100000;
    TempFolder folder;
    const std::vector<std::size_t> kicks{5000, 40000, 75000};
    const std::vector<float> audio = testsupport::toneHits(kFrames, kicks, 55.0, 0.0136, kRate, 0.6f);
    writeWav(folder.path("kick.wav"), {audio, audio}, kRate);
    // The three kicks, a fourth that is not in the audio, and a ride no band plays.
    writeFile(folder.path("truth.csv"), "sample,instrument\n5000,kick\n40000,kick\n75000,kick\n"
                                        "90000,kick\n60000,ride\n");
    const ToolRun run =
        runTool({"convert", folder.path("kick.wav"), "--plugin", pluginPath(), "--band", "kick",
                 "--reference", folder.path("truth.csv"), "--report", folder.path("score.json")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("[kick] against"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("within 25 ms: 3 found, 1 missed, 0 false"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("1 of 5 reference hits name no band (ride)"), std::string::npos) << run.err;

    const std::vector<std::string> lines = linesOf(readFile(folder.path("score.json")));
    ASSERT_EQ(lines.size(), 1u);
    const std::string& json = lines[0];
    for (const char* part :
         {"\"sampleRate\":44100,\"referenceHits\":5,\"unassignedHits\":1", "\"unassignedNames\":[\"ride\"]",
          "\"band\":\"kick\",\"note\":36,\"hits\":4,\"notes\":3",
          "{\"toleranceMs\":25,\"found\":3,\"missed\":1,\"false\":0,\"precision\":1.000000,"
          "\"recall\":0.750000,\"fMeasure\":0.857143}",
          "{\"toleranceMs\":50,\"found\":3,", "\"offsetsMs\":{\"matched\":3,"}) {
        EXPECT_NE(json.find(part), std::string::npos) << part << " missing from " << json;
    }
    // Notes sit on the hits' starts: within a millisecond.
    EXPECT_LT(std::abs(std::stod(jsonValue(json, "median"))), 1.0) << json;
    EXPECT_LT(std::stod(jsonValue(json, "absolute95")), 1.0) << json;

    // --quiet silences the lines, not the report.
    std::filesystem::remove(folder.path("score.json"));
    const ToolRun quiet =
        runTool({"convert", folder.path("kick.wav"), "--plugin", pluginPath(), "-q", "--reference",
                 folder.path("truth.csv"), "--report", folder.path("score.json")});
    ASSERT_EQ(quiet.status, 0) << quiet.err;
    EXPECT_EQ(quiet.err, "");
    EXPECT_NE(readFile(folder.path("score.json")).find("\"band\":null,\"note\":60,\"hits\":5"),
              std::string::npos);
}

} // namespace
} // namespace zcli_test

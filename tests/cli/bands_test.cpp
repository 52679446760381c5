// Several bands in one conversion: how --band is read, and the tool run on kick-like and snare-like hits.
#include "tests/cli/smf_reader.h"
#include "tests/cli/tool_harness.h"
#include "tests/support/Signals.h"
#include "tools/common/errors.h"
#include "tools/zephyrion/command_line.h"
#include "tools/zephyrion/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>

namespace zcli_test {
namespace {

zcli::ConvertRequest convert(std::vector<std::string> rest) {
    rest.insert(rest.begin(), {"zephyrion", "convert", "in.wav"});
    return std::get<zcli::ConvertRequest>(zcli::parseCommandLine(rest));
}

// What the instance ends up with: the last value given for each parameter, by its lower-case name.
std::map<std::string, float> settled(const std::vector<zcli::ParameterRequest>& requests) {
    std::map<std::string, float> values;
    for (const zcli::ParameterRequest& request : requests) {
        values[zcli::lowerCase(request.name)] = request.value;
    }
    return values;
}

// The note and channel the plug-in sends for these values.
int sentNote(const std::map<std::string, float>& values) {
    return 24 + static_cast<int>(std::lrint(values.at("midi note") * 127.0));
}
int sentChannel(const std::map<std::string, float>& values) {
    return 1 + static_cast<int>(std::lrint(values.at("midi ch.") * 15.0));
}

TEST(CliBands, PresetsAreGeneralMidiDrumsOnChannelTen) {
    const std::vector<std::pair<std::string, int>> presets{
        {"kick", 36}, {"snare", 38}, {"hihat", 42}, {"toms", 45}};
    for (const auto& [name, note] : presets) {
        SCOPED_TRACE(name);
        const zcli::ConvertRequest request = convert({"--band", name});
        ASSERT_EQ(request.bands.size(), 1u);
        EXPECT_EQ(request.bands[0].name, name);
        const auto values = settled(request.bands[0].parameters);
        EXPECT_EQ(sentNote(values), note);
        EXPECT_EQ(sentChannel(values), 10);
        EXPECT_EQ(values.at("freq.mode"), 0.1f); // exponential
        EXPECT_EQ(values.at("release"), 0.95f);
        EXPECT_EQ(values.at("falloff"), 0.95f);
    }
}

TEST(CliBands, AutoMovesTheKickPresetsEdgeUnlessTheBandSetsItOrItsMode) {
    const std::vector<std::pair<std::string, bool>> bands{{"kick", true},
                                                          {"kick:Amp.Hi=0.9", true},
                                                          {"kick:freq.hi=0.12", false},
                                                          {"kick:Freq.Hi=90Hz", false},
                                                          {"kick:freq-mode=linear", false},
                                                          {"snare", false},
                                                          {"low:Freq.Hi=0.1", false}};
    for (const auto& [band, moves] : bands) {
        EXPECT_EQ(convert({"--band", band}).bands[0].autoEdge.has_value(), moves) << band;
    }
}

TEST(CliBands, SettingsOverrideThePresetOrMakeABandOfTheirOwn) {
    const zcli::ConvertRequest request =
        convert({"--set", "Volume=0.3", "--band", "KICK:amp.hi=0.9,note=C#1", "--band",
                 "ride:Freq.Lo=0.9,note=51,channel=10,velocity=64,freq-mode=log,output=orig", "--merge"});
    EXPECT_TRUE(request.merge);
    // Options outside --band are every band's starting point; the bands keep only their own.
    ASSERT_EQ(request.plugin.parameters.size(), 1u);
    ASSERT_EQ(request.bands.size(), 2u);

    EXPECT_EQ(request.bands[0].name, "KICK");
    const auto kick = settled(request.bands[0].parameters);
    EXPECT_EQ(kick.at("amp.hi"), 0.9f);
    EXPECT_EQ(sentNote(kick), 37);
    EXPECT_EQ(kick.at("freq.hi"), 0.15f) << "the rest of the preset stays";
    EXPECT_EQ(kick.count("volume"), 0u);

    EXPECT_EQ(request.bands[1].name, "ride");
    const auto ride = settled(request.bands[1].parameters);
    EXPECT_EQ(ride.size(), 6u) << "a band of its own has nothing but its settings";
    EXPECT_EQ(ride.at("freq.lo"), 0.9f);
    EXPECT_EQ(sentNote(ride), 51);
    EXPECT_EQ(sentChannel(ride), 10);
    EXPECT_EQ(ride.at("midi vel."), 64.0f / 127.0f);
    EXPECT_EQ(ride.at("freq.mode"), 0.2f);
    EXPECT_EQ(ride.at("out.mode"), 0.2f);

    // With --cc a band's note is a controller number, as on its own.
    EXPECT_EQ(settled(convert({"--cc", "--band", "swell:note=7"}).bands[0].parameters).at("midi note"),
              7.0f / 127.0f);
}

TEST(CliBands, MistakesNameTheBandAndWhatIsValid) {
    const std::vector<std::pair<std::vector<std::string>, std::vector<std::string>>> mistakes{
        {{"--band", "ride"}, {"--band ride", "no kit preset", "kick, snare, hihat, toms"}},
        {{"--band", "kick:Pitch=0.5"},
         {"--band kick:Pitch=0.5", "'Pitch'", "Amp.Hi", "Freq.Mode", "note, channel"}},
        {{"--band", "kick:Amp.Hi"}, {"--band kick:Amp.Hi", "KEY=VALUE"}},
        {{"--band", "kick:Amp.Hi=2"}, {"--band kick:Amp.Hi=2", "0 to 1"}},
        {{"--band", "kick:note=H2"}, {"--band kick:note=H2", "C0..C8"}},
        {{"--band", "kick:channel=17"}, {"--band kick:channel=17", "1 to 16"}},
        {{"--band", "kick:bleed=never"}, {"--band kick:bleed=never", "keep or suppress"}},
        {{"--band", ":Amp.Hi=0.5"}, {"needs a name"}},
        {{"--band", "kick", "--band", "Kick:Amp.Hi=0.5"}, {"a second band named 'Kick'"}},
        {{"--band", "kick", "--band", "snare", "--audio-out", "x.wav"}, {"--audio-out", "several --band"}},
        {{"--merge=1"}, {"--merge", "takes no value"}},
        {{"--band", "kick", "two.wav"}, {"two.wav: with several inputs each needs its own --band"}},
        {{"two.wav", "--band", "kick"}, {"in.wav: with several inputs"}},
    };
    for (const auto& [arguments, words] : mistakes) {
        std::string message;
        try {
            convert(arguments);
        } catch (const zcli::UsageError& error) {
            message = error.what();
        }
        for (const std::string& word : words) {
            EXPECT_NE(message.find(word), std::string::npos)
                << arguments.back() << ": '" << word << "' missing from '" << message << "'";
        }
    }
}

TEST(CliBands, EachStemHasTheBandsGivenAfterIt) {
    const zcli::ConvertRequest request = convert(
        {"--band", "kick", "snare.wav", "--band", "snare", "--band", "toms", "oh.wav", "--band", "hihat"});
    EXPECT_EQ(request.inputs, (std::vector<std::string>{"in.wav", "snare.wav", "oh.wav"}));
    std::vector<std::pair<std::string, std::size_t>> bands;
    for (const zcli::BandRequest& band : request.bands) {
        bands.emplace_back(band.name, band.input);
    }
    EXPECT_EQ(bands, (std::vector<std::pair<std::string, std::size_t>>{
                         {"kick", 0}, {"snare", 1}, {"toms", 1}, {"hihat", 2}}));
    try {
        zcli::parseCommandLine(
            {"zephyrion", "convert", "--band", "kick", "a.wav", "b.wav", "--band", "snare"});
        ADD_FAILURE() << "a band before any of several inputs is ambiguous";
    } catch (const zcli::UsageError& error) {
        EXPECT_NE(std::string(error.what()).find("each band follows the input it listens to"),
                  std::string::npos)
            << error.what();
    }
}

TEST(CliBands, ABandFileHoldsOneBandALine) {
    TempFolder folder;
    const std::string kit = folder.path("kit.txt");
    writeFile(kit, "# my kit\nkick:Amp.Hi=0.9\n\n  snare  \r\nride:Freq.Lo=0.9,note=51\n");
    const zcli::ConvertRequest request = convert({"--bands", kit, "--band", "hihat"});
    std::vector<std::string> names;
    for (const zcli::BandRequest& band : request.bands) {
        names.push_back(band.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"kick", "snare", "ride", "hihat"}));
    EXPECT_EQ(settled(request.bands[0].parameters).at("amp.hi"), 0.9f);

    writeFile(kit, "kick\n# ok so far\nkick:Pitch=1\n");
    try {
        convert({"--bands", kit});
        ADD_FAILURE() << "a bad line is a mistake";
    } catch (const zcli::UsageError& error) {
        EXPECT_EQ(std::string(error.what()).rfind(kit + ":3: --band kick:Pitch=1: ", 0), 0u) << error.what();
    }
    EXPECT_THROW(convert({"--bands", folder.path("absent.txt")}), zcli::RunError);
}

constexpr int kRate = 44100;
constexpr std::size_t kFrames = 100000;
const std::vector<std::size_t> kKicks{5000, 40000, 75000};
const std::vector<std::size_t> kSnares{22000, 57000};
// A 55 Hz kick reaches only the kick preset's band, a 600 Hz snare body only the snare's.
constexpr double kKickHz = 55.0;
constexpr double kSnareHz = 600.0;

class CliBandRun : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<float> mix = testsupport::toneHits(kFrames, kKicks, kKickHz, 0.0136, kRate, 0.6f);
        const std::vector<float> snares =
            testsupport::toneHits(kFrames, kSnares, kSnareHz, 0.012, kRate, 0.6f);
        for (std::size_t i = 0; i < kFrames; ++i) {
            mix[i] += snares[i];
        }
        writeWav(input, {mix, mix}, kRate);
    }

    ToolRun convert(std::vector<std::string> options) {
        std::vector<std::string> arguments{"convert",  input,        "-o",       midi,
                                           "--plugin", pluginPath(), "--events", events};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return runTool(arguments);
    }

    std::map<std::string, std::vector<std::int64_t>> noteOnsByBand() const {
        return zcli_test::noteOnsByBand(events);
    }

    TempFolder folder;
    std::string input = folder.path("groove.wav");
    std::string midi = folder.path("groove.mid");
    std::string events = folder.path("groove.jsonl");
};

// Every note within a millisecond of its hit.
void expectOnHits(const std::vector<std::int64_t>& notes, const std::vector<std::size_t>& hits) {
    ASSERT_EQ(notes.size(), hits.size());
    for (std::size_t i = 0; i < hits.size(); ++i) {
        EXPECT_NEAR(static_cast<double>(notes[i]), static_cast<double>(hits[i]), kRate / 1000.0)
            << "hit " << i;
    }
}

TEST_F(CliBandRun, EachBandHasItsOwnTrackNoteAndChannel) {
    const ToolRun run = convert({"--band", "kick", "--band", "snare"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("groove.wav [kick]: 3 notes"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("groove.wav [snare]: 2 notes"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("groove.wav [kick]: highpass 0 Hz, lowpass 146.1 Hz, window -16.5 to 0.0 dBFS\n"),
              std::string::npos)
        << run.err;

    const SmfFile file = readSmf(midi);
    EXPECT_EQ(file.format, 1);
    ASSERT_EQ(file.tracks, 2);
    EXPECT_EQ(file.tempo, 500000);
    EXPECT_TRUE(file.endOfTrack);
    const std::vector<std::tuple<std::string, int, std::vector<std::size_t>>> bands{{"kick", 36, kKicks},
                                                                                    {"snare", 38, kSnares}};
    for (std::size_t track = 0; track < bands.size(); ++track) {
        const auto& [name, note, hits] = bands[track];
        SCOPED_TRACE(name);
        EXPECT_EQ(file.trackList[track].name, name);
        std::vector<std::int64_t> noteOns;
        for (const SmfEvent& event : file.trackList[track].events) {
            EXPECT_EQ(event.status & 0x0F, 9) << "channel 10";
            EXPECT_EQ(event.data1, note);
            if ((event.status & 0xF0) == 0x90 && event.data2 > 0) {
                noteOns.push_back(event.tick * kRate / (2 * 960)); // 120 bpm: two quarters a second
            }
        }
        EXPECT_EQ(file.trackList[track].events.size(), 2 * hits.size()) << "every note ended";
        expectOnHits(noteOns, hits);
        expectOnHits(noteOnsByBand()[name], hits);
    }
    EXPECT_EQ(noteOnsByBand().count(""), 0u) << "every event line names its band";
}

TEST_F(CliBandRun, BandsApartByChannelOrByControlChangesAreTwo) {
    const ToolRun run =
        convert({"--band", "a:note=36", "--band", "b:note=36,channel=2", "--band", "c:note=36,NoteOrCC=1"});
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST_F(CliBandRun, AutoSetsTheWindowBetweenTheHitsAndTheBleed) {
    // Kicks, and between them the same drum 20 dB down, as another drum's microphone hears it, and a tom at
    // 250 Hz, as loud as the kicks: of the kick preset's lowpass edges, only the lowest leaves it out.
    std::vector<float> mix = testsupport::toneHits(kFrames, kKicks, kKickHz, 0.0136, kRate, 0.6f);
    const std::vector<float> bleed = testsupport::toneHits(kFrames, kSnares, kKickHz, 0.0136, kRate, 0.06f);
    const std::vector<float> tom = testsupport::toneHits(kFrames, {30000, 65000}, 250.0, 0.0136, kRate, 0.6f);
    for (std::size_t i = 0; i < kFrames; ++i) {
        mix[i] += bleed[i] + tom[i];
    }
    writeWav(input, {mix, mix}, kRate);
    // Wide open, the kick's band takes the bleed too.
    ASSERT_EQ(convert({"--band", "kick:Amp.Hi=0.99"}).status, 0);
    EXPECT_GT(noteOnsByBand()["kick"].size(), kKicks.size());

    const ToolRun run = convert({"--band", "kick:Amp.Hi=0.99", "--auto"});
    ASSERT_EQ(run.status, 0) << run.err;
    expectOnHits(noteOnsByBand()["kick"], kKicks);
    EXPECT_NE(run.err.find("[kick]: --auto: lower bound "), std::string::npos) << run.err;
    const std::size_t chosen = run.err.find("--auto chose: --band kick:Freq.Hi=0.10,Amp.Hi=");
    ASSERT_NE(chosen, std::string::npos) << run.err;

    // The printed option gives the same notes again without --auto.
    const std::string option = run.err.substr(chosen + 14, run.err.find('\n', chosen) - chosen - 14);
    const ToolRun again = convert({option.substr(0, 6), option.substr(7)});
    ASSERT_EQ(again.status, 0) << option << "\n" << again.err;
    expectOnHits(noteOnsByBand()["kick"], kKicks);
}

TEST_F(CliBandRun, RawTimingAppliesToEveryBand) {
    ASSERT_EQ(convert({"--band", "kick", "--band", "snare"}).status, 0);
    auto onHits = noteOnsByBand();
    ASSERT_EQ(convert({"--band", "kick", "--band", "snare", "--raw-timing"}).status, 0);
    auto late = noteOnsByBand();
    for (const std::string name : {"kick", "snare"}) {
        ASSERT_EQ(late[name].size(), onHits[name].size()) << name;
        for (std::size_t i = 0; i < late[name].size(); ++i) {
            // Each band's filter and envelope delay the crossing by ten samples at least.
            EXPECT_GT(late[name][i], onHits[name][i] + 10) << name << " hit " << i;
        }
    }
}

TEST_F(CliBandRun, MergedBandsShareOneTrack) {
    ASSERT_EQ(convert({"--band", "kick", "--band", "snare", "--merge"}).status, 0);
    const SmfFile file = readSmf(midi);
    EXPECT_EQ(file.format, 0);
    ASSERT_EQ(file.tracks, 1);
    std::vector<int> notes;
    for (const SmfEvent& event : file.events) {
        if ((event.status & 0xF0) == 0x90 && event.data2 > 0) {
            notes.push_back(event.data1);
        }
    }
    EXPECT_EQ(notes, (std::vector<int>{36, 38, 36, 38, 36}));
}

TEST_F(CliBandRun, ABandIsTheSingleRunWithTheSameSettings) {
    // The kick preset spelt out as the options of a single run, beside a second band that must not disturb
    // it.
    ASSERT_EQ(convert({"--band", "kick", "--band", "snare"}).status, 0);
    const std::vector<std::int64_t> banded = noteOnsByBand()["kick"];
    const ToolRun single =
        convert({"--note", "36", "--channel", "10", "--freq-mode", "exponential", "--set", "Freq.Hi=0.15",
                 "--set", "Amp.Hi=0.85", "--set", "Release=0.95", "--set", "Falloff=0.95"});
    ASSERT_EQ(single.status, 0) << single.err;
    EXPECT_EQ(noteOnsByBand()[""], banded);
    EXPECT_EQ(readSmf(midi).format, 0);
}

TEST_F(CliBandRun, StemsGoIntoOneFileWithATrackPerBand) {
    // The snare's stem is shorter: it goes on as silence while the kick's lasts.
    const std::string kick = folder.path("kick.wav");
    const std::string snare = folder.path("snare.wav");
    const std::vector<float> kicks = testsupport::toneHits(kFrames, kKicks, kKickHz, 0.0136, kRate, 0.6f);
    const std::vector<float> snares =
        testsupport::toneHits(kFrames * 2 / 3, kSnares, kSnareHz, 0.012, kRate, 0.6f);
    writeWav(kick, {kicks, kicks}, kRate);
    writeWav(snare, {snares, snares}, kRate);
    const std::vector<std::string> stems{"convert",    kick,       "--band", "kick", snare,
                                         "--band",     "snare",    "-o",     midi,   "--plugin",
                                         pluginPath(), "--events", events};
    const ToolRun run = runTool(stems);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("kick.wav [kick]: 3 notes"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("snare.wav [snare]: 2 notes"), std::string::npos) << run.err;
    const SmfFile file = readSmf(midi);
    ASSERT_EQ(file.tracks, 2);
    EXPECT_EQ(file.trackList[0].name, "kick");
    EXPECT_EQ(file.trackList[1].name, "snare");
    expectOnHits(noteOnsByBand()["kick"], kKicks);
    expectOnHits(noteOnsByBand()["snare"], kSnares);

    // Stems at two rates cannot share one timeline; nothing is written.
    std::filesystem::remove(midi);
    writeWav(snare, {snares, snares}, 48000);
    const ToolRun refused = runTool(stems);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("48000 Hz, but"), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("one sample rate"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(midi));
}

} // namespace
} // namespace zcli_test

// The tool run as a user runs it, on generated audio, with its MIDI file read back independently.
#include "host/Plugin.h"
#include "tests/cli/smf_reader.h"
#include "tests/cli/tool_harness.h"
#include "tests/support/PluginPath.h"
#include "tests/support/Signals.h"
#include "tools/zephyrion/plot.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sndfile.h>
#include <sstream>

namespace zcli_test {
namespace {

constexpr int kRate = 44100;
// Far enough apart that each click's note (about 13,940 samples at the default settings) has ended.
const std::vector<std::int64_t> kClickPositions{1000, 30000, 60001, 90123, 120511};
constexpr std::size_t kFrames = 150000;

std::vector<std::int64_t> samplesOf(const std::string& eventsJson, const std::string& type) {
    std::vector<std::int64_t> samples;
    for (const std::string& line : linesOf(eventsJson)) {
        if (jsonValue(line, "type") == type) {
            samples.push_back(std::stoll(jsonValue(line, "sample")));
        }
    }
    return samples;
}

std::vector<std::int64_t> noteOnSamples(const std::string& eventsJson) {
    return samplesOf(eventsJson, "note-on");
}

std::int64_t expectedTick(std::int64_t sample, int ppq, double bpm) {
    return static_cast<std::int64_t>(
        std::nearbyint(static_cast<long double>(sample) * ppq * bpm / (60.0L * kRate)));
}

// The same audio through the host library in one-sample blocks, where a block start is the event's sample.
std::vector<std::int64_t> engineEventSamples(const std::vector<float>& mono) {
    auto plugin = vsthost::Plugin::load(pluginPath());
    plugin->open();
    plugin->setSampleRate(kRate);
    plugin->setBlockSize(1);
    plugin->setProgram(0);
    plugin->resume();
    vsthost::Channels inputs{mono, mono};
    vsthost::Channels outputs(2, std::vector<float>(mono.size()));
    plugin->processReplacing(inputs, outputs, 1);
    std::vector<std::int64_t> samples;
    for (const vsthost::MidiRecord& record : plugin->midiEvents()) {
        samples.push_back(record.block);
    }
    return samples;
}

class CliConvert : public ::testing::Test {
protected:
    void SetUp() override {
        input = folder.path("clicks.wav");
        mono = clicks(kFrames, kClickPositions, 0.9f);
        writeWav(input, {mono, mono}, kRate);
    }

    ToolRun convert(std::vector<std::string> options) {
        std::vector<std::string> arguments{"convert",  input,       "-o", folder.path("out.mid"),
                                           "--plugin", pluginPath()};
        arguments.insert(arguments.end(), options.begin(), options.end());
        return runTool(arguments);
    }

    TempFolder folder;
    std::string input;
    std::vector<float> mono;
};

TEST_F(CliConvert, EventTimesAreTheEnginesSamplesWhateverTheBlockSize) {
    const std::vector<std::int64_t> engine = engineEventSamples(mono);
    ASSERT_EQ(engine.size(), 2 * kClickPositions.size());
    for (const std::string block : {"1", "77", "512", "4096"}) {
        SCOPED_TRACE("block " + block);
        const ToolRun run = convert({"--block", block, "--events", folder.path("events.jsonl")});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(noteOnSamples(readFile(folder.path("events.jsonl"))), kClickPositions);

        const SmfFile file = readSmf(folder.path("out.mid"));
        ASSERT_EQ(file.events.size(), engine.size());
        for (std::size_t i = 0; i < engine.size(); ++i) {
            EXPECT_EQ(file.events[i].tick, expectedTick(engine[i], 960, 120.0)) << "event " << i;
        }
    }
}

TEST_F(CliConvert, NotesGoOnTheHitsUnlessRawTimingIsAsked) {
    const std::vector<std::size_t> starts{5000, 20011, 35500};
    const std::vector<float> kicks = testsupport::kickHits(50000, starts, kRate, 0.9f);
    writeWav(input, {kicks, kicks}, kRate);
    const std::vector<std::string> kickBand{
        "--freq-mode", "exponential", "--set",        "Freq.Hi=0.08", "--set",
        "Amp.Hi=0.9",  "--set",       "Release=0.99", "--events",     folder.path("events.jsonl")};
    ASSERT_EQ(convert(kickBand).status, 0);
    const std::vector<std::int64_t> aligned = noteOnSamples(readFile(folder.path("events.jsonl")));
    EXPECT_EQ(aligned, std::vector<std::int64_t>(starts.begin(), starts.end()));

    std::vector<std::string> raw = kickBand;
    raw.push_back("--raw-timing");
    ASSERT_EQ(convert(raw).status, 0);
    const std::vector<std::int64_t> late = noteOnSamples(readFile(folder.path("events.jsonl")));
    ASSERT_EQ(late.size(), starts.size());
    for (std::size_t i = 0; i < starts.size(); ++i) {
        EXPECT_GT(late[i], aligned[i] + 100) << "the band's delay, hit " << i;
    }
}

TEST_F(CliConvert, TempoAndDivisionAreAsAskedAndTicksDoNotDrift) {
    // Two minutes of clicks at an awkward spacing and tempo: ticks summed from rounded gaps would drift.
    const std::size_t frames = 120 * kRate;
    std::vector<std::int64_t> positions;
    for (std::int64_t at = 777; at + 20000 < static_cast<std::int64_t>(frames); at += 29989) {
        positions.push_back(at);
    }
    const std::vector<float> long_clicks = clicks(frames, positions, 0.9f);
    writeWav(input, {long_clicks, long_clicks}, kRate);

    const ToolRun run = convert({"--ppq", "97", "--bpm", "137.5", "--events", folder.path("events.jsonl")});
    ASSERT_EQ(run.status, 0) << run.err;
    const SmfFile file = readSmf(folder.path("out.mid"));
    EXPECT_EQ(file.format, 0);
    EXPECT_EQ(file.tracks, 1);
    EXPECT_EQ(file.division, 97);
    EXPECT_EQ(file.tempo, std::lrint(6e7 / 137.5));
    EXPECT_TRUE(file.endOfTrack);
    std::vector<std::int64_t> noteOnTicks;
    for (const SmfEvent& event : file.events) {
        if ((event.status & 0xF0) == 0x90) {
            noteOnTicks.push_back(event.tick);
        }
    }
    ASSERT_EQ(noteOnTicks.size(), positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        EXPECT_EQ(noteOnTicks[i], expectedTick(positions[i], 97, 137.5)) << "note " << i;
    }
}

TEST_F(CliConvert, NoNoteIsLeftHanging) {
    // Amp.Hi 1 puts silence itself inside the window, so the plug-in never ends its note.
    const ToolRun run = convert({"--set", "Amp.Hi=1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("closed"), std::string::npos) << run.err;
    const SmfFile file = readSmf(folder.path("out.mid"));
    std::map<std::pair<int, int>, int> open;
    for (const SmfEvent& event : file.events) {
        const auto key = std::make_pair(event.status & 0x0F, static_cast<int>(event.data1));
        if ((event.status & 0xF0) == 0x90 && event.data2 > 0) {
            ++open[key];
        } else if ((event.status & 0xF0) == 0x80 || (event.status & 0xF0) == 0x90) {
            --open[key];
        }
    }
    ASSERT_FALSE(file.events.empty());
    for (const auto& [key, count] : open) {
        EXPECT_EQ(count, 0) << "channel " << key.first << " note " << key.second;
    }
    EXPECT_EQ(file.events.back().status & 0xF0, 0x80);
    // The tail ends 60 s after the input at the latest.
    EXPECT_EQ(file.events.back().tick, expectedTick(kFrames + 60 * kRate, 960, 120.0));
}

TEST_F(CliConvert, PluginWorksAtTheFilesSampleRate) {
    // The release is a time in seconds: at 48 kHz the envelope takes more samples to leave the window.
    writeWav(input, {mono, mono}, 48000);
    const ToolRun run = convert({"--events", folder.path("events.jsonl")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::int64_t> noteOffs = samplesOf(readFile(folder.path("events.jsonl")), "note-off");
    ASSERT_FALSE(noteOffs.empty());
    // The envelope's decay in the plug-in's own single precision: the last sample still in the window, then
    // the hold of 1005 samples.
    const auto coefficient = static_cast<float>(std::pow(0.5, 1.0 / ((1.0 - 0.5f + 0.001) * 48000.0)));
    std::int64_t lastInWindow = 0;
    for (float envelope = 0.9f; envelope * coefficient >= 1.0f - 0.4f; envelope *= coefficient) {
        ++lastInWindow;
    }
    EXPECT_NEAR(noteOffs[0] - kClickPositions[0], lastInWindow + 1005, 2);
    EXPECT_NE(run.err.find("clicks.wav"), std::string::npos);

    // A hold typed in ms is read at the file's rate: 10 ms are 480 samples at 48 kHz.
    const ToolRun typed = convert({"--events", folder.path("events.jsonl"), "--set", "Falloff=10ms"});
    ASSERT_EQ(typed.status, 0) << typed.err;
    EXPECT_NEAR(samplesOf(readFile(folder.path("events.jsonl")), "note-off")[0] - kClickPositions[0],
                lastInWindow + 480, 2);
}

TEST_F(CliConvert, FriendlyFormsReachThePlugin) {
    ToolRun run = convert({"--note", "C1", "--channel", "16", "--velocity", "64"});
    ASSERT_EQ(run.status, 0) << run.err;
    SmfFile file = readSmf(folder.path("out.mid"));
    ASSERT_FALSE(file.events.empty());
    EXPECT_EQ(file.events[0].status, 0x9F);
    EXPECT_EQ(file.events[0].data1, 36);
    EXPECT_EQ(file.events[0].data2, 64);
    EXPECT_EQ(file.events[1].status, 0x8F);

    // The level 0.9 in the default window 0.6..1 gives velocity 118 when it follows the level from 0.
    run = convert({"--note", "72", "--velocity-from-level", "--velocity", "0"});
    ASSERT_EQ(run.status, 0) << run.err;
    file = readSmf(folder.path("out.mid"));
    ASSERT_FALSE(file.events.empty());
    EXPECT_EQ(file.events[0].data1, 72);
    EXPECT_EQ(file.events[0].data2, 118);

    // Order does not matter: --note before --cc is still read as a controller number.
    run = convert({"--note", "7", "--cc"});
    ASSERT_EQ(run.status, 0) << run.err;
    file = readSmf(folder.path("out.mid"));
    ASSERT_FALSE(file.events.empty());
    for (const SmfEvent& event : file.events) {
        EXPECT_EQ(event.status, 0xB0);
        EXPECT_EQ(event.data1, 7);
    }

    // Names are case-insensitive; Volume 0.9 leaves a tenth of the level, below the window.
    run = convert({"--program", "2", "--set", "VOLUME=0.9"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(readSmf(folder.path("out.mid")).events.empty());
}

TEST_F(CliConvert, EventListIsOneJsonObjectPerEvent) {
    const ToolRun run = convert({"--events", "-", "--quiet"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    int count = 0;
    for (const std::string& line : linesOf(run.out)) {
        // Every field of the line, in order, rebuilt from its sample and type.
        const std::string type = jsonValue(line, "type");
        const long long sample = std::stoll(jsonValue(line, "sample"));
        char expected[160];
        std::snprintf(expected, sizeof expected,
                      R"({"sample":%lld,"time":%.6f,"type":"%s","channel":1,"note":60,"velocity":%d})",
                      sample, static_cast<double>(sample) / kRate, type.c_str(), type == "note-on" ? 127 : 0);
        EXPECT_EQ(line, expected);
        EXPECT_TRUE(type == "note-on" || type == "note-off") << line;
        ++count;
    }
    EXPECT_EQ(count, 2 * static_cast<int>(kClickPositions.size()));
}

TEST_F(CliConvert, AudioOutputFollowsTheOutputMode) {
    ToolRun run = convert({"--output", "orig", "--audio-out", folder.path("orig.wav")});
    ASSERT_EQ(run.status, 0) << run.err;
    run = convert({"--output", "mute", "--audio-out", folder.path("mute.wav")});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const std::string name : {"orig.wav", "mute.wav"}) {
        SF_INFO info{};
        SNDFILE* file = sf_open(folder.path(name).c_str(), SFM_READ, &info);
        ASSERT_NE(file, nullptr) << name;
        EXPECT_EQ(info.channels, 2);
        EXPECT_EQ(info.frames, static_cast<sf_count_t>(kFrames));
        std::vector<float> samples(kFrames * 2);
        sf_readf_float(file, samples.data(), info.frames);
        sf_close(file);
        const bool original = name == "orig.wav";
        for (const std::int64_t at : kClickPositions) {
            EXPECT_FLOAT_EQ(samples[2 * at], original ? 0.9f : 0.0f) << name << " at " << at;
            EXPECT_FLOAT_EQ(samples[2 * at + 1], original ? 0.9f : 0.0f) << name << " at " << at;
        }
    }
}

TEST_F(CliConvert, MonoFeedsBothInputsAndExtraChannelsAreLeftOut) {
    // One input alone would carry half the level, 0.45, below the window.
    writeWav(input, {mono}, kRate);
    ToolRun run = convert({"--events", folder.path("events.jsonl")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(noteOnSamples(readFile(folder.path("events.jsonl"))), kClickPositions);

    const std::vector<float> third = clicks(kFrames, {15000}, 1.0f);
    writeWav(input, {mono, mono, third}, kRate);
    run = convert({"--events", folder.path("events.jsonl")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("3 channels; the first two are used"), std::string::npos) << run.err;
    EXPECT_EQ(noteOnSamples(readFile(folder.path("events.jsonl"))), kClickPositions);
}

// A lane per band, whether or not the plug-in gives its levels, with or without the true hits.
TEST_F(CliConvert, PlotIsAPngPictureWithALanePerBand) {
    writeFile(folder.path("truth.csv"), "seconds,note\n0.5,60\n");
    const struct {
        std::vector<std::string> options;
        std::size_t lanes;
    } cases[] = {
        {{}, 1},
        {{"--band", "a:note=60", "--band", "b:note=61", "--reference", folder.path("truth.csv")}, 2},
        {{"--plugin", testsupport::moduleBesideExecutable("host_test_both_entries"), "--band", "a:bleed=keep",
          "--band", "b:bleed=keep", "--band", "c:bleed=keep"},
         3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lanes);
        std::vector<std::string> options = c.options;
        options.insert(options.end(), {"--plot", folder.path("plot.png")});
        const ToolRun run = convert(options);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string png = readFile(folder.path("plot.png"));
        ASSERT_GT(png.size(), 33u);
        EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
        EXPECT_EQ(png.substr(12, 4), "IHDR");
        const auto big = [&](std::size_t at) {
            return (static_cast<unsigned char>(png[at]) << 24) |
                   (static_cast<unsigned char>(png[at + 1]) << 16) |
                   (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
        };
        EXPECT_EQ(big(16), zcli::kPlotWidth);
        EXPECT_EQ(big(20), zcli::plotHeight(c.lanes));
    }
}

TEST_F(CliConvert, DefaultOutputIsBesideTheInput) {
    const ToolRun run = runTool({"convert", input, "--plugin", pluginPath(), "-q"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readSmf(folder.path("clicks.mid")).events.size(), 2 * kClickPositions.size());
}

} // namespace
} // namespace zcli_test

// The tool's other commands and manners: help, version, info, demo and the progress bar.
#include "tests/cli/smf_reader.h"
#include "tests/cli/tool_harness.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zcli_test {
namespace {

TEST(ToolHelp, EveryCommandHasHelpAndTheToolHasAVersion) {
    ToolRun run = runTool({"--help"});
    EXPECT_EQ(run.status, 0);
    for (const char* command : {"convert", "info", "demo"}) {
        EXPECT_NE(run.out.find(command), std::string::npos) << command;
        const ToolRun help = runTool({command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_EQ(help.out.rfind(std::string("Usage: zephyrion ") + command, 0), 0u) << help.out;
    }
    // Help wins over the rest of the line, even over mistakes.
    EXPECT_EQ(runTool({"convert", "--frobnicate", "--help"}).status, 0);
    run = runTool({"--version"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("zephyrion ", 0), 0u) << run.out;
    EXPECT_EQ(run.out.find_first_not_of("0123456789.", 10), run.out.size() - 1) << run.out;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '.'), 2) << run.out;
}

TEST(ToolInfo, ShowsWhatAHostSees) {
    const ToolRun run = runTool({"info", "--plugin", pluginPath()});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* expected : {"Effect name:    Zephyrion",
                                 "Vendor:         Mardolin",
                                 "Vendor version: 1",
                                 "ZQMV (0x5A514D56)",
                                 "Inputs:         2",
                                 "Outputs:        2",
                                 "0x19 (has editor, can mono, can replacing)",
                                 "\"ZQMV 2\", flags 3",
                                 "Parameters (20)",
                                 "Midi Note    0.28       %      C3 (note 60)",
                                 "Out.Mode     0.10       %      Proc.",
                                 "Freq.Mode    0.00       %      linear",
                                 "19  reserved",
                                 "Init Preset 04",
                                 "receiveVstMidiEvent   1 (yes)",
                                 "offline              -1 (no)",
                                 "Category:       0 (unknown)",
                                 "meaning at 44100 Hz",
                                 "Volume       0.50       %      gain -6.0 dB",
                                 "Amp.Hi       0.40       %      lower bound -4.4 dBFS",
                                 "Freq.Lo      0.00       %      highpass edge 35.6 Hz",
                                 "Freq.Hi      1.00       %      lowpass edge above 22.05 kHz",
                                 "Falloff      0.80       %      hold 22.79 ms",
                                 "Release      0.50       %      half-life 501.0 ms"}) {
        EXPECT_NE(run.out.find(expected), std::string::npos) << "missing: " << expected << "\n" << run.out;
    }
}

TEST(ToolInfo, ReadsSettingsAtTheRateAskedAndShowsTheKitPresets) {
    const ToolRun rate = runTool({"info", "--plugin", pluginPath(), "--rate", "96000"});
    ASSERT_EQ(rate.status, 0) << rate.err;
    for (const char* expected : {"meaning at 96000 Hz", "lowpass edge above 48.00 kHz", "hold 10.47 ms"}) {
        EXPECT_NE(rate.out.find(expected), std::string::npos) << "missing: " << expected << "\n" << rate.out;
    }
    const ToolRun presets = runTool({"info", "--presets"});
    ASSERT_EQ(presets.status, 0) << presets.err;
    for (const char* expected :
         {"at 44100 Hz", "kick: C1 (note 36), channel 10, exponential\n",
          "  Freq.Hi  0.15  lowpass edge 146.1 Hz\n", "  Amp.Hi   0.85  lower bound -16.5 dBFS\n",
          "  --auto may move Freq.Hi: 0.15 (lowpass edge 146.1 Hz) 0.10 (lowpass edge 93.3 Hz)\n",
          "  Release  0.95  half-life 51.0 ms\n",
          "hihat: F#1 (note 42), channel 10, exponential, keeps its bleed",
          "  Freq.Lo  0.93  highpass edge 2.95 kHz\n", "toms: A1 (note 45)"}) {
        EXPECT_NE(presets.out.find(expected), std::string::npos) << "missing: " << expected << "\n"
                                                                 << presets.out;
    }
}

TEST(ToolDemo, FindsEveryHitThenTheKicksAloneThenEachDrumInItsBand) {
    TempFolder folder;
    const std::string demo = folder.path("demo");
    const ToolRun run = runTool({"demo", demo, "--plugin", pluginPath()});
    ASSERT_EQ(run.status, 0) << run.err;
    // The table's rows: run, window words, hits, notes, the errors on the hits and raw, "/" between them, and
    // "samples".
    const auto row = [&](const std::string& name) {
        for (const std::string& line : linesOf(run.out)) {
            const std::vector<std::string> words = wordsOf(line);
            if (!words.empty() && words[0] == name) {
                return words;
            }
        }
        return std::vector<std::string>{};
    };
    const std::vector<std::string> everyHit = row("every-hit");
    ASSERT_EQ(everyHit.size(), 9u) << run.out;
    EXPECT_EQ(everyHit[3], "16");
    EXPECT_EQ(everyHit[4], "16");
    EXPECT_LE(std::stoi(everyHit[5]), 2);
    EXPECT_LT(std::stoi(everyHit[7]), 100);
    const std::vector<std::string> kicks = row("kicks");
    ASSERT_EQ(kicks.size(), 10u) << run.out;
    EXPECT_EQ(kicks[4], "6");
    EXPECT_EQ(kicks[5], "6");
    EXPECT_LE(std::stoi(kicks[6]), 2);
    EXPECT_LT(std::stoi(kicks[8]), 300);
    EXPECT_GT(std::stoi(kicks[8]), 10 * std::stoi(kicks[6]))
        << "the low band's delay, which the lookahead undoes";
    const std::vector<std::string> kit = row("kit");
    ASSERT_EQ(kit.size(), 11u) << run.out;
    EXPECT_EQ(kit[5], "16");
    EXPECT_LE(std::stoi(kit[7]), 2) << "every drum's band on its hits";

    for (const char* file : {"groove.wav", "groove-truth.csv", "every-hit.jsonl", "every-hit.png",
                             "kicks.jsonl", "kicks.png", "kicks-raw-timing.mid", "kit.png"}) {
        EXPECT_FALSE(readFile((std::filesystem::path(demo) / file).string()).empty()) << file;
    }
    int noteOns = 0;
    for (const SmfEvent& event : readSmf((std::filesystem::path(demo) / "every-hit.mid").string()).events) {
        noteOns += (event.status & 0xF0) == 0x90 ? 1 : 0;
    }
    EXPECT_EQ(noteOns, 16);
}

// "[", thirty cells of "#" or blank, "]", blanks, a number and "%".
bool showsProgressBar(const std::string& text) {
    for (std::size_t at = text.find('['); at != std::string::npos; at = text.find('[', at + 1)) {
        const std::string cells = text.substr(at + 1, 30);
        std::size_t next = at + 31;
        if (cells.size() < 30 || cells.find_first_not_of("# ") != std::string::npos || next >= text.size() ||
            text[next] != ']') {
            continue;
        }
        next = text.find_first_not_of(' ', next + 1);
        const std::size_t digitsEnd =
            next == std::string::npos ? next : text.find_first_not_of("0123456789", next);
        if (digitsEnd != std::string::npos && digitsEnd > next && text[digitsEnd] == '%') {
            return true;
        }
    }
    return false;
}

class ToolProgress : public ::testing::Test {
protected:
    void SetUp() override {
        input = folder.path("in.wav");
        const std::vector<float> audio = clicks(44100 * 20, {1000}, 0.9f);
        writeWav(input, {audio, audio}, 44100);
    }

    ToolRun convert(bool onTerminal, bool quiet) {
        std::vector<std::string> arguments{"convert", input, "--plugin", pluginPath()};
        if (quiet) {
            arguments.push_back("--quiet");
        }
        return runTool(arguments, onTerminal);
    }

    TempFolder folder;
    std::string input;
};

TEST_F(ToolProgress, BarOnlyOnATerminal) {
    const ToolRun terminal = convert(true, false);
    ASSERT_EQ(terminal.status, 0) << terminal.out;
    EXPECT_TRUE(showsProgressBar(terminal.out)) << terminal.out;
    EXPECT_NE(terminal.out.find("100%"), std::string::npos) << terminal.out;

    const ToolRun pipe = convert(false, false);
    ASSERT_EQ(pipe.status, 0) << pipe.err;
    EXPECT_FALSE(showsProgressBar(pipe.err)) << pipe.err;
    EXPECT_NE(pipe.err.find("1 note, 0 control changes"), std::string::npos) << pipe.err;

    const ToolRun quiet = convert(true, true);
    ASSERT_EQ(quiet.status, 0) << quiet.out;
    EXPECT_FALSE(showsProgressBar(quiet.out)) << quiet.out;
}

} // namespace
} // namespace zcli_test

// The tool's other commands and manners: help, version, info, demo and the progress bar.
#include "tests/cli/smf_reader.h"
#include "tests/cli/tool_harness.h"

#include <gtest/gtest.h>

#include <regex>

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
    EXPECT_TRUE(std::regex_match(run.out, std::regex("zephyrion [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << run.out;
}

TEST(ToolInfo, ShowsWhatAHostSees) {
    const ToolRun run = runTool({"info", "--plugin", pluginPath()});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const char* expected :
         {"Effect name:    Zephyrion", "Vendor:         Mardolin", "Vendor version: 1", "ZQMV (0x5A514D56)",
          "Inputs:         2", "Outputs:        2", "0x19 (has editor, can mono, can replacing)",
          "\"ZQMV 2\", flags 3", "Parameters (20)", "Midi Note    0.28       %      C3 (note 60)",
          "Out.Mode     0.10       %      Proc.", "Freq.Mode    0.00       %      linear", "19  reserved",
          "Init Preset 04", "receiveVstMidiEvent   1 (yes)", "offline              -1 (no)",
          "Category:       0 (unknown)"}) {
        EXPECT_NE(run.out.find(expected), std::string::npos) << "missing: " << expected << "\n" << run.out;
    }
}

TEST(ToolDemo, FindsEveryHitThenTheKicksAlone) {
    TempFolder folder;
    const std::string demo = folder.path("demo");
    const ToolRun run = runTool({"demo", demo, "--plugin", pluginPath()});
    ASSERT_EQ(run.status, 0) << run.err;
    std::smatch match;
    const std::regex everyHit(R"(every-hit +default program +16 +16 +(\d+) samples)");
    ASSERT_TRUE(std::regex_search(run.out, match, everyHit)) << run.out;
    EXPECT_LT(std::stoi(match[1]), 100);
    const std::regex kicks(R"(kicks +Freq.Hi 0.30, exponential +6 +6 +(\d+) samples)");
    ASSERT_TRUE(std::regex_search(run.out, match, kicks)) << run.out;
    EXPECT_LT(std::stoi(match[1]), 300);

    for (const char* file : {"groove.wav", "every-hit.jsonl", "every-hit.png", "kicks.jsonl", "kicks.png"}) {
        EXPECT_FALSE(readFile((std::filesystem::path(demo) / file).string()).empty()) << file;
    }
    int noteOns = 0;
    for (const SmfEvent& event : readSmf((std::filesystem::path(demo) / "every-hit.mid").string()).events) {
        noteOns += (event.status & 0xF0) == 0x90 ? 1 : 0;
    }
    EXPECT_EQ(noteOns, 16);
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
    const std::regex bar(R"(\[[# ]{30}\] +\d+%)");
    const ToolRun terminal = convert(true, false);
    ASSERT_EQ(terminal.status, 0) << terminal.out;
    EXPECT_TRUE(std::regex_search(terminal.out, bar)) << terminal.out;
    EXPECT_NE(terminal.out.find("100%"), std::string::npos) << terminal.out;

    const ToolRun pipe = convert(false, false);
    ASSERT_EQ(pipe.status, 0) << pipe.err;
    EXPECT_FALSE(std::regex_search(pipe.err, bar)) << pipe.err;
    EXPECT_NE(pipe.err.find("1 note, 0 control changes"), std::string::npos) << pipe.err;

    const ToolRun quiet = convert(true, true);
    ASSERT_EQ(quiet.status, 0) << quiet.out;
    EXPECT_FALSE(std::regex_search(quiet.out, bar)) << quiet.out;
}

} // namespace
} // namespace zcli_test

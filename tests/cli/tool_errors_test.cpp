// Every way a conversion can be refused: the exit status, one line naming the culprit, and no output left.
#include "tests/cli/tool_harness.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace zcli_test {
namespace {

class ToolErrorTest : public ::testing::Test {
protected:
    void SetUp() override {
        input = folder.path("in.wav");
        const std::vector<float> audio = clicks(20000, {100}, 0.9f);
        writeWav(input, {audio, audio}, 44100);
    }

    // Runs a conversion that must fail, and checks what every failure must do.
    void expectRefused(std::vector<std::string> arguments, int status,
                       const std::vector<std::string>& words) {
        std::vector<std::string> command{"convert",
                                         "--plugin",
                                         pluginPath(),
                                         "-o",
                                         folder.path("out.mid"),
                                         "--events",
                                         folder.path("out.jsonl")};
        command.insert(command.end(), arguments.begin(), arguments.end());
        const std::vector<std::string> before = folder.entries();
        const ToolRun run = runTool(command);
        EXPECT_EQ(run.status, status) << run.err;
        ASSERT_FALSE(run.err.empty());
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
        EXPECT_EQ(run.err.rfind("zephyrion: ", 0), 0u) << run.err;
        for (const std::string& word : words) {
            EXPECT_NE(run.err.find(word), std::string::npos) << "'" << word << "' missing from: " << run.err;
        }
        EXPECT_EQ(folder.entries(), before) << "an output or a temporary file was left behind";
    }

    TempFolder folder;
    std::string input;
};

TEST_F(ToolErrorTest, InputsThatAreNotAudio) {
    expectRefused({folder.path("missing.wav")}, 1, {"missing.wav", "no such file"});

    writeFile(folder.path("notes.txt"), "these are words, not samples\n");
    expectRefused({folder.path("notes.txt")}, 1, {"notes.txt", "not a readable audio file"});

    writeFile(folder.path("empty.wav"), "");
    expectRefused({folder.path("empty.wav")}, 1, {"empty.wav", "not a readable audio file"});

    writeWav(folder.path("silent.wav"), {{}, {}}, 44100);
    expectRefused({folder.path("silent.wav")}, 1, {"silent.wav", "holds no audio samples"});

    expectRefused({folder.path("")}, 1, {"is a folder"});
}

TEST_F(ToolErrorTest, BadParameterNamesAndValuesListWhatIsValid) {
    expectRefused({input, "--set", "Loudness=0.5"}, 2, {"Loudness", "Amp.Hi", "Freq.Mode"});
    expectRefused({input, "--set", "reserved=0.5"}, 2, {"reserved"});
    expectRefused({input, "--set", "Amp.Hi=1.5"}, 2, {"Amp.Hi", "0 to 1"});
    expectRefused({input, "--set", "Amp.Hi"}, 2, {"NAME=VALUE"});
    expectRefused({input, "--note", "H3"}, 2, {"--note 'H3'", "C0..C8", "24..120"});
    expectRefused({input, "--note", "C9"}, 2, {"--note 'C9'"});
    expectRefused({input, "--note", "121"}, 2, {"--note '121'"});
    expectRefused({input, "--cc", "--note", "C3"}, 2, {"controller number 0..127"});
    expectRefused({input, "--channel", "17"}, 2, {"--channel '17'", "1 to 16"});
    expectRefused({input, "--velocity", "-1"}, 2, {"--velocity '-1'", "0 to 127"});
    expectRefused({input, "--output", "loud"}, 2, {"--output 'loud'", "mute, proc or orig"});
    expectRefused({input, "--freq-mode", "cubic"}, 2, {"--freq-mode 'cubic'", "lin, exp or log"});
    expectRefused({input, "--program", "4"}, 2, {"--program '4'", "0 to 3"});
    // Read once the input's rate is known, and refused before any output is opened.
    expectRefused({input, "--set", "Freq.Hi=100Hz"}, 2, {"--set Freq.Hi=100Hz", "no lower than 155.7 Hz"});
    // Two bands sending the same messages, as the plug-in reports them once configured.
    expectRefused({input, "--band", "kick", "--band", "bd:note=36,channel=10"}, 2,
                  {"--band bd", "'kick' and 'bd'", "note 36 on channel 10;", "own note or channel"});
    expectRefused({input, "--note", "C1", "--band", "low:Freq.Hi=0.2", "--band", "high:Freq.Lo=0.5"}, 2,
                  {"'low' and 'high'", "note 36 on channel 1;"});
    expectRefused({input, "--band", "a:note=100", "--band", "b:note=C8"}, 2, {"'a' and 'b'", "note 100 on"});
    expectRefused({input, "--cc", "--band", "a:note=7", "--band", "b:note=7,channel=2"}, 2,
                  {"'a' and 'b'", "controller 7;", "own controller"});
}

TEST_F(ToolErrorTest, CommandLineMistakes) {
    expectRefused({input, "--frobnicate"}, 2, {"unknown option '--frobnicate'"});
    expectRefused({input, "--block"}, 2, {"--block needs a value"});
    expectRefused({input, "--block", "0"}, 2, {"--block '0'"});
    expectRefused({input, "--ppq", "40000"}, 2, {"--ppq '40000'"});
    expectRefused({input, "--bpm", "fast"}, 2, {"--bpm 'fast'"});
    expectRefused({input, "--cc=yes"}, 2, {"--cc takes no value"});
    expectRefused({input, input}, 2, {"each needs its own --band"});
    expectRefused({}, 2, {"needs an input audio file"});
}

TEST_F(ToolErrorTest, OutputsThatCannotBeWritten) {
    expectRefused({input, "--plot", folder.path("no/such/folder/plot.png")}, 1,
                  {"plot.png", "cannot be written"});
    expectRefused({input, "--audio-out", folder.path("")}, 1, {"cannot be written", "is a folder"});
}

TEST_F(ToolErrorTest, ReferenceHitsThatCannotBeUsed) {
    const std::string report = folder.path("score.json");
    writeFile(folder.path("truth.csv"), "seconds,note\n0.5,36\n\n1.0 36\n");
    expectRefused({input, "--reference", folder.path("truth.csv"), "--report", report}, 1,
                  {"truth.csv:4:", "expected 2 fields"});
    expectRefused({input, "--reference", folder.path("absent.csv"), "--report", report}, 1,
                  {"absent.csv", "no such file"});
    expectRefused({input, "--report", report}, 2, {"--report", "--reference"});
    expectRefused({input, "--reference", folder.path("truth.csv"), "--report", folder.path("out.mid")}, 2,
                  {"-o and --report"});
}

TEST_F(ToolErrorTest, PluginThatCannotBeLoaded) {
    writeFile(folder.path("fake.so"), "not a library");
    expectRefused({input, "--plugin", folder.path("fake.so")}, 1, {"fake.so", "cannot be loaded"});
    expectRefused({input, "--plugin", folder.path("absent.so")}, 1, {"absent.so", "cannot be loaded"});
}

TEST_F(ToolErrorTest, InterruptedConversionLeavesNothingBehind) {
    // Two minutes in small blocks keep the tool busy long after its outputs are opened.
    const std::vector<float> audio = clicks(120 * 44100, {100}, 0.9f);
    writeWav(input, {audio, audio}, 44100);
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        const std::vector<std::string> before = folder.entries();
        ToolProcess tool(
            {"convert", input, "--plugin", pluginPath(), "--block", "16", "--plot", folder.path("out.png")});
        // The outputs' temporary files appear just before the first block; a tool that never gets there has
        // failed for another reason, which the checks below then show.
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (folder.entries().size() < before.size() + 2 && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        tool.signal(signal);
        const ToolRun run = tool.finish();
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "zephyrion: interrupted\n");
        EXPECT_EQ(folder.entries(), before);
    }
}

TEST(ToolCommandLine, UnknownCommandsAndMissingCommand) {
    ToolRun run = runTool({});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("no command"), std::string::npos);
    run = runTool({"transmogrify"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("unknown command 'transmogrify'"), std::string::npos);
    run = runTool({"info", "--verbose"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("unknown option '--verbose'"), std::string::npos);
}

} // namespace
} // namespace zcli_test

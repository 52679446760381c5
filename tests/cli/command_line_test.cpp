// How the command line is read into a request, without running anything.
#include "tools/common/errors.h"
#include "tools/zephyrion/command_line.h"

#include <gtest/gtest.h>

namespace zcli_test {
namespace {

zcli::ConvertRequest convert(std::vector<std::string> rest) {
    rest.insert(rest.begin(), {"zephyrion", "convert"});
    return std::get<zcli::ConvertRequest>(zcli::parseCommandLine(rest));
}

TEST(CliCommandLine, ConvertDefaults) {
    const zcli::ConvertRequest request = convert({"take.flac"});
    EXPECT_EQ(request.inputs, std::vector<std::string>{"take.flac"});
    EXPECT_EQ(request.midiOut, "take.mid");
    EXPECT_EQ(request.blockSize, 512);
    EXPECT_EQ(request.ppq, 960);
    EXPECT_EQ(request.bpm, 120.0);
    EXPECT_EQ(request.plugin.program, 0);
    EXPECT_TRUE(request.plugin.parameters.empty());
    EXPECT_FALSE(request.quiet);
    EXPECT_EQ(zcli::defaultMidiPath("sessions/a.b/drums"), "sessions/a.b/drums.mid");
}

TEST(CliCommandLine, BothSpellingsOfValuesAndTheEndOfOptions) {
    const zcli::ConvertRequest request =
        convert({"--block=64", "--bpm", "90.5", "-o", "x.mid", "--events=-", "--", "-odd name.wav"});
    EXPECT_EQ(request.blockSize, 64);
    EXPECT_EQ(request.bpm, 90.5);
    EXPECT_EQ(request.midiOut, "x.mid");
    EXPECT_EQ(request.eventsOut, "-");
    EXPECT_EQ(request.inputs, std::vector<std::string>{"-odd name.wav"});
}

TEST(CliCommandLine, ParametersKeepTheirOrderUnderTheirPluginNames) {
    const zcli::ConvertRequest request =
        convert({"in.wav", "--set", "amp.hi=0.7", "--channel", "10", "--output", "orig", "--freq-mode", "log",
                 "--velocity-from-level"});
    const auto& parameters = request.plugin.parameters;
    ASSERT_EQ(parameters.size(), 5u);
    EXPECT_EQ(parameters[0].name, "amp.hi");
    EXPECT_FLOAT_EQ(parameters[0].value, 0.7f);
    EXPECT_EQ(parameters[1].name, "Midi Ch.");
    EXPECT_EQ(parameters[1].value, 9.0f / 15.0f);
    EXPECT_EQ(parameters[2].name, "Out.Mode");
    EXPECT_EQ(parameters[2].value, 0.2f);
    EXPECT_EQ(parameters[3].name, "Freq.Mode");
    EXPECT_EQ(parameters[3].value, 0.2f);
    EXPECT_EQ(parameters[4].name, "VeloSw");
    EXPECT_EQ(parameters[4].value, 1.0f);
}

TEST(CliCommandLine, NoteIsReadInTheModeTheWholeLineAsksFor) {
    auto noteValue = [](std::vector<std::string> rest) {
        for (const zcli::ParameterRequest& parameter : convert(rest).plugin.parameters) {
            if (parameter.name == "Midi Note") {
                return parameter.value;
            }
        }
        return -1.0f;
    };
    EXPECT_EQ(noteValue({"in.wav", "--note", "60"}), 36.0f / 127.0f);
    EXPECT_EQ(noteValue({"in.wav", "--note", "60", "--cc"}), 60.0f / 127.0f);
    EXPECT_EQ(noteValue({"in.wav", "--note", "60", "--set", "NoteOrCC=1"}), 60.0f / 127.0f);
}

TEST(CliCommandLine, MistakesAreUsageErrors) {
    const std::vector<std::vector<std::string>> mistakes{
        {"zephyrion"},
        {"zephyrion", "render"},
        {"zephyrion", "--verbose"},
        {"zephyrion", "convert"},
        {"zephyrion", "convert", "a.wav", "b.wav"},
        {"zephyrion", "convert", "a.wav", "--ppq"},
        {"zephyrion", "convert", "a.wav", "--quiet=1"},
        {"zephyrion", "convert", "a.wav", "--set", "=0.5"},
        {"zephyrion", "convert", "a.wav", "--set", "Midi Note=3Hz"},
        {"zephyrion", "convert", "a.wav", "--set", "Freq.Hi=3ms"},
        {"zephyrion", "info", "--rate", "0"},
        {"zephyrion", "info", "--presets", "--plugin", "x.so"},
        {"zephyrion", "convert", "a.mid"},
        {"zephyrion", "convert", "a.wav", "-o", "-"},
        {"zephyrion", "convert", "a.wav", "-o", "x.mid", "--events", "./x.mid"},
        {"zephyrion", "convert", "a.wav", "--plot", "a.wav"},
        {"zephyrion", "info", "extra"},
        {"zephyrion", "demo", "one", "two"},
        {"zephyrion", "snapshot", "x.png", "--channel", "3"},
    };
    for (const auto& arguments : mistakes) {
        std::string line;
        for (const std::string& argument : arguments) {
            line += argument + " ";
        }
        EXPECT_THROW(zcli::parseCommandLine(arguments), zcli::UsageError) << line;
    }
}

TEST(CliCommandLine, OtherCommands) {
    const auto demo = std::get<zcli::DemoRequest>(zcli::parseCommandLine({"zephyrion", "demo"}));
    EXPECT_EQ(demo.folder, "zephyrion-demo");
    const auto there =
        std::get<zcli::DemoRequest>(zcli::parseCommandLine({"zephyrion", "demo", "out", "-q"}));
    EXPECT_EQ(there.folder, "out");
    EXPECT_TRUE(there.quiet);
    const auto info =
        std::get<zcli::InfoRequest>(zcli::parseCommandLine({"zephyrion", "info", "--plugin=x.so"}));
    EXPECT_EQ(info.pluginPath, "x.so");
    const auto snapshot = std::get<zcli::SnapshotRequest>(
        zcli::parseCommandLine({"zephyrion", "snapshot", "--set=freq.lo=0.5", "out.png", "--note-active"}));
    EXPECT_EQ(snapshot.output, "out.png");
    ASSERT_EQ(snapshot.parameters.size(), 1u);
    EXPECT_EQ(snapshot.parameters[0].name, "freq.lo");
    EXPECT_EQ(snapshot.parameters[0].value, 0.5f);
    EXPECT_TRUE(snapshot.noteActive);
    const auto help = std::get<zcli::TextRequest>(zcli::parseCommandLine({"zephyrion", "demo", "--help"}));
    EXPECT_EQ(help.text.rfind("Usage: zephyrion demo", 0), 0u);
}

} // namespace
} // namespace zcli_test

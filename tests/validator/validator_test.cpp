// The validator finds each fault built into its faulty plug-ins, in the check meant to find it, and finds
// nothing in the plug-in built without one; a crash or a hang ends only the check it happened in.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/PluginPath.h"
#include "tools/validator/child_process.h"
#include "tools/validator/options.h"
#include "tools/validator/run.h"

namespace {

using zvalidate::CheckResult;
using zvalidate::Status;

std::string validatorPath() {
#ifdef _WIN32
    return testsupport::executableDirectory() + "zephyrion-validate.exe";
#else
    return testsupport::executableDirectory() + "zephyrion-validate";
#endif
}

std::string faultPlugin(const std::string& fault) {
    return testsupport::moduleBesideExecutable("validator_fault_" + fault);
}

std::vector<CheckResult> validate(const std::string& fault, const std::vector<std::string>& checks,
                                  double timeoutSeconds) {
    zvalidate::RunSettings settings;
    settings.pluginPath = faultPlugin(fault);
    settings.level = 1;
    settings.timeoutSeconds = timeoutSeconds;
    settings.chosen = zvalidate::chooseChecks(checks);
    return zvalidate::superviseChecks(settings, {validatorPath()}, [](const CheckResult&) {});
}

CheckResult resultOf(const std::vector<CheckResult>& results, const std::string& name) {
    const auto found = std::find_if(results.begin(), results.end(),
                                    [&name](const CheckResult& result) { return result.name == name; });
    return found == results.end() ? CheckResult{name, Status::Skipped, "no result", 0.0} : *found;
}

struct ProgramRun {
    int status = -1;
    std::string out;
};

ProgramRun runProgram(const std::vector<std::string>& command) {
    zvalidate::ChildProcess child(command);
    ProgramRun run;
    char buffer[4096];
    for (long count; (count = child.read(buffer, sizeof buffer, 1000)) != 0;) {
        if (count > 0) {
            run.out.append(buffer, static_cast<std::size_t>(count));
        }
    }
    child.wait();
    run.status = child.exitStatus();
    return run;
}

struct FaultCase {
    const char* fault;
    const char* checks; // as --check takes them
    const char* check;  // the one that must fail
    const char* reason; // words its reason must hold
};

constexpr FaultCase kFaults[] = {
    {"NanOutput", "bad-audio.nan", "bad-audio.nan", "output NaN on channel 1"},
    {"HangingNote", "midi.notes", "midi.notes", "still sounding after the automation stopped"},
    {"StrayNoteOff", "midi.notes", "midi.notes", "which is not sounding"},
    {"VelocityZero", "midi.events", "midi.events", "note-on with velocity 0"},
    {"LateEvent", "midi.events", "midi.events", "outside its block of"},
    {"ParameterRange", "parameters.values", "parameters.values", "reads back NaN after setParameter(0, NaN)"},
    {"LongText", "parameters.texts", "parameters.texts", "written 45 bytes past a 256-byte buffer"},
    {"NullCrash", "dispatcher", "dispatcher.null", "while at: effGetParamName (8) with a null pointer"},
    {"Hang", "dispatcher", "dispatcher.null", "(hung) while at: effGetTailSize (52) with a null pointer"},
};

// Long enough for a start under emulation, short enough that the hanging plug-in costs little.
constexpr double kHangTimeout = 10.0;

TEST(Validator, ReportsEachFaultInItsCheck) {
    for (const FaultCase& fault : kFaults) {
        SCOPED_TRACE(fault.fault);
        const std::vector<CheckResult> results = validate(fault.fault, {fault.checks}, kHangTimeout);
        const CheckResult result = resultOf(results, fault.check);
        EXPECT_EQ(result.status, Status::Failure) << result.reason;
        EXPECT_NE(result.reason.find(fault.reason), std::string::npos) << result.reason;
        if (std::string(fault.checks) == "dispatcher") {
            // The child that crashed or hung is gone; a new one ran the next check.
            EXPECT_EQ(resultOf(results, "dispatcher.buffers").status, Status::Pass)
                << resultOf(results, "dispatcher.buffers").reason;
        }
    }
}

TEST(Validator, FindsNothingInThePluginWithoutAFault) {
    for (const CheckResult& result : validate("None", {}, 120.0)) {
        EXPECT_TRUE(result.status == Status::Pass || result.status == Status::Skipped)
            << result.name << ": " << result.reason;
    }
}

TEST(Validator, ExitStatusTableAndJson) {
    const std::string json = testsupport::executableDirectory() + "validator_test_report.json";
    std::remove(json.c_str());
    const ProgramRun clean = runProgram({validatorPath(), "--plugin", faultPlugin("None"), "--level", "1",
                                         "--check", "midi.events", "--json", json});
    EXPECT_EQ(clean.status, 0) << clean.out;
    EXPECT_NE(clean.out.find("midi.events          pass"), std::string::npos) << clean.out;
    FILE* file = std::fopen(json.c_str(), "rb");
    ASSERT_NE(file, nullptr) << "no JSON report";
    char text[4096] = {};
    std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    std::remove(json.c_str());
    EXPECT_NE(std::string(text).find("{\"name\":\"midi.events\",\"status\":\"pass\""), std::string::npos)
        << text;

    const ProgramRun faulty = runProgram(
        {validatorPath(), "--plugin", faultPlugin("VelocityZero"), "--level", "1", "--check", "midi.events"});
    EXPECT_EQ(faulty.status, 1) << faulty.out;
    EXPECT_EQ(runProgram({validatorPath(), "--level", "4"}).status, 2);
    EXPECT_EQ(runProgram({validatorPath(), "--check", "midi.everything"}).status, 2);
    EXPECT_EQ(runProgram({validatorPath(), "--plugin", faultPlugin("Missing")}).status, 1);
}

#ifdef ZEPHYRION_TOOL_PATH
TEST(Validator, IsTheToolsValidateCommand) {
    const ProgramRun run =
        runProgram({ZEPHYRION_TOOL_PATH, "validate", "--plugin", faultPlugin("VelocityZero"), "--level", "1",
                    "--check", "midi.events"});
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_NE(run.out.find("note-on with velocity 0"), std::string::npos) << run.out;
}
#endif

} // namespace

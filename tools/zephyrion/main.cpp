// zephyrion: the plug-in's job done offline, from the command line.
#include "tools/common/errors.h"
#include "tools/common/plugin_location.h"
#include "tools/validator/validate_command.h"
#include "tools/zephyrion/commands.h"
#include "tools/zephyrion/interruption.h"

#include <cstdio>
#include <string>
#include <variant>
#include <vector>

namespace {

int run(const std::vector<std::string>& arguments) {
    const zcli::Request request = zcli::parseCommandLine(arguments);
    if (const auto* text = std::get_if<zcli::TextRequest>(&request)) {
        std::fputs(text->text.c_str(), stdout);
    } else if (const auto* convert = std::get_if<zcli::ConvertRequest>(&request)) {
        zcli::runConvert(*convert);
    } else if (const auto* info = std::get_if<zcli::InfoRequest>(&request)) {
        zcli::runInfo(*info);
    } else if (const auto* demo = std::get_if<zcli::DemoRequest>(&request)) {
        zcli::runDemo(*demo);
    } else if (const auto* snapshot = std::get_if<zcli::SnapshotRequest>(&request)) {
        zcli::runSnapshot(*snapshot);
    }
    return std::fflush(stdout) == 0 ? zcli::kExitSuccess : zcli::kExitFailure;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv, argv + argc);
    try {
        // The validator leaves Ctrl-C its usual effect: it writes nothing before its checks are done, and
        // its child processes should end with it.
        if (arguments.size() > 1 && arguments[1] == "validate") {
            const zvalidate::Invocation invocation{"zephyrion validate",
                                                   {zcli::executablePath(), "validate"}};
            return zvalidate::runValidate(std::vector<std::string>(arguments.begin() + 2, arguments.end()),
                                          invocation);
        }
        zcli::installInterruptionHandlers();
        return run(arguments);
    } catch (const zcli::UsageError& error) {
        std::fprintf(stderr, "zephyrion: %s\n", error.what());
        return zcli::kExitUsage;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zephyrion: %s\n", error.what());
        return zcli::kExitFailure;
    }
}

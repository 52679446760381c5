// zephyrion: the plug-in's job done offline, from the command line.
#include "tools/zephyrion/commands.h"
#include "tools/zephyrion/errors.h"
#include "tools/zephyrion/interruption.h"
#include "tools/zephyrion/snapshot_command.h"

#include <cstdio>
#include <string>
#include <variant>
#include <vector>

namespace {

int run(const std::vector<std::string>& arguments) {
    if (arguments.size() > 1 && arguments[1] == "snapshot") {
        zcli::runSnapshot(arguments);
        return std::fflush(stdout) == 0 ? zcli::kExitSuccess : zcli::kExitFailure;
    }
    const zcli::Request request = zcli::parseCommandLine(arguments);
    if (const auto* text = std::get_if<zcli::TextRequest>(&request)) {
        std::fputs(text->text.c_str(), stdout);
    } else if (const auto* convert = std::get_if<zcli::ConvertRequest>(&request)) {
        zcli::runConvert(*convert);
    } else if (const auto* info = std::get_if<zcli::InfoRequest>(&request)) {
        zcli::runInfo(*info);
    } else if (const auto* demo = std::get_if<zcli::DemoRequest>(&request)) {
        zcli::runDemo(*demo);
    }
    return std::fflush(stdout) == 0 ? zcli::kExitSuccess : zcli::kExitFailure;
}

} // namespace

int main(int argc, char** argv) {
    zcli::installInterruptionHandlers();
    try {
        return run(std::vector<std::string>(argv, argv + argc));
    } catch (const zcli::UsageError& error) {
        std::fprintf(stderr, "zephyrion: %s\n", error.what());
        return zcli::kExitUsage;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zephyrion: %s\n", error.what());
        return zcli::kExitFailure;
    }
}

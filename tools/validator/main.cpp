// zephyrion-validate: the validator on its own, for every target (the zephyrion tool, which carries it as
// its validate command, is built for native Linux only).
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tools/common/errors.h"
#include "tools/common/plugin_location.h"
#include "tools/validator/validate_command.h"

int main(int argc, char** argv) {
    try {
        const zvalidate::Invocation invocation{"zephyrion-validate", {zcli::executablePath()}};
        return zvalidate::runValidate(std::vector<std::string>(argv + 1, argv + argc), invocation);
    } catch (const zcli::UsageError& error) {
        std::fprintf(stderr, "zephyrion-validate: %s\n", error.what());
        return zcli::kExitUsage;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zephyrion-validate: %s\n", error.what());
        return zcli::kExitFailure;
    }
}

// The validate command's command line. Every mistake is a zcli::UsageError naming the option.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zvalidate {

struct ValidateOptions {
    std::string pluginPath; // empty: the plug-in beside the program
    int level = 2;
    std::string jsonPath;
    double timeoutSeconds = 120.0;
    std::uint32_t seed = 1;
    // Check names or the part before their dot ("midi"); empty for all.
    std::vector<std::string> checks;
    bool help = false;
    // Set only in the child processes the validator starts itself.
    long childFrom = -1;
};

ValidateOptions parseValidateOptions(const std::vector<std::string>& arguments);

// The indices into allChecks() that `wanted` names, "load" always first; a UsageError for a name that
// matches no check, listing them.
std::vector<std::size_t> chooseChecks(const std::vector<std::string>& wanted);

// --help's text; `command` is how the user calls it, e.g. "zephyrion validate".
std::string validateHelp(const std::string& command);

} // namespace zvalidate

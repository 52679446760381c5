// The validate command, shared by `zephyrion validate` and the standalone `zephyrion-validate`.
#pragma once

#include <string>
#include <vector>

namespace zvalidate {

struct Invocation {
    // How the user calls the command, for the help text: "zephyrion validate".
    std::string name;
    // How the program starts itself as a child: its path and the arguments before the options.
    std::vector<std::string> childCommand;
};

// `arguments` are those after the command. Answers the exit status: 0 when no check failed, 1 otherwise.
// Throws zcli::UsageError for a bad command line and zcli::RunError when nothing could be checked.
int runValidate(const std::vector<std::string>& arguments, const Invocation& invocation);

} // namespace zvalidate

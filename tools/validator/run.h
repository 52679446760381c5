// One validation run: the settings it is made with, the parent that watches, and the child that checks.
//
// The parent never loads the plug-in. It starts a child process (this same program, asked to run the
// checks from a given one on), reads the child's one-line reports as they come, and gives each check a
// time limit. When a check crashes or hangs its child, the parent records that as the check's failure,
// with the child's last words on what it was doing, and starts a new child for the checks after it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tools/validator/results.h"

namespace zvalidate {

struct RunSettings {
    std::string pluginPath;
    int level = 2;
    std::uint32_t seed = 1;
    double timeoutSeconds = 120.0;
    // Indices into allChecks(), in order; "load" is always among them.
    std::vector<std::size_t> chosen;
};

// Parent side. `childCommand` is how this program starts as a child: its path and any leading arguments
// (such as the subcommand). `onResult` hears of each check as it is judged. Answers every chosen check's
// result, in order.
std::vector<CheckResult> superviseChecks(const RunSettings& settings,
                                         const std::vector<std::string>& childCommand,
                                         const std::function<void(const CheckResult&)>& onResult);

// The arguments that make this program a child running the chosen checks from `first` on.
std::vector<std::string> childArguments(const RunSettings& settings, std::size_t first);

// Child side: runs the chosen checks from `first` on and reports each on `reports`.
void runChecksAsChild(const RunSettings& settings, std::size_t first, FILE* reports);

} // namespace zvalidate

#include "tools/validator/options.h"

#include <cerrno>
#include <cstdlib>

#include "tools/common/errors.h"
#include "tools/validator/checks.h"

namespace zvalidate {
namespace {

constexpr double kLongestTimeout = 86400.0;

long integerOption(const std::string& option, const std::string& text, long lowest, long highest) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno != 0 || value < lowest || value > highest) {
        throw zcli::UsageError(option + " '" + text + "': give a whole number from " +
                               std::to_string(lowest) + " to " + std::to_string(highest));
    }
    return value;
}

double secondsOption(const std::string& option, const std::string& text) {
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno != 0 || !(value > 0.0 && value <= kLongestTimeout)) {
        throw zcli::UsageError(option + " '" + text + "': give a number of seconds above 0, at most 86400");
    }
    return value;
}

std::vector<std::string> splitNames(const std::string& text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        names.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return names;
}

std::string checkNames() {
    std::string names;
    for (const Check& check : allChecks()) {
        names += (names.empty() ? "" : ", ") + std::string(check.name);
    }
    return names;
}

// The checks for the help text: one line per group, the part of the name before the dot.
std::string checkLines() {
    std::string lines;
    std::string group;
    for (const Check& check : allChecks()) {
        const std::string name = check.name;
        const std::string itsGroup = name.substr(0, name.find('.'));
        lines += itsGroup == group ? ", " + name : (lines.empty() ? "  " : "\n  ") + name;
        group = itsGroup;
    }
    return lines;
}

} // namespace

ValidateOptions parseValidateOptions(const std::vector<std::string>& arguments) {
    ValidateOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string option = arguments[i];
        std::string value;
        bool attached = false;
        if (const std::size_t equals = option.find('=');
            option.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = option.substr(equals + 1);
            option.resize(equals);
            attached = true;
        }
        auto valueOf = [&]() {
            if (attached) {
                return value;
            }
            if (i + 1 >= arguments.size()) {
                throw zcli::UsageError("option " + option + " needs a value (see --help)");
            }
            return arguments[++i];
        };
        if (option == "--help" || option == "-h") {
            options.help = true;
        } else if (option == "--plugin") {
            options.pluginPath = valueOf();
            if (options.pluginPath.empty()) {
                throw zcli::UsageError("--plugin needs the path of a VST 2 library");
            }
        } else if (option == "--level") {
            options.level = static_cast<int>(integerOption(option, valueOf(), 1, 3));
        } else if (option == "--json") {
            options.jsonPath = valueOf();
            if (options.jsonPath.empty()) {
                throw zcli::UsageError("--json needs a file name, or - for standard output");
            }
        } else if (option == "--timeout") {
            options.timeoutSeconds = secondsOption(option, valueOf());
        } else if (option == "--seed") {
            options.seed = static_cast<std::uint32_t>(integerOption(option, valueOf(), 0, 2147483647));
        } else if (option == "--check") {
            for (const std::string& name : splitNames(valueOf())) {
                options.checks.push_back(name);
            }
        } else if (option == "--child-from") {
            options.childFrom = integerOption(option, valueOf(), 0, 1000);
        } else if (!option.empty() && option[0] == '-') {
            throw zcli::UsageError("unknown option '" + option + "' (see --help)");
        } else {
            throw zcli::UsageError("unexpected argument '" + option + "' (see --help)");
        }
    }
    chooseChecks(options.checks);
    return options;
}

std::vector<std::size_t> chooseChecks(const std::vector<std::string>& wanted) {
    const std::span<const Check> checks = allChecks();
    std::vector<bool> chosen(checks.size(), wanted.empty());
    chosen[0] = true;
    for (const std::string& name : wanted) {
        bool matched = false;
        for (std::size_t i = 0; i < checks.size(); ++i) {
            const std::string checkName = checks[i].name;
            if (name == checkName || checkName.rfind(name + ".", 0) == 0) {
                chosen[i] = true;
                matched = true;
            }
        }
        if (!matched) {
            throw zcli::UsageError("--check '" + name + "': no such check; the checks are " + checkNames());
        }
    }
    std::vector<std::size_t> indices;
    for (std::size_t i = 0; i < checks.size(); ++i) {
        if (chosen[i]) {
            indices.push_back(i);
        }
    }
    return indices;
}

std::string validateHelp(const std::string& command) {
    return "Usage: " + command + R"( [--plugin PATH] [--level 1..3] [--json FILE] [OPTIONS]

Loads a VST 2 plug-in as a host does and puts it through checks a careless host, bad audio or a busy
session would: many instances, every sample rate and block size, hostile parameter values, programs,
NaN and infinite input, random automation on other threads, the editor opened and closed while a thread
automates, and every dispatcher opcode. It also checks the MIDI the plug-in sends: well-formed
events inside their blocks, note-ons with a velocity, no note-off without its note, no hanging note.
Each check runs in a child process with a time limit, so a plug-in that crashes or hangs fails that
check and the others still run.

  --plugin PATH     the VST 2 library (default: the Zephyrion plug-in beside this program)
  --level N         1 quick, 2 usual (default), 3 thorough
  --json FILE       also write the results as JSON (- for standard output; the table then goes to
                    standard error); written whole or not at all
  --check NAMES     only these checks, by name or group, separated by commas (e.g. midi,bad-audio.nan);
                    "load" always runs
  --timeout S       seconds each check may take before it counts as hung (default 120)
  --seed N          seed of the random audio and automation (default 1): the same seed, the same run
  --help            this text

The checks, by group:
)" + checkLines() +
           R"(

Exit status: 0 when no check failed (warnings allowed), 1 when one did or the plug-in could not be
loaded, 2 for a mistake on the command line.
)";
}

} // namespace zvalidate

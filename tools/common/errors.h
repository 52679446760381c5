// The two kinds of failure the tool reports, each a one-line message; main turns them into exit statuses.
#pragma once

#include <stdexcept>
#include <string>

namespace zcli {

// The command line itself is wrong: an unknown option, a bad parameter name or value. Exit status 2.
class UsageError : public std::runtime_error {
public:
    explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

// Everything else: an input that cannot be read, an output that cannot be written, a plug-in that fails to
// load. Exit status 1.
class RunError : public std::runtime_error {
public:
    explicit RunError(const std::string& message) : std::runtime_error(message) {}
};

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

} // namespace zcli

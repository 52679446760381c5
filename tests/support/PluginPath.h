// Where the test program finds the libraries built beside it, on every target and under wine.
#pragma once

#include <string>

namespace testsupport {

// The folder of the running test program, with a trailing separator.
std::string executableDirectory();
// A module built into the same folder: `baseName` plus the platform's suffix (.so or .dll).
std::string moduleBesideExecutable(const std::string& baseName);
// The Zephyrion plug-in library: zephyrion.so on Linux, Zephyrion.dll on Windows.
std::string pluginPath();

} // namespace testsupport

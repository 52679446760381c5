#include "tests/support/PluginPath.h"

#include <array>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace testsupport {

std::string executableDirectory() {
    std::array<char, 4096> path{};
#ifdef _WIN32
    // Under wine this is a drive path such as Z:\work\...\bin\zephyrion_tests.exe.
    DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) {
        throw std::runtime_error("cannot find the test program's own path");
    }
#else
    ssize_t length = readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length <= 0) {
        throw std::runtime_error("cannot read /proc/self/exe");
    }
#endif
    std::string full(path.data(), static_cast<std::size_t>(length));
    std::size_t separator = full.find_last_of("/\\");
    return separator == std::string::npos ? std::string() : full.substr(0, separator + 1);
}

std::string moduleBesideExecutable(const std::string& baseName) {
#ifdef _WIN32
    return executableDirectory() + baseName + ".dll";
#else
    return executableDirectory() + baseName + ".so";
#endif
}

std::string pluginPath() {
#ifdef _WIN32
    return moduleBesideExecutable("Zephyrion");
#else
    return moduleBesideExecutable("zephyrion");
#endif
}

} // namespace testsupport

#include "tools/common/plugin_location.h"

#include "tools/common/errors.h"

#include <array>
#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace zcli {
namespace {

#ifdef _WIN32
constexpr const char* kPluginFile = "Zephyrion.dll";
#else
constexpr const char* kPluginFile = "zephyrion.so";
#endif

} // namespace

std::string executablePath() {
    std::array<char, 4096> path{};
#ifdef _WIN32
    // Under wine this is a drive path such as Z:\work\...\bin\zephyrion-validate.exe.
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length > 0 && length < path.size()) {
        return std::string(path.data(), length);
    }
#else
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (length > 0) {
        return std::string(path.data(), static_cast<std::size_t>(length));
    }
#endif
    throw RunError("cannot find the path of the running program");
}

std::string defaultPluginPath() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::path(executablePath()).parent_path();
    const std::filesystem::path candidates[] = {folder / kPluginFile,
                                                folder / ".." / "lib" / "vst" / kPluginFile};
    for (const std::filesystem::path& candidate : candidates) {
        if (std::filesystem::exists(candidate, error)) {
            return candidate.lexically_normal().string();
        }
    }
    throw RunError("no plug-in beside the tool (looked for " + candidates[0].lexically_normal().string() +
                   " and " + candidates[1].lexically_normal().string() + "); give one with --plugin PATH");
}

} // namespace zcli

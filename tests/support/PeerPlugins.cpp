#include "tests/support/PeerPlugins.h"

#include <filesystem>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace testsupport {

std::unique_ptr<vsthost::Plugin> loadLspTrigger() {
#if defined(__linux__) && defined(__x86_64__)
    if (!std::filesystem::exists(kLspTrigger)) {
        return nullptr;
    }
#if defined(__SANITIZE_ADDRESS__)
    // The trigger loads its own core library whose start-up code keeps memory it never frees; that is the
    // peer's business, not a leak of this host's.
    __lsan_disable();
#endif
    auto plugin = vsthost::Plugin::load(kLspTrigger);
#if defined(__SANITIZE_ADDRESS__)
    __lsan_enable();
#endif
    plugin->activate();
    return plugin;
#else
    return nullptr;
#endif
}

} // namespace testsupport

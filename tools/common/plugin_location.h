// Where the tools find the running program and the plug-in built or installed beside it.
#pragma once

#include <string>

namespace zcli {

// The running program's own file; throws RunError when the system does not say.
std::string executablePath();

// The plug-in built or installed beside this tool; throws RunError naming the places looked at.
std::string defaultPluginPath();

} // namespace zcli

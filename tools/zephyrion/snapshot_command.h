// `zephyrion snapshot OUT.png`: the editor as a host shows it right after opening, rendered without a screen.
#pragma once

#include <string>
#include <vector>

namespace zcli {

// Throws UsageError for a bad command line and RunError when the picture cannot be written.
void runSnapshot(const std::vector<std::string>& arguments);

} // namespace zcli

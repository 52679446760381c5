#include "plugin/uPluginProgram.h"

#include <algorithm>
#include <cstring>

namespace zephyrion {

APluginProgram::APluginProgram() {
    setName("Init");
}

void APluginProgram::setName(const char* text) {
    const std::size_t length = text == nullptr ? 0 : std::min(std::strlen(text), kMaxNameLength);
    if (length > 0) {
        std::memcpy(name, text, length);
    }
    name[length] = '\0';
}

} // namespace zephyrion

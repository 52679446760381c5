#include "plugin/uPluginProgram.h"

#include <algorithm>
#include <cstring>

namespace zephyrion {

APluginProgram::APluginProgram() {
    for (const ParameterInfo& info : kParameters) {
        values[static_cast<std::size_t>(info.index)] = info.initial;
    }
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

// Dispatcher opcodes by the names the interface gives them, so a crash report says what was asked.
#pragma once

#include <string>

#include "vst/DAEffect.h"

namespace zvalidate {

// "effGetParamLabel (6)"; "opcode 99" for a number the interface does not define.
std::string opcodeName(vst::VstInt32 opcode);

} // namespace zvalidate

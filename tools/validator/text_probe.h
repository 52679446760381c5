// Reads a text the plug-in writes into a host's buffer, with guard bytes behind the generous part, so a
// text written past it is caught instead of corrupting the host.
#pragma once

#include <cstddef>
#include <string>

#include "host/Plugin.h"
#include "tools/validator/results.h"

namespace zvalidate {

// Bytes a plug-in may fill before it is judged to write past any buffer a host gives.
inline constexpr std::size_t kTextLimit = 256;
// The interface's customary lengths, without the terminating zero.
inline constexpr std::size_t kParameterTextConvention = 8;
inline constexpr std::size_t kProgramNameConvention = 24;

struct TextProbe {
    std::string text;        // up to the zero, or the whole limit when there is none
    bool terminated = true;  // a zero within the limit
    std::size_t overrun = 0; // guard bytes changed behind the limit
    bool untouched = false;  // not a byte written
};

TextProbe readText(vsthost::Plugin& plugin, vst::VstInt32 opcode, vst::VstInt32 index = 0,
                   vst::VstIntPtr value = 0);

// A failure for an unterminated text or one written past the limit, a warning for one not written at all
// (a host that clears its buffer first shows it as empty) or one longer than the convention. `what` names
// the text, e.g. "name of parameter 3".
void judgeText(Findings& findings, const TextProbe& probe, std::size_t convention, const std::string& what);

} // namespace zvalidate

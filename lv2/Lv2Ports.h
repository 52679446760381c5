// The LV2 plug-in's contract, shared by the plug-in, its user interface, the generator of its description and
// the tests: the URIs and the port layout. The control inputs follow the parameter table in its
// order, so a port index and a parameter index differ by one constant.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "plugin/parameters.h"

namespace zephyrion::lv2 {

inline constexpr const char* kPluginUri = "https://zephyrion.example.org/plugins/zephyrion";
inline constexpr const char* kUiUri = "https://zephyrion.example.org/plugins/zephyrion#ui";

enum Port : std::uint32_t {
    kInputLeft = 0,
    kInputRight = 1,
    kOutputLeft = 2,
    kOutputRight = 3,
    kMidiOut = 4,
    kFirstParameterPort = 5,
    kMeterLevelPort = kFirstParameterPort + kNumRealParams,
    kMeterPeakPort,
    kNoteActivePort,
    kLatencyPort,
    kPortCount,
};

constexpr std::uint32_t parameterPort(std::int32_t index) {
    return kFirstParameterPort + static_cast<std::uint32_t>(index);
}

constexpr bool isParameterPort(std::uint32_t port) {
    return port >= kFirstParameterPort && port < kMeterLevelPort;
}

constexpr std::int32_t parameterOfPort(std::uint32_t port) {
    return static_cast<std::int32_t>(port - kFirstParameterPort);
}

// A port symbol from a parameter's name: lower case, words joined by '_' ("Amp.Lo" amp_lo, "NoteOrCC"
// note_or_cc), a C identifier as LV2 wants it.
inline std::string portSymbol(std::string_view name) {
    std::string symbol;
    bool wordEnded = false;
    char previous = '\0';
    for (const char c : name) {
        const bool upper = c >= 'A' && c <= 'Z';
        const bool lower = c >= 'a' && c <= 'z';
        if (!upper && !lower && !(c >= '0' && c <= '9')) {
            wordEnded = true;
            previous = c;
            continue;
        }
        const bool capitalStartsWord = upper && previous >= 'a' && previous <= 'z';
        if (!symbol.empty() && (wordEnded || capitalStartsWord)) {
            symbol += '_';
        }
        symbol += upper ? static_cast<char>(c - 'A' + 'a') : c;
        wordEnded = false;
        previous = c;
    }
    return symbol;
}

} // namespace zephyrion::lv2

#include "tools/zephyrion/event_json.h"

#include <cstdio>

namespace zcli {
namespace {

struct MessageShape {
    std::uint8_t kind;
    const char* type;
    const char* firstName;
    const char* secondName; // nullptr for one data byte
};

constexpr MessageShape kShapes[] = {
    {0x80, "note-off", "note", "velocity"},       {0x90, "note-on", "note", "velocity"},
    {0xA0, "poly-pressure", "note", "pressure"},  {0xB0, "control-change", "controller", "value"},
    {0xC0, "program-change", "program", nullptr}, {0xD0, "channel-pressure", "pressure", nullptr},
    {0xE0, "pitch-bend", "lsb", "msb"},
};

} // namespace

std::string eventJson(const MidiEvent& event, double sampleRate) {
    const MessageShape* shape = nullptr;
    for (const MessageShape& candidate : kShapes) {
        if (candidate.kind == event.kind()) {
            shape = &candidate;
        }
    }
    char line[256];
    const double seconds = static_cast<double>(event.position) / sampleRate;
    int length = std::snprintf(line, sizeof line, "{\"sample\":%lld,\"time\":%.6f",
                               static_cast<long long>(event.position), seconds);
    if (shape == nullptr) {
        length += std::snprintf(line + length, sizeof line - length, ",\"type\":\"other\",\"status\":%d}",
                                event.status);
        return std::string(line, length);
    }
    length += std::snprintf(line + length, sizeof line - length, ",\"type\":\"%s\",\"channel\":%d,\"%s\":%d",
                            shape->type, event.channel() + 1, shape->firstName, event.data1 & 0x7F);
    if (shape->secondName != nullptr) {
        length += std::snprintf(line + length, sizeof line - length, ",\"%s\":%d", shape->secondName,
                                event.data2 & 0x7F);
    }
    length += std::snprintf(line + length, sizeof line - length, "}");
    return std::string(line, length);
}

} // namespace zcli

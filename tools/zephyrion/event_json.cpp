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

std::string jsonString(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted.push_back('\\');
            quoted.push_back(c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            quoted.append(escape);
        } else {
            quoted.push_back(c);
        }
    }
    quoted.push_back('"');
    return quoted;
}

std::string eventJson(const MidiEvent& event, double sampleRate, std::string_view band) {
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
    std::string result(line, static_cast<std::size_t>(length));
    if (!band.empty()) {
        result.append(",\"band\":").append(jsonString(band));
    }
    length = 0;
    if (shape == nullptr) {
        length = std::snprintf(line, sizeof line, ",\"type\":\"other\",\"status\":%d}", event.status);
        return result.append(line, static_cast<std::size_t>(length));
    }
    length += std::snprintf(line + length, sizeof line - length, ",\"type\":\"%s\",\"channel\":%d,\"%s\":%d",
                            shape->type, event.channel() + 1, shape->firstName, event.data1 & 0x7F);
    if (shape->secondName != nullptr) {
        length += std::snprintf(line + length, sizeof line - length, ",\"%s\":%d", shape->secondName,
                                event.data2 & 0x7F);
    }
    length += std::snprintf(line + length, sizeof line - length, "}");
    return result.append(line, static_cast<std::size_t>(length));
}

} // namespace zcli

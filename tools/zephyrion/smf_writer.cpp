#include "tools/zephyrion/smf_writer.h"

#include <algorithm>
#include <cmath>

namespace zcli {
namespace {

void appendBigEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

void appendVariableLength(std::string& out, std::uint64_t value) {
    char groups[10];
    int count = 0;
    do {
        groups[count++] = static_cast<char>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (count > 1) {
        out.push_back(static_cast<char>(groups[--count] | 0x80));
    }
    out.push_back(groups[0]);
}

std::uint32_t microsecondsPerQuarter(double bpm) {
    return static_cast<std::uint32_t>(std::nearbyint(6.0e7 / bpm));
}

// A track; the tempo goes into the first track only, where every reader looks for it.
std::string encodeTrack(const std::vector<MidiEvent>& events, const SmfTiming& timing, bool withTempo,
                        const std::string& name) {
    std::string track;
    if (!name.empty()) {
        appendVariableLength(track, 0);
        track += "\xFF\x03";
        appendVariableLength(track, name.size());
        track += name;
    }
    if (withTempo) {
        appendVariableLength(track, 0);
        track += "\xFF\x51\x03";
        appendBigEndian(track, microsecondsPerQuarter(timing.bpm), 3);
    }

    std::int64_t previousTick = 0;
    for (const MidiEvent& event : events) {
        const int dataBytes = channelMessageDataBytes(event.status);
        if (dataBytes < 0) {
            continue;
        }
        const std::int64_t tick = std::max(previousTick, ticksAt(event.position, timing));
        appendVariableLength(track, static_cast<std::uint64_t>(tick - previousTick));
        previousTick = tick;
        track.push_back(static_cast<char>(event.status));
        track.push_back(static_cast<char>(event.data1 & 0x7F));
        if (dataBytes == 2) {
            track.push_back(static_cast<char>(event.data2 & 0x7F));
        }
    }
    appendVariableLength(track, 0);
    track += std::string("\xFF\x2F\x00", 3);
    return track;
}

std::string encodeFile(int format, const std::vector<std::string>& tracks, const SmfTiming& timing) {
    std::string file = "MThd";
    appendBigEndian(file, 6, 4);
    appendBigEndian(file, static_cast<std::uint32_t>(format), 2);
    appendBigEndian(file, static_cast<std::uint32_t>(tracks.size()), 2);
    appendBigEndian(file, static_cast<std::uint32_t>(timing.ppq), 2);
    for (const std::string& track : tracks) {
        file += "MTrk";
        appendBigEndian(file, static_cast<std::uint32_t>(track.size()), 4);
        file += track;
    }
    return file;
}

} // namespace

std::int64_t ticksAt(std::int64_t position, const SmfTiming& timing) {
    const long double ticks = static_cast<long double>(position) * timing.ppq * timing.bpm /
                              (60.0L * static_cast<long double>(timing.sampleRate));
    return static_cast<std::int64_t>(std::nearbyint(ticks));
}

std::string encodeSmf(const std::vector<MidiEvent>& events, const SmfTiming& timing) {
    return encodeFile(0, {encodeTrack(events, timing, true, "")}, timing);
}

std::string encodeSmfTracks(const std::vector<SmfTrack>& tracks, const SmfTiming& timing) {
    std::vector<std::string> encoded;
    for (const SmfTrack& track : tracks) {
        encoded.push_back(encodeTrack(*track.events, timing, encoded.empty(), track.name));
    }
    return encodeFile(1, encoded, timing);
}

} // namespace zcli

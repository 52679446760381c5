#include "tests/cli/smf_reader.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zcli_test {
namespace {

class Bytes {
public:
    explicit Bytes(const std::string& data) : data_(data) {}

    std::uint32_t number(int count) {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            value = (value << 8) | byte();
        }
        return value;
    }

    std::uint8_t byte() {
        if (at_ >= data_.size()) {
            throw std::runtime_error("MIDI file ends early at byte " + std::to_string(at_));
        }
        return static_cast<std::uint8_t>(data_[at_++]);
    }

    std::uint64_t variableLength() {
        std::uint64_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t b = byte();
            value = (value << 7) | (b & 0x7F);
            if ((b & 0x80) == 0) {
                return value;
            }
        }
        throw std::runtime_error("variable-length number longer than four bytes");
    }

    std::string text(std::size_t count) {
        std::string result;
        for (std::size_t i = 0; i < count; ++i) {
            result.push_back(static_cast<char>(byte()));
        }
        return result;
    }

    std::size_t position() const { return at_; }

private:
    const std::string& data_;
    std::size_t at_ = 0;
};

void readTrack(Bytes& in, std::size_t end, SmfFile& file) {
    SmfTrack& track = file.trackList.emplace_back();
    bool named = false;
    std::int64_t tick = 0;
    std::uint8_t runningStatus = 0;
    while (in.position() < end) {
        file.endOfTrack = false;
        tick += static_cast<std::int64_t>(in.variableLength());
        std::uint8_t status = in.byte();
        if (status == 0xFF) {
            const std::uint8_t type = in.byte();
            const std::string data = in.text(in.variableLength());
            if (type == 0x51 && data.size() == 3 && file.tempo < 0) {
                file.tempo = (static_cast<std::uint8_t>(data[0]) << 16) |
                             (static_cast<std::uint8_t>(data[1]) << 8) | static_cast<std::uint8_t>(data[2]);
            }
            if (type == 0x03 && !named) {
                track.name = data;
                named = true;
            }
            file.endOfTrack = type == 0x2F;
            continue;
        }
        if (status == 0xF0 || status == 0xF7) {
            in.text(in.variableLength());
            continue;
        }
        std::uint8_t first;
        if (status < 0x80) {
            if (runningStatus == 0) {
                throw std::runtime_error("data byte without a status");
            }
            first = status;
            status = runningStatus;
        } else {
            runningStatus = status;
            first = in.byte();
        }
        const std::uint8_t kind = status & 0xF0;
        const std::uint8_t second = (kind == 0xC0 || kind == 0xD0) ? 0 : in.byte();
        file.events.push_back({tick, status, first, second});
        track.events.push_back(file.events.back());
    }
}

} // namespace

SmfFile parseSmf(const std::string& bytes) {
    Bytes in(bytes);
    SmfFile file;
    if (in.text(4) != "MThd" || in.number(4) != 6) {
        throw std::runtime_error("no MIDI file header");
    }
    file.format = static_cast<int>(in.number(2));
    file.tracks = static_cast<int>(in.number(2));
    file.division = static_cast<int>(in.number(2));
    for (int track = 0; track < file.tracks; ++track) {
        if (in.text(4) != "MTrk") {
            throw std::runtime_error("no track header");
        }
        const std::size_t length = in.number(4);
        readTrack(in, in.position() + length, file);
    }
    if (in.position() != bytes.size()) {
        throw std::runtime_error("bytes after the last track");
    }
    return file;
}

SmfFile readSmf(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        throw std::runtime_error(path + ": cannot be opened");
    }
    std::ostringstream contents;
    contents << stream.rdbuf();
    return parseSmf(contents.str());
}

} // namespace zcli_test

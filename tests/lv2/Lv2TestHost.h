// A small LV2 host on lilv for the tests: it finds the plug-in in the build tree's bundle, instantiates it,
// sets its controls or applies a preset, and runs stereo audio in blocks, keeping every MIDI message with
// its absolute frame and the output audio.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

namespace lv2test {

struct MidiAt {
    std::int64_t frame;
    std::vector<std::uint8_t> bytes;
    friend bool operator==(const MidiAt&, const MidiAt&) = default;
};

struct Outcome {
    std::vector<MidiAt> midi;
    std::vector<float> left;
    std::vector<float> right;
    // Allocations seen inside the plug-in's run calls.
    std::size_t allocationsInRun = 0;
};

// One lilv world with the bundle of this build on its path, and a URI map.
class Lv2World {
public:
    Lv2World();
    ~Lv2World();
    Lv2World(const Lv2World&) = delete;
    Lv2World& operator=(const Lv2World&) = delete;

    LilvWorld* world() const { return lilvWorld; }
    // Zephyrion's plug-in, or null when lilv does not find it.
    const LilvPlugin* plugin() const { return zephyrion; }
    LV2_URID_Map& map() { return uridMap; }
    LV2_URID uridOf(const std::string& uri);
    // The presets of the plug-in as (label, URI), in the order of their labels.
    std::vector<std::pair<std::string, std::string>> presets() const;

private:
    LilvWorld* lilvWorld;
    const LilvPlugin* zephyrion = nullptr;
    std::vector<std::string> uris;
    LV2_URID_Map uridMap{};
};

class Lv2Instance {
public:
    // Throws std::runtime_error when the plug-in cannot be instantiated.
    Lv2Instance(Lv2World& world, double sampleRate);
    ~Lv2Instance();
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    // The value of the control port of a parameter from the next run on.
    void setParameter(std::int32_t index, float value);
    float control(std::uint32_t port) const { return controls[port]; }
    // Sets the control ports the preset names; false when lilv cannot load it.
    bool applyPreset(const std::string& uri);
    // The whole input in blocks of `blockSize` frames, the last one possibly shorter. `midiCapacity` is the
    // byte size the host's MIDI buffer announces.
    Outcome run(const std::vector<float>& left, const std::vector<float>& right, std::size_t blockSize,
                std::uint32_t midiCapacity = 8192);

private:
    Lv2World& host;
    LilvInstance* instance = nullptr;
    std::vector<float> controls;
    std::vector<std::uint64_t> midiBuffer;
    LV2_URID midiEvent;
};

} // namespace lv2test

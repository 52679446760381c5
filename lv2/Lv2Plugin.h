// One instance of the LV2 plug-in: the peak-to-MIDI engine behind the LV2 ports. Control inputs reach the
// engine at the start of each run, and only when they changed; the engine's MIDI messages go into the host's
// atom sequence at the frame they arose on; the meter, peak and note state go to the control outputs.
//
// Threads: construction, activate and destruction on the host's instantiation thread; connectPort and run
// on its audio thread, which never allocates here.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/urid/urid.h>

#include "lv2/Lv2Ports.h"
#include "plugin/engine/PeakEngine.h"

namespace zephyrion::lv2 {

class Lv2Plugin final : private MidiSink {
public:
    // The host must give urid:map, and a sample rate above 0.
    Lv2Plugin(double sampleRate, LV2_URID_Map& map);

    void connectPort(std::uint32_t port, void* data);
    // A new stretch of audio: no note is left sounding from before.
    void activate();
    void run(std::uint32_t frames);

private:
    void takeControls();
    bool openMidiSequence();
    void publishState();
    void receive(const MidiMessage& message) override;

    PeakEngine engine;
    LV2_URID midiEvent;
    LV2_Atom_Forge forge{};
    LV2_Atom_Forge_Frame sequenceFrame{};
    bool midiOpen = false;

    std::array<const float*, 2> inputs{};
    std::array<float*, 2> outputs{};
    LV2_Atom_Sequence* midiOut = nullptr;
    std::array<const float*, kNumRealParams> controls{};
    // The control values as last taken, bit for bit, so a value that never compares equal (NaN) still
    // counts as taken.
    std::array<std::uint32_t, kNumRealParams> takenBits{};
    float* meterLevel = nullptr;
    float* meterPeak = nullptr;
    float* noteActive = nullptr;
    float* latency = nullptr;
};

// Why an instance cannot be made for these arguments, or empty when it can.
std::string instantiationError(double sampleRate, const LV2_Feature* const* features);
// The host's urid:map among its features, or null.
LV2_URID_Map* findMap(const LV2_Feature* const* features);

} // namespace zephyrion::lv2

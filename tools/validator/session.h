// Instances as the checks use them, and the audio run through them: block by block, with every MIDI event
// handed to a MidiChecker together with the length of the block it came in.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/Plugin.h"
#include "tools/validator/checks.h"
#include "tools/validator/midi_checker.h"
#include "tools/validator/signals.h"

namespace zvalidate {

inline constexpr float kUsualRate = 44100.0f;
inline constexpr int kUsualBlock = 512;
// Events kept between two looks at them; a run on several threads looks only at its end.
inline constexpr std::size_t kUsualEventCapacity = std::size_t{1} << 14;
inline constexpr std::size_t kLargeEventCapacity = std::size_t{1} << 18;

// A new instance of the checked library, created and nothing more.
std::unique_ptr<vsthost::Plugin> newInstance(CheckContext& context, float sampleRate = kUsualRate,
                                             int blockSize = kUsualBlock,
                                             std::size_t eventCapacity = kUsualEventCapacity);
// A new instance of the checked library: opened, told the rate and block size, and resumed.
std::unique_ptr<vsthost::Plugin> startInstance(CheckContext& context, float sampleRate = kUsualRate,
                                               int blockSize = kUsualBlock,
                                               std::size_t eventCapacity = kUsualEventCapacity);

// The value of every parameter, by index.
std::vector<float> parameterValues(vsthost::Plugin& plugin);

// "Zephyrion by Mardolin, 2 in, 2 out, 20 parameters, 4 programs, editor".
std::string describe(vsthost::Plugin& plugin);

class BlockSizes {
public:
    static BlockSizes fixed(int size) { return BlockSizes(size, size, 0); }
    // Any length from 1 to `largest`, changing with every block.
    static BlockSizes random(int largest, std::uint32_t seed) { return BlockSizes(1, largest, seed); }
    // Blocks of `size` with an empty block before each.
    static BlockSizes withEmpty(int size) { return BlockSizes(0, size, 0); }

    int next(std::size_t remaining);
    int largest() const { return most; }
    std::string describe() const;

private:
    BlockSizes(int fewest, int largest, std::uint32_t seed) : least(fewest), most(largest), choice(seed) {}

    int least;
    int most;
    Random choice;
    bool emptyNext = true;
};

enum class Style {
    Replacing,    // processReplacing into separate buffers
    Accumulating, // process, adding to what the outputs hold
    InPlace,      // processReplacing with each output buffer also the input of the same number
};

struct Rendering {
    vsthost::Channels output;
    // Every event, positioned from the instance's first block.
    std::vector<vsthost::MidiRecord> events;
};

// The first difference between two renderings' events from sample `from` on, in words; empty when none.
std::string midiDifference(const Rendering& a, const Rendering& b, std::int64_t from = 0);

class Renderer {
public:
    // With `collectAsItGoes` the events are looked at whenever many are waiting and after every render;
    // without, only by collect(), which must then not run while other threads call the plug-in.
    Renderer(vsthost::Plugin& plugin, MidiChecker& checker, bool collectAsItGoes = true);

    // Runs `input` whole through the plug-in and appends the output, and the events looked at meanwhile, to
    // `into`. Outputs start at `prefill`, which matters only to an accumulating plug-in.
    // `beforeBlock`, when given, runs before every block, on this thread: automation between blocks.
    void render(const vsthost::Channels& input, BlockSizes& sizes, Rendering& into,
                Style style = Style::Replacing, float prefill = 0.0f,
                const std::function<void()>& beforeBlock = nullptr);
    // One block of the caller's own buffers.
    void block(float** inputs, float** outputs, std::int32_t frames, Style style = Style::Replacing);
    // Hands the events recorded so far to the checker, and to the rendering being made.
    void collect();

private:
    vsthost::Plugin& plugin;
    MidiChecker& checker;
    bool collectAsItGoes;
    Rendering* keeping = nullptr;
    std::int64_t firstBlock = 0;
    std::vector<std::int32_t> lengths;
    std::vector<float*> inputPointers;
    std::vector<float*> outputPointers;
};

// A failure naming the first sample that is NaN or infinite, if there is one.
void expectFinite(Findings& findings, const vsthost::Channels& output, const std::string& when);

// A parameter value or sample as a message shows it: 0.5, 1e-40, NaN, inf.
std::string number(float value);

// Input for an instance: bursts on every input channel.
vsthost::Channels burstsFor(vsthost::Plugin& plugin, Random& random, float seconds, float sampleRate);

} // namespace zvalidate

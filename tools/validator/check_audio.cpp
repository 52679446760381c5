// Audio as hosts deliver it: every common sample rate and block size, accumulating and replacing calls,
// shared input and output buffers, and blocks of no samples at all.
#include <vector>

#include "tools/validator/checks.h"
#include "tools/validator/session.h"

namespace zvalidate {
namespace {

constexpr int kLargestBlock = 8192;
constexpr float kPrefill = 0.25f;
// Adding and removing the prefill rounds; anything beyond that is a real difference.
constexpr float kSameOutput = 1e-5f;

// The usual size first: the others are compared with it.
std::vector<BlockSizes> blockSizes(const CheckContext& context) {
    std::vector<BlockSizes> sizes;
    const std::vector<int> fixed = context.byLevel(std::vector<int>{kUsualBlock, 1, 64, 8192},
                                                   std::vector<int>{kUsualBlock, 1, 7, 64, 4096, 8192},
                                                   std::vector<int>{kUsualBlock, 1, 7, 64, 4096, 8192});
    for (int size : fixed) {
        sizes.push_back(BlockSizes::fixed(size));
    }
    sizes.push_back(BlockSizes::random(kLargestBlock, context.seed()));
    return sizes;
}

Rendering renderFresh(CheckContext& context, const vsthost::Channels& input, MidiChecker& midi,
                      BlockSizes sizes, Style style = Style::Replacing, float prefill = 0.0f) {
    auto plugin = startInstance(context, kUsualRate, sizes.largest());
    Renderer renderer(*plugin, midi);
    Rendering rendering;
    renderer.render(input, sizes, rendering, style, prefill);
    return rendering;
}

// How an instance sounds in the plain case, and whether a second one sounds just the same, which decides
// whether differences can be blamed on the way the audio was delivered.
struct Reference {
    Rendering rendering;
    bool repeatable = false;
};

Reference reference(CheckContext& context, const vsthost::Channels& input, MidiChecker& midi) {
    Reference result{renderFresh(context, input, midi, BlockSizes::fixed(kUsualBlock))};
    const Rendering again = renderFresh(context, input, midi, BlockSizes::fixed(kUsualBlock));
    result.repeatable = largestDifference(result.rendering.output, again.output) <= kSameOutput &&
                        midiDifference(result.rendering, again).empty();
    return result;
}

vsthost::Channels inputFor(CheckContext& context, float seconds) {
    auto probe = newInstance(context);
    Random random(context.seed());
    return burstsFor(*probe, random, seconds, kUsualRate);
}

const char* kNotCompared = " (not compared with the plain case: two fresh instances do not sound alike)";

// Judges a rendering made in some unusual way against the plain one.
Outcome compareWithPlain(CheckContext& context, const char* how, const vsthost::Channels& input,
                         const Rendering& unusual, MidiChecker& midi) {
    Findings findings;
    expectFinite(findings, unusual.output, how);
    const Reference plain = reference(context, input, midi);
    if (plain.repeatable) {
        const float difference = largestDifference(unusual.output, plain.rendering.output);
        if (difference > kSameOutput) {
            findings.fail(std::string(how) + " the output differs by up to " + number(difference) +
                          " from the plain case");
        }
        const std::string midiChange = midiDifference(unusual, plain.rendering);
        if (!midiChange.empty()) {
            findings.fail(std::string(how) + " the MIDI differs from the plain case: " + midiChange);
        }
    }
    findings.absorb(midi.form());
    return findings.outcome(std::string(how) + " it sounds as in the plain case" +
                            (plain.repeatable ? "" : kNotCompared));
}

} // namespace

Outcome checkRatesAndBlocks(CheckContext& context) {
    const std::vector<float> rates = context.byLevel(
        std::vector<float>{22050.0f, 44100.0f, 192000.0f},
        std::vector<float>{22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f},
        std::vector<float>{22050.0f, 32000.0f, 44100.0f, 48000.0f, 88200.0f, 96000.0f, 176400.0f, 192000.0f});
    const float seconds = context.byLevel(0.25f, 0.5f, 2.0f);
    Random random(context.seed());
    MidiChecker midi;
    Findings findings;
    int runs = 0;
    for (float rate : rates) {
        auto probe = newInstance(context, rate);
        const vsthost::Channels input = burstsFor(*probe, random, seconds, rate);
        probe.reset();
        Rendering plain;
        for (BlockSizes sizes : blockSizes(context)) {
            const std::string how = "at " + number(rate) + " Hz in " + sizes.describe();
            context.note(how);
            auto plugin = startInstance(context, rate, sizes.largest());
            Renderer renderer(*plugin, midi);
            Rendering rendering;
            renderer.render(input, sizes, rendering);
            expectFinite(findings, rendering.output, how);
            if (plain.output.empty()) {
                plain = rendering;
            } else {
                const std::string change = midiDifference(rendering, plain);
                if (!change.empty()) {
                    findings.warn("the MIDI " + how + " differs from blocks of 512: " + change,
                                  "MIDI timing depends on the block size");
                }
            }
            ++runs;
        }
    }
    findings.absorb(midi.form());
    return findings.outcome(std::to_string(runs) + " runs over " + std::to_string(rates.size()) +
                            " sample rates and " + std::to_string(blockSizes(context).size()) +
                            " kinds of block: outputs finite, MIDI well formed and on the same samples");
}

Outcome checkAccumulating(CheckContext& context) {
    if (newInstance(context)->effect().process == nullptr) {
        return {Status::Skipped, "the plug-in has no accumulating process entry"};
    }
    context.note("process() adding to outputs that hold " + number(kPrefill));
    const vsthost::Channels input = inputFor(context, context.byLevel(0.5f, 1.0f, 4.0f));
    MidiChecker midi;
    Rendering added =
        renderFresh(context, input, midi, BlockSizes::fixed(kUsualBlock), Style::Accumulating, kPrefill);
    Findings findings;
    expectFinite(findings, added.output, "from process()");
    const Reference plain = reference(context, input, midi);
    if (plain.repeatable) {
        Rendering withoutPrefill = added;
        for (std::vector<float>& channel : withoutPrefill.output) {
            for (float& sample : channel) {
                sample -= kPrefill;
            }
        }
        if (largestDifference(withoutPrefill.output, plain.rendering.output) > kSameOutput) {
            if (largestDifference(added.output, plain.rendering.output) <= kSameOutput) {
                findings.warn("process() overwrites its outputs instead of adding to them");
            } else {
                findings.fail(
                    "process() adds something else than processReplacing writes: they differ by up to " +
                    number(largestDifference(withoutPrefill.output, plain.rendering.output)));
            }
        }
        const std::string midiChange = midiDifference(added, plain.rendering);
        if (!midiChange.empty()) {
            findings.fail("process() sends other MIDI than processReplacing: " + midiChange);
        }
    }
    findings.absorb(midi.form());
    return findings.outcome(std::string("process() adds to its outputs what processReplacing writes") +
                            (plain.repeatable ? "" : kNotCompared));
}

Outcome checkInPlace(CheckContext& context) {
    context.note("each output buffer also the input of the same number");
    const vsthost::Channels input = inputFor(context, context.byLevel(0.5f, 1.0f, 4.0f));
    MidiChecker midi;
    const Rendering shared =
        renderFresh(context, input, midi, BlockSizes::fixed(kUsualBlock), Style::InPlace);
    return compareWithPlain(context, "with shared input and output buffers", input, shared, midi);
}

Outcome checkEmptyBlocks(CheckContext& context) {
    context.note("a block of 0 samples before every block");
    const vsthost::Channels input = inputFor(context, context.byLevel(0.5f, 1.0f, 4.0f));
    MidiChecker midi;
    const Rendering gappy = renderFresh(context, input, midi, BlockSizes::withEmpty(kUsualBlock));
    return compareWithPlain(context, "with an empty block before every block", input, gappy, midi);
}

} // namespace zvalidate

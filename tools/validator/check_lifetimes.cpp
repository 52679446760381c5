// Instances made and unmade: the first, many in a row, two side by side, and ones that never process.
#include <iterator>
#include <vector>

#include "tools/validator/checks.h"
#include "tools/validator/session.h"

namespace zvalidate {
namespace {

constexpr float kRates[] = {22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f};
constexpr float kShortRun = 0.05f; // seconds of audio for an instance that only has to work at all
constexpr float kPairRun = 1.0f;
constexpr float kSameOutput = 1e-6f;

// Runs a short burst through an instance made now, and closes it.
void runBriefly(CheckContext& context, Random& random, MidiChecker& midi, Findings& findings,
                const std::string& what) {
    const float rate = kRates[random.below(std::size(kRates))];
    auto plugin = startInstance(context, rate, kUsualBlock);
    Renderer renderer(*plugin, midi);
    Rendering rendering;
    BlockSizes sizes = BlockSizes::fixed(kUsualBlock);
    renderer.render(burstsFor(*plugin, random, kShortRun, rate), sizes, rendering);
    expectFinite(findings, rendering.output, "from " + what);
    plugin->suspend();
    plugin->close();
}

} // namespace

Outcome checkLoad(CheckContext& context) {
    context.note("loading the library and making an instance");
    auto plugin = startInstance(context);
    const vst::AEffect& effect = plugin->effect();
    Findings findings;
    if (effect.numInputs < 0 || effect.numOutputs < 0 || effect.numParams < 0 || effect.numPrograms < 0) {
        findings.fail("negative counts in the effect record");
    }
    if (effect.processReplacing == nullptr && effect.process == nullptr) {
        findings.fail("no process entry at all");
    } else if ((effect.flags & vst::effFlagsCanReplacing) != 0 && effect.processReplacing == nullptr) {
        findings.fail("claims processReplacing but gives none");
    }
    return findings.outcome(describe(*plugin));
}

Outcome checkManyInstances(CheckContext& context) {
    const int instances = context.byLevel(20, 100, 400);
    const int reloads = context.byLevel(2, 5, 20);
    Random random(context.seed());
    MidiChecker midi;
    Findings findings;
    for (int i = 1; i <= instances; ++i) {
        context.note("instance " + std::to_string(i) + " of " + std::to_string(instances));
        runBriefly(context, random, midi, findings, "instance " + std::to_string(i));
    }
    for (int i = 1; i <= reloads; ++i) {
        context.note("library unloaded and loaded again, time " + std::to_string(i));
        context.releaseModule();
        runBriefly(context, random, midi, findings, "the library loaded again");
    }
    findings.absorb(midi.form());
    return findings.outcome(std::to_string(instances) +
                            " instances made, run and closed one after another; the "
                            "library unloaded and loaded " +
                            std::to_string(reloads) + " times");
}

Outcome checkTwoInstances(CheckContext& context) {
    Random random(context.seed());
    Findings findings;
    context.note("two instances, parameters set in turn");
    auto first = startInstance(context);
    auto second = startInstance(context);
    const std::vector<float> firstStart = parameterValues(*first);
    const std::vector<float> secondStart = parameterValues(*second);
    for (int i = 0; i < first->effect().numParams; ++i) {
        first->setParameter(i, random.uniform());
        const float firstValue = first->getParameter(i);
        second->setParameter(i, 1.0f - firstValue);
        if (first->getParameter(i) != firstValue) {
            findings.fail("setting parameter " + std::to_string(i) +
                              " of one instance changed it in the other",
                          "parameter shared between instances");
        }
        first->setParameter(i, firstStart[static_cast<std::size_t>(i)]);
        second->setParameter(i, secondStart[static_cast<std::size_t>(i)]);
    }

    // One instance hears bursts while the other hears silence, block by block in turn; the silent one must
    // sound like an instance that ran alone.
    context.note("two instances processing in turn");
    const vsthost::Channels loud = burstsFor(*first, random, kPairRun, kUsualRate);
    const vsthost::Channels quiet = constant(loud.size(), loud.empty() ? 0 : loud[0].size(), 0.0f);
    MidiChecker midi;
    MidiChecker quietMidi;
    Renderer loudRenderer(*first, midi);
    Renderer quietRenderer(*second, quietMidi);
    Rendering loudOut;
    Rendering quietOut;
    const std::size_t frames = loud.empty() ? 0 : loud[0].size();
    for (std::size_t start = 0; start < frames; start += kUsualBlock) {
        const auto length = static_cast<std::size_t>(std::min<std::size_t>(kUsualBlock, frames - start));
        vsthost::Channels loudPart(loud.size());
        for (std::size_t c = 0; c < loud.size(); ++c) {
            loudPart[c].assign(loud[c].begin() + static_cast<std::ptrdiff_t>(start),
                               loud[c].begin() + static_cast<std::ptrdiff_t>(start + length));
        }
        BlockSizes loudSizes = BlockSizes::fixed(kUsualBlock);
        BlockSizes quietSizes = BlockSizes::fixed(kUsualBlock);
        loudRenderer.render(loudPart, loudSizes, loudOut);
        quietRenderer.render(constant(loud.size(), length, 0.0f), quietSizes, quietOut);
    }
    first->close();
    BlockSizes sizes = BlockSizes::fixed(kUsualBlock);
    Rendering after;
    quietRenderer.render(constant(loud.size(), kUsualBlock, 0.0f), sizes, after);
    second->close();

    Rendering alone;
    Rendering aloneAgain;
    for (Rendering* rendering : {&alone, &aloneAgain}) {
        auto lone = startInstance(context);
        Renderer renderer(*lone, quietMidi);
        BlockSizes loneSizes = BlockSizes::fixed(kUsualBlock);
        renderer.render(quiet, loneSizes, *rendering);
    }
    expectFinite(findings, loudOut.output, "while another instance ran");
    const bool repeatable = largestDifference(alone.output, aloneAgain.output) <= kSameOutput &&
                            midiDifference(alone, aloneAgain).empty();
    if (repeatable && (largestDifference(quietOut.output, alone.output) > kSameOutput ||
                       !midiDifference(quietOut, alone).empty())) {
        findings.fail(
            "an instance fed silence sounds different while another instance plays: they share state");
    }
    findings.absorb(midi.form());
    findings.absorb(quietMidi.form());
    return findings.outcome(repeatable ? "two instances at once keep their parameters and their sound apart"
                                       : "two instances at once keep their parameters apart (their sound was "
                                         "not compared: two fresh instances do not sound alike)");
}

Outcome checkUnprocessedInstances(CheckContext& context) {
    const int rounds = context.byLevel(3, 10, 40);
    for (int round = 1; round <= rounds; ++round) {
        context.note("created and closed without effOpen, round " + std::to_string(round));
        newInstance(context)->close();
        context.note("opened and closed, round " + std::to_string(round));
        auto opened = newInstance(context);
        opened->open();
        opened->close();
        context.note("resumed and suspended without a block, round " + std::to_string(round));
        auto resumed = startInstance(context);
        resumed->suspend();
        resumed->close();
        context.note("rate and block size changed while suspended, closed while resumed, round " +
                     std::to_string(round));
        auto changed = startInstance(context);
        for (float rate : kRates) {
            changed->suspend();
            changed->setSampleRate(rate);
            changed->setBlockSize(static_cast<vst::VstInt32>(rate / 100.0f));
            changed->resume();
        }
        changed->close();
    }
    return {Status::Pass, std::to_string(rounds * 4) + " instances closed without processing, in four ways"};
}

} // namespace zvalidate

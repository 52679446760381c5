// Audio no microphone makes: NaN, infinities, huge and denormal samples. Outputs must stay finite (where the
// input was), and once ordinary audio has run for a while the plug-in must sound like a fresh instance.
#include <algorithm>
#include <limits>

#include "tools/validator/checks.h"
#include "tools/validator/session.h"

namespace zvalidate {
namespace {

// Ordinary audio between the bad block and the comparison: long enough for a note that the bad block may
// fairly have started to end, and for the level followers to settle.
constexpr float kRecoverySeconds = 1.0f;
constexpr float kSameOutput = 1e-4f;

struct BadInput {
    const char* words; // as the reasons name it
    float value;
    bool alternating; // value and -value in turn
    bool finite;      // a finite input must give finite output
    bool mustRecover; // unlike a fresh instance afterwards: a failure, otherwise a warning
};

struct Run {
    Rendering bad;
    Rendering recovery;
    Rendering after;
};

// One fresh instance: the first block, the recovery, the audio compared.
Run run(CheckContext& context, const vsthost::Channels& first, const vsthost::Channels& recovery,
        const vsthost::Channels& after, MidiChecker& midi) {
    auto plugin = startInstance(context);
    Renderer renderer(*plugin, midi);
    Run result;
    BlockSizes sizes = BlockSizes::fixed(kUsualBlock);
    renderer.render(first, sizes, result.bad);
    renderer.render(recovery, sizes, result.recovery);
    renderer.render(after, sizes, result.after);
    return result;
}

Outcome checkBadInput(CheckContext& context, const BadInput& input) {
    Random random(context.seed());
    auto probe = newInstance(context);
    const std::size_t channels = static_cast<std::size_t>(std::max(probe->effect().numInputs, 0));
    const vsthost::Channels recovery = burstsFor(*probe, random, kRecoverySeconds, kUsualRate);
    const float compared = context.byLevel(1.0f, 2.0f, 4.0f);
    const vsthost::Channels after = burstsFor(*probe, random, compared, kUsualRate);
    probe.reset();

    MidiChecker midi;
    Findings findings;
    context.note(std::string("a block of ") + input.words);
    const Run hit =
        run(context, constant(channels, kUsualBlock, input.value, input.alternating), recovery, after, midi);
    if (input.finite) {
        expectFinite(findings, hit.bad.output, std::string("while the input was ") + input.words);
        expectFinite(findings, hit.recovery.output, std::string("after ") + input.words);
    }
    const std::string later = number(kRecoverySeconds) + " s after " + input.words;
    expectFinite(findings, hit.after.output, "still " + later);

    context.note("fresh instances given silence instead");
    const vsthost::Channels silence = constant(channels, kUsualBlock, 0.0f);
    const Run fresh = run(context, silence, recovery, after, midi);
    const Run freshAgain = run(context, silence, recovery, after, midi);
    const bool repeatable = largestDifference(fresh.after.output, freshAgain.after.output) <= kSameOutput &&
                            midiDifference(fresh.after, freshAgain.after).empty();
    if (repeatable && !findings.failed()) {
        std::string unlike;
        const float difference = largestDifference(hit.after.output, fresh.after.output);
        const std::string midiChange = midiDifference(hit.after, fresh.after);
        if (!midiChange.empty()) {
            unlike = "its MIDI differs from a fresh instance's: " + midiChange;
        } else if (difference > kSameOutput) {
            unlike = "its output differs by up to " + number(difference) + " from a fresh instance's";
        }
        if (!unlike.empty() && input.mustRecover) {
            findings.fail(later + ", " + unlike);
        } else if (!unlike.empty()) {
            findings.warn(later + ", " + unlike);
        }
    }
    findings.absorb(midi.form());
    return findings.outcome(std::string("outputs finite") + (input.finite ? "" : " once the input is") +
                            "; " +
                            (repeatable ? "sounds like a fresh instance " + later
                                        : "not compared with a fresh instance, as two fresh ones differ"));
}

} // namespace

Outcome checkNanInput(CheckContext& context) {
    return checkBadInput(context, {"NaN", std::numeric_limits<float>::quiet_NaN(), false, false, true});
}

Outcome checkInfiniteInput(CheckContext& context) {
    return checkBadInput(context, {"infinities", std::numeric_limits<float>::infinity(), true, false, true});
}

Outcome checkHugeInput(CheckContext& context) {
    // A finite value as loud as a fault can make it: a plug-in may fairly hear it as a very loud hit.
    return checkBadInput(context, {"samples of +-1e30", 1e30f, true, true, false});
}

Outcome checkDenormalInput(CheckContext& context) {
    return checkBadInput(context, {"denormal samples", 1e-40f, true, true, true});
}

} // namespace zvalidate

// The MIDI a plug-in sends through a long session of random audio and random automation.
#include "tools/validator/automation.h"
#include "tools/validator/checks.h"
#include "tools/validator/session.h"

namespace zvalidate {
namespace {

constexpr int kLargestBlock = 2048;
constexpr float kChunkSeconds = 1.0f;

// Random audio in random blocks, a random change before every block, then the way back to quiet.
void soak(CheckContext& context, MidiChecker& midi, Findings& findings) {
    auto plugin = startInstance(context, kUsualRate, kLargestBlock);
    Automation automation(*plugin, context.seed() + 1);
    Renderer renderer(*plugin, midi);
    Random random(context.seed());
    BlockSizes sizes = BlockSizes::random(kLargestBlock, context.seed() + 2);
    const int chunks = context.byLevel(20, 60, 240);
    for (int chunk = 0; chunk < chunks; ++chunk) {
        context.note("second " + std::to_string(chunk) + " of random audio and automation");
        Rendering rendering;
        renderer.render(burstsFor(*plugin, random, kChunkSeconds, kUsualRate), sizes, rendering,
                        Style::Replacing, 0.0f, [&automation] { automation.change(); });
        expectFinite(findings, rendering.output, "during random automation");
    }
    context.note("silence after the automation");
    automation.settle(renderer, midi);
}

std::string soakWords(const CheckContext& context, const MidiChecker& midi) {
    return std::to_string(midi.eventCount()) + " events in " + std::to_string(context.byLevel(20, 60, 240)) +
           " s of random audio and automation";
}

} // namespace

Outcome checkMidiEvents(CheckContext& context) {
    MidiChecker midi;
    Findings findings;
    soak(context, midi, findings);
    findings.absorb(midi.form());
    return findings.outcome(soakWords(context, midi) + ": status and data bytes valid, within their blocks, "
                                                       "note-ons with a velocity");
}

Outcome checkMidiNotes(CheckContext& context) {
    MidiChecker midi;
    Findings findings;
    soak(context, midi, findings);
    findings.absorb(midi.notes());
    return findings.outcome(soakWords(context, midi) + ": every note-off ends a sounding note, none left "
                                                       "sounding after silence");
}

} // namespace zvalidate

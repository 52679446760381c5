#include "tools/validator/automation.h"

#include <algorithm>

namespace zvalidate {
namespace {

// One change in this many selects a program instead of setting a parameter.
constexpr std::size_t kProgramChangeOdds = 200;

} // namespace

Automation::Automation(vsthost::Plugin& instance, std::uint32_t seed)
    : plugin(instance), random(seed),
      startProgram(instance.effect().numPrograms > 0 ? instance.program() : 0),
      startValues(parameterValues(instance)) {}

void Automation::change() {
    const vst::VstInt32 programs = plugin.effect().numPrograms;
    if (programs > 1 && random.below(kProgramChangeOdds) == 0) {
        plugin.setProgram(static_cast<vst::VstInt32>(random.below(static_cast<std::size_t>(programs))));
        return;
    }
    changeParameter();
}

void Automation::changeParameter() {
    const vst::VstInt32 count = plugin.effect().numParams;
    if (count > 0) {
        plugin.setParameter(static_cast<vst::VstInt32>(random.below(static_cast<std::size_t>(count))),
                            random.parameterValue());
    }
}

void Automation::flutter(int times) {
    const vst::VstInt32 count = plugin.effect().numParams;
    if (count <= 0) {
        return;
    }
    const auto index = static_cast<vst::VstInt32>(random.below(static_cast<std::size_t>(count)));
    const float values[2] = {random.parameterValue(), random.parameterValue()};
    for (int i = 0; i < times; ++i) {
        plugin.setParameter(index, values[i % 2]);
    }
}

void Automation::settle(Renderer& renderer, MidiChecker& midi) {
    if (plugin.effect().numPrograms > 0) {
        plugin.setProgram(startProgram);
    }
    for (std::size_t i = 0; i < startValues.size(); ++i) {
        plugin.setParameter(static_cast<vst::VstInt32>(i), startValues[i]);
    }
    const auto channels = static_cast<std::size_t>(std::max(plugin.effect().numInputs, 0));
    Rendering quiet;
    BlockSizes sizes = BlockSizes::fixed(kUsualBlock);
    renderer.render(constant(channels, static_cast<std::size_t>(kSilenceSeconds * kUsualRate), 0.0f), sizes,
                    quiet);
    renderer.collect();
    midi.expectNoSoundingNotes("after the automation stopped, the starting values came back and " +
                               number(kSilenceSeconds) + " s of silence followed");
}

} // namespace zvalidate

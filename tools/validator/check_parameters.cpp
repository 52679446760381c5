// Parameters as hosts and careless automation treat them: every index, values outside 0..1, and the texts
// the plug-in writes about them.
#include <cmath>
#include <limits>
#include <vector>

#include "tools/validator/checks.h"
#include "tools/validator/session.h"
#include "tools/validator/text_probe.h"

namespace zvalidate {
namespace {

constexpr float kHostileValues[] = {
    std::numeric_limits<float>::quiet_NaN(),
    std::numeric_limits<float>::infinity(),
    -std::numeric_limits<float>::infinity(),
    -1.0f,
    2.0f,
    1e-40f,
    -1e-40f,
    std::numeric_limits<float>::max(),
    -0.0f,
    0.0f,
    1.0f,
    0.5f,
};

constexpr float kTextValues[] = {0.0f, 0.5f, 1.0f};
constexpr float kProbeSeconds = 0.01f;

std::vector<vst::VstInt32> outsideIndices(vst::VstInt32 count) {
    return {-1, count, count + 1, 1 << 24};
}

bool inRange(float value) {
    return value >= 0.0f && value <= 1.0f;
}

void judgeTexts(vsthost::Plugin& plugin, Findings& findings, vst::VstInt32 index, const std::string& when) {
    const std::string which = " of parameter " + std::to_string(index);
    judgeText(findings, readText(plugin, vst::effGetParamName, index), kParameterTextConvention,
              "name" + which);
    judgeText(findings, readText(plugin, vst::effGetParamLabel, index), kParameterTextConvention,
              "label" + which);
    judgeText(findings, readText(plugin, vst::effGetParamDisplay, index), kParameterTextConvention,
              "display" + which + when);
}

} // namespace

Outcome checkParameterValues(CheckContext& context) {
    auto plugin = startInstance(context);
    const vst::VstInt32 count = plugin->effect().numParams;
    Random random(context.seed());
    MidiChecker midi;
    Renderer renderer(*plugin, midi);
    Findings findings;
    const std::vector<float> start = parameterValues(*plugin);
    for (vst::VstInt32 i = 0; i < count; ++i) {
        if (!inRange(start[static_cast<std::size_t>(i)])) {
            findings.fail("parameter " + std::to_string(i) + " starts at " +
                              number(start[static_cast<std::size_t>(i)]) + ", outside 0..1",
                          "parameter starting outside 0..1");
        }
    }
    for (vst::VstInt32 i = 0; i < count; ++i) {
        context.note("parameter " + std::to_string(i));
        for (float value : kHostileValues) {
            plugin->setParameter(i, value);
            const float readBack = plugin->getParameter(i);
            const std::string set = "setParameter(" + std::to_string(i) + ", " + number(value) + ")";
            if (!inRange(readBack)) {
                findings.fail("parameter " + std::to_string(i) + " reads back " + number(readBack) +
                                  " after " + set,
                              "value read back outside 0..1");
            }
            Rendering rendering;
            BlockSizes sizes = BlockSizes::fixed(kUsualBlock);
            renderer.render(burstsFor(*plugin, random, kProbeSeconds, kUsualRate), sizes, rendering);
            expectFinite(findings, rendering.output, "after " + set);
        }
        plugin->setParameter(i, start[static_cast<std::size_t>(i)]);
    }
    for (vst::VstInt32 index : outsideIndices(count)) {
        context.note("parameter index " + std::to_string(index) + ", outside the range");
        const std::vector<float> before = parameterValues(*plugin);
        for (float value : {0.5f, std::numeric_limits<float>::quiet_NaN(), 2.0f}) {
            plugin->setParameter(index, value);
        }
        const float readBack = plugin->getParameter(index);
        if (!std::isfinite(readBack)) {
            findings.warn("getParameter(" + std::to_string(index) + "), outside the range, answers " +
                              number(readBack),
                          "index outside the range read as no number");
        }
        const std::vector<float> after = parameterValues(*plugin);
        for (vst::VstInt32 i = 0; i < count; ++i) {
            if (after[static_cast<std::size_t>(i)] != before[static_cast<std::size_t>(i)]) {
                findings.fail("setParameter(" + std::to_string(index) +
                                  "), outside the range, changed parameter " + std::to_string(i),
                              "index outside the range changed a parameter");
            }
        }
    }
    findings.absorb(midi.form());
    return findings.outcome(
        std::to_string(count) + " parameters read back within 0..1 after " +
        std::to_string(std::size(kHostileValues)) +
        " values each (NaN, infinities, -1, 2, denormals), output finite; indices outside "
        "the range ignored");
}

Outcome checkParameterTexts(CheckContext& context) {
    auto plugin = startInstance(context);
    const vst::VstInt32 count = plugin->effect().numParams;
    Findings findings;
    for (vst::VstInt32 i = 0; i < count; ++i) {
        context.note("texts of parameter " + std::to_string(i));
        const float start = plugin->getParameter(i);
        judgeTexts(*plugin, findings, i, "");
        for (float value : kTextValues) {
            plugin->setParameter(i, value);
            judgeTexts(*plugin, findings, i, " at " + number(value));
        }
        plugin->setParameter(i, start);
    }
    for (vst::VstInt32 index : outsideIndices(count)) {
        context.note("texts of parameter index " + std::to_string(index) + ", outside the range");
        Findings outside;
        judgeTexts(*plugin, outside, index, "");
        // Only a broken buffer matters for an index no host asks about.
        if (outside.failed()) {
            findings.absorb(outside);
        }
    }
    return findings.outcome("names, labels and displays of " + std::to_string(count) +
                            " parameters terminated and within " + std::to_string(kParameterTextConvention) +
                            " characters");
}

} // namespace zvalidate

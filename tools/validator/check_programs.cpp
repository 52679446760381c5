// Programs: each one selected and named, and each one keeping its values while others are selected.
#include <vector>

#include "tools/validator/checks.h"
#include "tools/validator/session.h"
#include "tools/validator/text_probe.h"

namespace zvalidate {
namespace {

// The first parameter whose value differs, in words; empty when all match.
std::string firstChange(const std::vector<float>& now, const std::vector<float>& expected) {
    for (std::size_t i = 0; i < now.size() && i < expected.size(); ++i) {
        if (now[i] != expected[i]) {
            return "parameter " + std::to_string(i) + " reads " + number(now[i]) + " instead of " +
                   number(expected[i]);
        }
    }
    return "";
}

} // namespace

Outcome checkPrograms(CheckContext& context) {
    auto plugin = startInstance(context);
    const vst::VstInt32 count = plugin->effect().numPrograms;
    if (count <= 0) {
        return {Status::Skipped, "the plug-in has no programs"};
    }
    Findings findings;
    std::vector<std::vector<float>> values;
    for (vst::VstInt32 program = 0; program < count; ++program) {
        context.note("program " + std::to_string(program));
        plugin->setProgram(program);
        const vst::VstInt32 answered = plugin->program();
        if (answered != program) {
            findings.fail("effGetProgram answers " + std::to_string(answered) + " after program " +
                          std::to_string(program) + " was selected");
        }
        const TextProbe name = readText(*plugin, vst::effGetProgramName);
        judgeText(findings, name, kProgramNameConvention, "name of program " + std::to_string(program));
        const TextProbe indexed = readText(*plugin, vst::effGetProgramNameIndexed, program);
        judgeText(findings, indexed, kProgramNameConvention,
                  "indexed name of program " + std::to_string(program));
        if (name.terminated && indexed.terminated && !indexed.text.empty() && indexed.text != name.text) {
            findings.warn("program " + std::to_string(program) + " is named \"" + name.text +
                          "\" when selected but \"" + indexed.text + "\" by its index");
        }
        values.push_back(parameterValues(*plugin));
    }
    for (vst::VstInt32 program = 0; program < count; ++program) {
        context.note("program " + std::to_string(program) + " selected again");
        plugin->setProgram((program + 1) % count);
        plugin->setProgram(program);
        const std::string change =
            firstChange(parameterValues(*plugin), values[static_cast<std::size_t>(program)]);
        if (!change.empty()) {
            findings.fail("program " + std::to_string(program) + " selected again: " + change,
                          "program lost its values");
        }
    }
    if (count > 1) {
        context.note("program 0 edited, another selected, program 0 again");
        Random random(context.seed());
        plugin->setProgram(0);
        for (vst::VstInt32 i = 0; i < plugin->effect().numParams; ++i) {
            plugin->setParameter(i, random.uniform());
        }
        const std::vector<float> edited = parameterValues(*plugin);
        plugin->setProgram(1);
        plugin->setProgram(0);
        const std::vector<float> back = parameterValues(*plugin);
        if (!firstChange(back, edited).empty()) {
            if (firstChange(back, values[0]).empty()) {
                findings.warn("edits to program 0 are lost once another program is selected");
            } else {
                findings.fail("program 0 edited and selected again: " + firstChange(back, edited));
            }
        }
    }
    context.note("program numbers outside the range");
    plugin->setProgram(0);
    for (vst::VstInt32 outside : {count, count + 1, -1}) {
        plugin->setProgram(outside);
        const vst::VstInt32 answered = plugin->program();
        if (answered < 0 || answered >= count) {
            findings.fail("selecting program " + std::to_string(outside) + " of " + std::to_string(count) +
                              " made effGetProgram answer " + std::to_string(answered),
                          "program outside the range taken");
        }
    }
    context.note("a long program name");
    const TextProbe before = readText(*plugin, vst::effGetProgramName);
    plugin->setProgramName(std::string(3 * kProgramNameConvention, 'x'));
    judgeText(findings, readText(*plugin, vst::effGetProgramName), 3 * kProgramNameConvention,
              "program name read back after a long one was set");
    plugin->setProgramName(before.text);
    return findings.outcome(std::to_string(count) + " programs selected and named; each keeps its values");
}

} // namespace zvalidate

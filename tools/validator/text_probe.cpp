#include "tools/validator/text_probe.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace zvalidate {
namespace {

constexpr std::size_t kGuardBytes = 768;
// Neither a zero nor a printable character, so neither an ending nor a text is mistaken for the fill.
constexpr char kFill = static_cast<char>(0xA5);

} // namespace

TextProbe readText(vsthost::Plugin& plugin, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value) {
    std::vector<char> buffer(kTextLimit + kGuardBytes, kFill);
    plugin.dispatch(opcode, index, value, buffer.data());
    TextProbe probe;
    const auto end = std::find(buffer.begin(), buffer.begin() + kTextLimit, '\0');
    probe.terminated = end != buffer.begin() + kTextLimit;
    probe.untouched = std::all_of(buffer.begin(), buffer.end(), [](char c) { return c == kFill; });
    probe.text.assign(buffer.begin(), end);
    const auto guardStart = buffer.begin() + kTextLimit;
    const auto lastChanged = std::find_if(buffer.rbegin(), std::make_reverse_iterator(guardStart),
                                          [](char c) { return c != kFill; });
    probe.overrun = static_cast<std::size_t>(std::make_reverse_iterator(guardStart) - lastChanged);
    return probe;
}

void judgeText(Findings& findings, const TextProbe& probe, std::size_t convention, const std::string& what) {
    if (probe.overrun > 0) {
        findings.fail(what + " written " + std::to_string(probe.overrun) + " bytes past a " +
                          std::to_string(kTextLimit) + "-byte buffer",
                      "text written past the buffer");
    } else if (probe.untouched) {
        findings.warn(what + " not written at all", "text not written");
    } else if (!probe.terminated) {
        findings.fail(what + " not terminated within " + std::to_string(kTextLimit) + " bytes",
                      "text not terminated");
    } else if (probe.text.size() > convention) {
        findings.warn(what + " \"" + probe.text + "\" has " + std::to_string(probe.text.size()) +
                          " characters, more than the customary " + std::to_string(convention),
                      "text longer than customary");
    }
}

} // namespace zvalidate

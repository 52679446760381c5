#include "tools/validator/session.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace zvalidate {
namespace {

std::size_t channelCount(vst::VstInt32 count) {
    return static_cast<std::size_t>(std::max(count, 0));
}

std::string eventWords(const vsthost::MidiRecord& record) {
    char text[64];
    std::snprintf(text, sizeof text, "%02X %02X %02X at sample %lld",
                  static_cast<unsigned>(static_cast<std::uint8_t>(record.event.midiData[0])),
                  static_cast<unsigned>(static_cast<std::uint8_t>(record.event.midiData[1])),
                  static_cast<unsigned>(static_cast<std::uint8_t>(record.event.midiData[2])),
                  static_cast<long long>(record.position));
    return text;
}

bool sameEvent(const vsthost::MidiRecord& a, const vsthost::MidiRecord& b) {
    return a.position == b.position && std::equal(a.event.midiData, a.event.midiData + 3, b.event.midiData);
}

} // namespace

std::unique_ptr<vsthost::Plugin> newInstance(CheckContext& context, float sampleRate, int blockSize,
                                             std::size_t eventCapacity) {
    vsthost::HostSettings settings;
    settings.sampleRate = sampleRate;
    settings.blockSize = blockSize;
    settings.midiCapacity = eventCapacity;
    // The calls are never read; what does not fit is only counted.
    settings.callbackCapacity = kUsualEventCapacity;
    return std::make_unique<vsthost::Plugin>(context.module(), settings);
}

std::unique_ptr<vsthost::Plugin> startInstance(CheckContext& context, float sampleRate, int blockSize,
                                               std::size_t eventCapacity) {
    auto plugin = newInstance(context, sampleRate, blockSize, eventCapacity);
    plugin->activate();
    return plugin;
}

void expectFinite(Findings& findings, const vsthost::Channels& output, const std::string& when) {
    std::size_t channel = 0;
    std::size_t frame = 0;
    if (firstNonFinite(output, channel, frame)) {
        findings.fail("output " + number(output[channel][frame]) + " on channel " +
                          std::to_string(channel + 1) + " at sample " + std::to_string(frame) + " " + when,
                      "output not finite");
    }
}

std::string number(float value) {
    if (std::isnan(value)) {
        return "NaN";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}

std::vector<float> parameterValues(vsthost::Plugin& plugin) {
    std::vector<float> values;
    for (vst::VstInt32 i = 0; i < plugin.effect().numParams; ++i) {
        values.push_back(plugin.getParameter(i));
    }
    return values;
}

std::string describe(vsthost::Plugin& plugin) {
    const vst::AEffect& effect = plugin.effect();
    std::string name = plugin.effectName();
    if (name.empty()) {
        name = plugin.productString();
    }
    const std::string vendor = plugin.vendorString();
    return (name.empty() ? "unnamed plug-in" : name) + (vendor.empty() ? "" : " by " + vendor) + ", " +
           std::to_string(effect.numInputs) + " in, " + std::to_string(effect.numOutputs) + " out, " +
           std::to_string(effect.numParams) + " parameters, " + std::to_string(effect.numPrograms) +
           " programs" + (plugin.hasEditor() ? ", editor" : "");
}

int BlockSizes::next(std::size_t remaining) {
    if (least == 0) {
        const bool empty = emptyNext;
        emptyNext = !emptyNext;
        return empty ? 0 : static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(most), remaining));
    }
    const int size = least == most
                         ? most
                         : least + static_cast<int>(choice.below(static_cast<std::size_t>(most - least + 1)));
    return static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(size), remaining));
}

std::string BlockSizes::describe() const {
    if (least == 0) {
        return "blocks of " + std::to_string(most) + " with an empty block before each";
    }
    return least == most ? "blocks of " + std::to_string(most)
                         : "random blocks up to " + std::to_string(most);
}

std::string midiDifference(const Rendering& a, const Rendering& b, std::int64_t from) {
    auto firstFrom = [from](const std::vector<vsthost::MidiRecord>& events) {
        return std::find_if(events.begin(), events.end(),
                            [from](const vsthost::MidiRecord& record) { return record.position >= from; });
    };
    auto x = firstFrom(a.events);
    auto y = firstFrom(b.events);
    for (; x != a.events.end() && y != b.events.end(); ++x, ++y) {
        if (!sameEvent(*x, *y)) {
            return eventWords(*x) + " where the other sent " + eventWords(*y);
        }
    }
    if (x != a.events.end()) {
        return eventWords(*x) + " where the other sent nothing";
    }
    if (y != b.events.end()) {
        return "nothing where the other sent " + eventWords(*y);
    }
    return "";
}

Renderer::Renderer(vsthost::Plugin& instance, MidiChecker& midiChecker, bool collectEarly)
    : plugin(instance), checker(midiChecker), collectAsItGoes(collectEarly),
      firstBlock(instance.blocksProcessed()) {}

void Renderer::block(float** inputs, float** outputs, std::int32_t frames, Style style) {
    const vst::AEffect& effect = plugin.effect();
    const bool replacing = style != Style::Accumulating && effect.processReplacing != nullptr;
    plugin.processBlock(replacing ? vsthost::ProcessMode::Replacing : vsthost::ProcessMode::Accumulating,
                        inputs, outputs, frames);
    lengths.push_back(frames);
    if (collectAsItGoes && plugin.host().midi().size() * 2 > plugin.host().midi().capacity()) {
        collect();
    }
}

void Renderer::render(const vsthost::Channels& input, BlockSizes& sizes, Rendering& into, Style style,
                      float prefill, const std::function<void()>& beforeBlock) {
    const std::size_t inputs = channelCount(plugin.effect().numInputs);
    const std::size_t outputs = channelCount(plugin.effect().numOutputs);
    const std::size_t frames = input.empty() ? 0 : input[0].size();
    vsthost::Channels buffers(outputs, std::vector<float>(frames, prefill));
    vsthost::Channels ownInputs = input;
    ownInputs.resize(inputs, std::vector<float>(frames, 0.0f));
    if (style == Style::InPlace) {
        for (std::size_t c = 0; c < std::min(inputs, outputs); ++c) {
            buffers[c] = ownInputs[c];
        }
    }
    inputPointers.resize(inputs);
    outputPointers.resize(outputs);
    keeping = &into;
    for (std::size_t start = 0; start < frames;) {
        const int length = sizes.next(frames - start);
        for (std::size_t c = 0; c < inputs; ++c) {
            const bool shared = style == Style::InPlace && c < outputs;
            inputPointers[c] = (shared ? buffers[c].data() : ownInputs[c].data()) + start;
        }
        for (std::size_t c = 0; c < outputs; ++c) {
            outputPointers[c] = buffers[c].data() + start;
        }
        if (beforeBlock) {
            beforeBlock();
        }
        block(inputPointers.data(), outputPointers.data(), length, style);
        start += static_cast<std::size_t>(length);
    }
    if (collectAsItGoes) {
        collect();
    }
    keeping = nullptr;
    into.output.resize(outputs);
    for (std::size_t c = 0; c < outputs; ++c) {
        into.output[c].insert(into.output[c].end(), buffers[c].begin(), buffers[c].end());
    }
}

void Renderer::collect() {
    for (const vsthost::MidiRecord& record : plugin.midiEvents()) {
        const std::int64_t index = record.block - firstBlock;
        const bool known = index >= 0 && index < static_cast<std::int64_t>(lengths.size());
        checker.inspect(record, known ? lengths[static_cast<std::size_t>(index)] : -1);
        if (keeping != nullptr) {
            keeping->events.push_back(record);
        }
    }
    checker.missed(plugin.droppedMidiEvents());
    plugin.clearRecords();
    firstBlock = plugin.blocksProcessed();
    lengths.clear();
}

vsthost::Channels burstsFor(vsthost::Plugin& plugin, Random& random, float seconds, float sampleRate) {
    return bursts(random, channelCount(plugin.effect().numInputs),
                  static_cast<std::size_t>(seconds * sampleRate), sampleRate);
}

} // namespace zvalidate

#include "tools/zephyrion/converter.h"

#include "tools/common/errors.h"
#include "tools/zephyrion/auto_window.h"
#include "tools/zephyrion/hit_placer.h"
#include "tools/zephyrion/interruption.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <map>
#include <optional>
#include <utility>

namespace zcli {
namespace {

// Notes that are on, counted per channel and note number, so a repeated note-on needs as many note-offs.
class SoundingNotes {
public:
    void note(const MidiEvent& event) {
        const std::pair<int, int> key{event.channel(), event.data1};
        if (event.startsNote()) {
            ++counts_[key];
        } else if (event.endsNote()) {
            const auto found = counts_.find(key);
            if (found != counts_.end() && --found->second == 0) {
                counts_.erase(found);
            }
        }
    }

    bool empty() const { return counts_.empty(); }

    // A note-off for every note still on, at the given position; returns how many.
    int closeAll(std::vector<MidiEvent>& events, std::int64_t position) {
        int closed = 0;
        for (const auto& [key, count] : counts_) {
            for (int i = 0; i < count; ++i, ++closed) {
                events.push_back({position, static_cast<std::uint8_t>(kNoteOff | key.first),
                                  static_cast<std::uint8_t>(key.second), 0});
            }
        }
        counts_.clear();
        return closed;
    }

private:
    std::map<std::pair<int, int>, int> counts_;
};

// Drives the plug-in with fixed-size buffers for as many inputs and outputs as it has.
class BlockRunner {
public:
    BlockRunner(vsthost::Plugin& plugin, int blockSize)
        : plugin_(plugin), blockSize_(static_cast<std::size_t>(blockSize)), levels_(blockSize_) {
        const vst::AEffect& effect = plugin.effect();
        inputs_.assign(static_cast<std::size_t>(std::max(2, effect.numInputs)),
                       std::vector<float>(blockSize_));
        outputs_.assign(static_cast<std::size_t>(std::max(2, effect.numOutputs)),
                        std::vector<float>(blockSize_));
        for (auto& channel : inputs_) {
            inputPointers_.push_back(channel.data());
        }
        for (auto& channel : outputs_) {
            outputPointers_.push_back(channel.data());
        }
    }

    std::vector<float>& left() { return inputs_[0]; }
    std::vector<float>& right() { return inputs_[1]; }
    const float* outputLeft() const { return outputs_[0].data(); }
    // A plug-in with one output gives it on both sides of the WAV file.
    const float* outputRight() const { return outputs_[plugin_.effect().numOutputs > 1 ? 1 : 0].data(); }

    void silence() {
        for (auto& channel : inputs_) {
            std::fill(channel.begin(), channel.end(), 0.0f);
        }
    }

    // Processes the first `frames` samples of the input buffers and appends the events that arrived.
    void run(std::size_t frames, std::vector<MidiEvent>& events, SoundingNotes& sounding) {
        for (std::size_t channel = 2; channel < inputs_.size(); ++channel) {
            std::fill(inputs_[channel].begin(), inputs_[channel].end(), 0.0f);
        }
        const auto count = static_cast<vst::VstInt32>(frames);
        if (!plugin_.processBlock(vsthost::ProcessMode::Replacing, inputPointers_.data(),
                                  outputPointers_.data(), count)) {
            // A plug-in without replacing processing adds to its outputs.
            for (auto& channel : outputs_) {
                std::fill(channel.begin(), channel.end(), 0.0f);
            }
            plugin_.processBlock(vsthost::ProcessMode::Accumulating, inputPointers_.data(),
                                 outputPointers_.data(), count);
        }
        collect(events, sounding);
    }

    std::size_t blockSize() const { return blockSize_; }
    // Before the plug-in is resumed: false when it has no level buffer.
    bool attachLevels() {
        return plugin_.attachLevels(levels_.data(), static_cast<vst::VstInt32>(blockSize_));
    }
    const float* levels() const { return levels_.data(); }

private:
    void collect(std::vector<MidiEvent>& events, SoundingNotes& sounding) {
        if (plugin_.droppedMidiEvents() > 0) {
            throw RunError(
                "the plug-in sent more events in one block than the host can keep; try a smaller --block");
        }
        if (plugin_.host().midi().size() == 0) {
            return;
        }
        for (const vsthost::MidiRecord& record : plugin_.midiEvents()) {
            const auto* data = reinterpret_cast<const unsigned char*>(record.event.midiData);
            MidiEvent event{record.position, data[0], data[1], data[2]};
            if (channelMessageDataBytes(event.status) < 0) {
                continue;
            }
            sounding.note(event);
            events.push_back(event);
        }
        plugin_.clearRecords();
    }

    vsthost::Plugin& plugin_;
    std::size_t blockSize_;
    std::vector<std::vector<float>> inputs_;
    std::vector<std::vector<float>> outputs_;
    std::vector<float*> inputPointers_;
    std::vector<float*> outputPointers_;
    std::vector<float> levels_;
};

} // namespace

namespace {

// The part of a block's output that belongs to the input once the plug-in's latency is taken off.
void writeAligned(AudioWriter& audio, const BlockRunner& runner, std::int64_t blockStart, std::size_t frames,
                  std::int64_t latency, std::int64_t inputFrames) {
    const std::int64_t from = std::max<std::int64_t>(0, latency - blockStart);
    const std::int64_t to =
        std::min<std::int64_t>(static_cast<std::int64_t>(frames), inputFrames + latency - blockStart);
    if (to > from) {
        audio.write(runner.outputLeft() + from, runner.outputRight() + from,
                    static_cast<std::size_t>(to - from));
    }
}

bool earlier(const MidiEvent& a, const MidiEvent& b) {
    return a.position < b.position;
}

// The block just read from one input, silence past its end, and what the hit placers of its instances need
// kept of it.
struct StemBlock {
    explicit StemBlock(AudioReader& reader, int blockSize)
        : input(reader), left(static_cast<std::size_t>(blockSize)),
          right(static_cast<std::size_t>(blockSize)) {}

    std::size_t read() {
        const std::size_t frames = input.read(left, right);
        std::fill(left.begin() + static_cast<std::ptrdiff_t>(frames), left.end(), 0.0f);
        std::fill(right.begin() + static_cast<std::ptrdiff_t>(frames), right.end(), 0.0f);
        return frames;
    }

    AudioReader& input;
    std::vector<float> left;
    std::vector<float> right;
    std::optional<MonoHistory> history;
};

// The inputs' sum, as the plot shows the mix of several stems; `left` and `right` hold a block each.
void addWaveform(WaveformSummary& waveform, const std::vector<StemBlock>& blocks, std::size_t frames,
                 float gain, std::vector<float>& left, std::vector<float>& right) {
    if (blocks.size() == 1) {
        waveform.add(blocks[0].left.data(), blocks[0].right.data(), frames, gain);
        return;
    }
    std::fill_n(left.begin(), frames, 0.0f);
    std::fill_n(right.begin(), frames, 0.0f);
    for (const StemBlock& block : blocks) {
        for (std::size_t i = 0; i < frames; ++i) {
            left[i] += block.left[i];
            right[i] += block.right[i];
        }
    }
    waveform.add(left.data(), right.data(), frames, gain);
}

// One instance, the input it listens to and what it has sent so far.
struct Lane {
    Lane(vsthost::Plugin& plugin, int blockSize, std::size_t source)
        : runner(plugin, blockSize), stem(source) {}

    BlockRunner runner;
    std::size_t stem;
    SoundingNotes sounding;
    Conversion result;
    // A plug-in with latency delays its audio and its events alike; both are moved back by it.
    std::int64_t latency = 0;
    std::optional<LevelTrace> trace;
    std::optional<LevelSummary> levels;
    std::optional<HitPlacer> placer;

    void run(std::size_t frames) {
        runner.run(frames, result.events, sounding);
        if (trace) {
            trace->add(runner.levels(), frames);
        }
        if (levels) {
            levels->add(runner.levels(), frames);
        }
    }

    void place(const std::vector<StemBlock>& blocks, bool ended) {
        if (placer) {
            placer->place(result.events, *blocks[stem].history, ended);
        }
    }

    bool quiet(std::int64_t position, std::int64_t quietSpan) const {
        const std::int64_t lastEvent = result.events.empty() ? 0 : result.events.back().position;
        return sounding.empty() && position - lastEvent >= quietSpan &&
               position >= result.inputFrames + latency;
    }

    void finish(vsthost::Plugin& plugin, std::int64_t position, const std::vector<StemBlock>& blocks) {
        plugin.suspend();
        place(blocks, true);
        result.notesClosed = sounding.closeAll(result.events, position);
        for (MidiEvent& event : result.events) {
            event.position = std::max<std::int64_t>(0, event.position - latency);
        }
        result.endPosition = position - latency;
        // Events from one block arrive in order; a plug-in that reports them out of order is put right here.
        std::stable_sort(result.events.begin(), result.events.end(), earlier);
        result.trace = std::move(trace);
        result.levels = std::move(levels);
        if (result.trace || result.levels) {
            plugin.attachLevels(nullptr, 0);
        }
    }
};

} // namespace

std::vector<Conversion> convertAudio(const std::vector<Stem>& stems, int blockSize, ConversionSinks sinks) {
    std::vector<vsthost::Plugin*> plugins;
    std::vector<StemBlock> blocks;
    std::vector<Lane> lanes;
    std::int64_t latest = 0;
    std::int64_t inputLength = 0;
    for (const Stem& stem : stems) {
        inputLength = std::max(inputLength, stem.input->frames());
        blocks.emplace_back(*stem.input, blockSize);
        for (vsthost::Plugin* plugin : stem.plugins) {
            plugins.push_back(plugin);
        }
    }
    const double rate = stems.front().input->sampleRate();
    lanes.reserve(plugins.size());
    for (std::size_t stem = 0; stem < stems.size(); ++stem) {
        for (std::size_t index = 0; index < stems[stem].plugins.size(); ++index) {
            vsthost::Plugin* plugin = stems[stem].plugins[index];
            Lane& lane = lanes.emplace_back(*plugin, blockSize, stem);
            const Placement placement =
                index < stems[stem].placements.size() ? stems[stem].placements[index] : Placement::AsSent;
            if (placement != Placement::AsSent) {
                lane.placer.emplace(rate, blockSize, placement);
                if (!blocks[stem].history) {
                    blocks[stem].history.emplace(lane.placer->historyFrames());
                }
            }
            plugin->clearRecords();
            plugin->rewind();
            const bool levels = (sinks.traces || sinks.levelColumns > 0) && lane.runner.attachLevels();
            plugin->resume();
            lane.latency = std::max<std::int64_t>(0, plugin->effect().initialDelay);
            if (levels && sinks.traces) {
                lane.trace.emplace();
            }
            if (levels && sinks.levelColumns > 0) {
                lane.levels.emplace(inputLength, sinks.levelColumns);
            }
            latest = std::max(latest, lane.latency);
        }
    }
    // While the input lasts, every block's output lies before its end.
    const std::int64_t inputNotEnded = std::numeric_limits<std::int64_t>::max() / 2;
    // Each file is read once; every instance of a stem gets the same block.
    auto readAll = [&] {
        std::size_t longest = 0;
        for (StemBlock& block : blocks) {
            longest = std::max(longest, block.read());
        }
        for (StemBlock& block : blocks) {
            if (block.history) {
                block.history->add(block.left.data(), block.right.data(), longest);
            }
        }
        return longest;
    };

    std::vector<float> mixLeft(static_cast<std::size_t>(blockSize));
    std::vector<float> mixRight(static_cast<std::size_t>(blockSize));
    std::int64_t position = 0;
    while (const std::size_t frames = readAll()) {
        if (sinks.waveform != nullptr) {
            addWaveform(*sinks.waveform, blocks, frames, sinks.waveformGain, mixLeft, mixRight);
        }
        for (Lane& lane : lanes) {
            const StemBlock& block = blocks[lane.stem];
            std::copy_n(block.left.begin(), frames, lane.runner.left().begin());
            std::copy_n(block.right.begin(), frames, lane.runner.right().begin());
            lane.run(frames);
            lane.place(blocks, false);
        }
        if (sinks.audio != nullptr) {
            writeAligned(*sinks.audio, lanes.front().runner, position, frames, lanes.front().latency,
                         inputNotEnded);
        }
        position += static_cast<std::int64_t>(frames);
        if (sinks.progress != nullptr) {
            sinks.progress->update(position);
        }
        stopIfInterrupted();
    }
    const std::int64_t inputFrames = position;

    const auto tailEnd = position + latest + static_cast<std::int64_t>(std::lrint(kMaxTailSeconds * rate));
    const auto quietSpan = static_cast<std::int64_t>(std::lrint(kQuietSeconds * rate));
    for (Lane& lane : lanes) {
        lane.result.inputFrames = inputFrames;
        lane.runner.silence();
    }
    auto allQuiet = [&] {
        return std::all_of(lanes.begin(), lanes.end(),
                           [&](const Lane& lane) { return lane.quiet(position, quietSpan); });
    };
    while (position < tailEnd && !allQuiet()) {
        const auto frames = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(blockSize), tailEnd - position));
        for (StemBlock& block : blocks) {
            if (block.history) {
                block.history->addSilence(frames);
            }
        }
        for (Lane& lane : lanes) {
            lane.run(frames);
            lane.place(blocks, false);
        }
        if (sinks.audio != nullptr) {
            writeAligned(*sinks.audio, lanes.front().runner, position, frames, lanes.front().latency,
                         inputFrames);
        }
        position += static_cast<std::int64_t>(frames);
        stopIfInterrupted();
    }
    std::vector<Conversion> results;
    for (std::size_t band = 0; band < lanes.size(); ++band) {
        lanes[band].finish(*plugins[band], position, blocks);
        results.push_back(std::move(lanes[band].result));
    }
    if (sinks.progress != nullptr) {
        sinks.progress->finish();
    }
    return results;
}

Conversion mergeConversions(const std::vector<Conversion>& bands) {
    Conversion merged;
    for (const Conversion& band : bands) {
        merged.events.insert(merged.events.end(), band.events.begin(), band.events.end());
        merged.inputFrames = band.inputFrames;
        merged.endPosition = std::max(merged.endPosition, band.endPosition);
        merged.notesClosed += band.notesClosed;
    }
    // At one position the earlier band's events come first.
    std::stable_sort(merged.events.begin(), merged.events.end(), earlier);
    return merged;
}

} // namespace zcli

// How close to the true start of each hit the engine's note-ons land, on grooves of real recorded drums: per
// kit and instrument, hits found, missed and false (within 25 ms), and the note-on's offset from the hit's
// true start (median, 95th percentile, largest of the magnitudes), raw (Lookahead off) and aligned (Lookahead
// on, its latency taken off). Each instrument's band is fixed; its amplitude threshold is the one of a small
// grid that finds that instrument best in that kit.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "bench/real_drums.h"
#include "plugin/engine/PeakEngine.h"

namespace {

struct Band {
    bench::Instrument instrument;
    std::vector<std::pair<std::int32_t, float>> settings;
};

// Starting bands; the lower bound of the amplitude window (Amp.Hi) is searched per kit.
const Band kBands[] = {
    {bench::Instrument::Kick, {{zephyrion::kFreqHi, 0.08f}, {zephyrion::kFreqMode, 0.1f}}},
    {bench::Instrument::Snare,
     {{zephyrion::kFreqLo, 0.25f}, {zephyrion::kFreqHi, 0.6f}, {zephyrion::kFreqMode, 0.1f}}},
    {bench::Instrument::HiHat, {{zephyrion::kFreqLo, 0.85f}, {zephyrion::kFreqMode, 0.1f}}},
};

struct Collector : zephyrion::MidiSink {
    std::vector<std::int64_t> noteOns;
    std::int64_t blockStart = 0;
    void receive(const zephyrion::MidiMessage& message) override {
        if ((message.status & 0xF0) == 0x90) {
            noteOns.push_back(blockStart + message.frame);
        }
    }
};

// The note-ons' positions, with the lookahead's latency taken off when it is on.
std::vector<std::int64_t> run(const bench::Groove& groove, const Band& band, float ampHi, bool lookahead) {
    zephyrion::PeakEngine engine;
    engine.setParameter(zephyrion::kLookahead, lookahead ? 1.0f : 0.0f);
    engine.setSampleRate(static_cast<float>(groove.sampleRate));
    for (const auto& [index, value] : band.settings) {
        engine.setParameter(index, value);
    }
    engine.setParameter(zephyrion::kAmpHi, ampHi);
    engine.setParameter(zephyrion::kRelease, 0.95f);
    engine.setParameter(zephyrion::kFalloff, 0.95f);
    Collector sink;
    std::vector<float> outLeft(512), outRight(512);
    for (std::size_t at = 0; at < groove.left.size(); at += 512) {
        const auto frames = static_cast<std::int32_t>(std::min<std::size_t>(512, groove.left.size() - at));
        const float* inputs[2] = {groove.left.data() + at, groove.right.data() + at};
        float* outputs[2] = {outLeft.data(), outRight.data()};
        sink.blockStart = static_cast<std::int64_t>(at);
        engine.process(inputs, outputs, frames, zephyrion::OutputMode::Replace, sink);
    }
    for (std::int64_t& note : sink.noteOns) {
        note -= engine.getLatency();
    }
    return sink.noteOns;
}

struct Score {
    int found = 0, missed = 0, falseHits = 0;
    std::vector<double> offsetsMs;
    double f() const { return found == 0 ? 0.0 : 2.0 * found / (2.0 * found + missed + falseHits); }
};

Score score(const bench::Groove& groove, bench::Instrument instrument,
            const std::vector<std::int64_t>& notes) {
    const auto tolerance = static_cast<std::int64_t>(0.025 * groove.sampleRate);
    std::vector<bool> used(notes.size(), false);
    Score s;
    for (const bench::Hit& hit : groove.hits) {
        if (hit.instrument != instrument) {
            continue;
        }
        std::int64_t best = -1;
        for (std::size_t i = 0; i < notes.size(); ++i) {
            if (!used[i] && std::llabs(notes[i] - hit.trueStart) <= tolerance &&
                (best < 0 ||
                 std::llabs(notes[i] - hit.trueStart) < std::llabs(notes[best] - hit.trueStart))) {
                best = static_cast<std::int64_t>(i);
            }
        }
        if (best < 0) {
            ++s.missed;
            continue;
        }
        used[static_cast<std::size_t>(best)] = true;
        ++s.found;
        s.offsetsMs.push_back(1000.0 * static_cast<double>(notes[best] - hit.trueStart) / groove.sampleRate);
    }
    s.falseHits = static_cast<int>(std::count(used.begin(), used.end(), false));
    return s;
}

double quantile(std::vector<double> values, double q) {
    if (values.empty()) {
        return 0.0;
    }
    for (double& v : values) {
        v = std::fabs(v);
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(q * static_cast<double>(values.size() - 1) + 0.5)];
}

} // namespace

int main() {
    const std::vector<std::string> kits = bench::usableKits();
    if (kits.empty()) {
        std::fprintf(stderr, "timing_bench: no drum kit found in %s (Debian package hydrogen-drumkits)\n",
                     bench::drumkitFolder());
        return 1;
    }
    std::printf("%-26s %-6s %6s %5s %6s %6s %5s  %8s %8s %8s | %5s %8s %8s %8s\n", "", "", "", "", "", "", "",
                "raw", "", "", "", "aligned", "", "");
    std::printf("%-26s %-6s %6s %5s %6s %6s %5s  %8s %8s %8s | %5s %8s %8s %8s\n", "kit", "drum", "Amp.Hi",
                "found", "missed", "false", "F", "median", "p95", "max ms", "found", "median", "p95",
                "max ms");
    for (const std::string& kit : kits) {
        const auto groove = bench::buildGroove(kit, 8);
        if (!groove) {
            continue;
        }
        for (const Band& band : kBands) {
            Score best;
            float bestAmpHi = 0.0f;
            for (float ampHi = 0.50f; ampHi < 0.995f; ampHi += 0.02f) {
                const Score s = score(*groove, band.instrument, run(*groove, band, ampHi, false));
                if (s.f() > best.f()) {
                    best = s;
                    bestAmpHi = ampHi;
                }
            }
            const Score aligned = score(*groove, band.instrument, run(*groove, band, bestAmpHi, true));
            std::printf("%-26s %-6s %6.2f %5d %6d %6d %5.2f  %8.2f %8.2f %8.2f | %5d %8.2f %8.2f %8.2f\n",
                        kit.c_str(), bench::instrumentName(band.instrument), bestAmpHi, best.found,
                        best.missed, best.falseHits, best.f(), quantile(best.offsetsMs, 0.5),
                        quantile(best.offsetsMs, 0.95), quantile(best.offsetsMs, 1.0), aligned.found,
                        quantile(aligned.offsetsMs, 0.5), quantile(aligned.offsetsMs, 0.95),
                        quantile(aligned.offsetsMs, 1.0));
        }
    }
    return 0;
}

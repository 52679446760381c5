#include "bench/real_drums.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sndfile.h>
#include <sstream>

namespace bench {

namespace {

constexpr double kMixGain = 0.7;

struct Layer {
    std::string file;
    float max = 1.0f;
};

struct KitInstrument {
    std::string name;
    std::vector<Layer> layers; // softest first
};

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The text between <tag> and </tag> from `from` on, moving `from` past it; empty when there is none.
std::string nextElement(const std::string& xml, const std::string& tag, std::size_t& from,
                        std::size_t until) {
    const std::string open = "<" + tag + ">";
    const std::string close = "</" + tag + ">";
    const std::size_t start = xml.find(open, from);
    if (start == std::string::npos || start >= until) {
        return {};
    }
    const std::size_t end = xml.find(close, start);
    if (end == std::string::npos) {
        return {};
    }
    from = end + close.size();
    return xml.substr(start + open.size(), end - start - open.size());
}

std::vector<KitInstrument> readKit(const std::filesystem::path& folder) {
    std::ifstream in(folder / "drumkit.xml");
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string xml = buffer.str();
    std::vector<KitInstrument> instruments;
    std::size_t at = 0;
    while ((at = xml.find("<instrument>", at)) != std::string::npos) {
        const std::size_t end = std::min(xml.find("</instrument>", at), xml.size());
        KitInstrument instrument;
        std::size_t cursor = at;
        instrument.name = nextElement(xml, "name", cursor, end);
        for (std::size_t layer = cursor; (layer = xml.find("<layer>", layer)) < end;) {
            std::size_t inner = layer;
            Layer found;
            found.file = nextElement(xml, "filename", inner, end);
            std::size_t maxAt = layer;
            const std::string max = nextElement(xml, "max", maxAt, end);
            found.max = max.empty() ? 1.0f : std::stof(max);
            if (!found.file.empty()) {
                instrument.layers.push_back(found);
            }
            layer = inner;
        }
        std::sort(instrument.layers.begin(), instrument.layers.end(),
                  [](const Layer& a, const Layer& b) { return a.max < b.max; });
        if (!instrument.layers.empty()) {
            instruments.push_back(instrument);
        }
        at = end;
    }
    return instruments;
}

bool nameMatches(const std::string& name, Instrument instrument) {
    const std::string n = lower(name);
    auto has = [&](const char* word) { return n.find(word) != std::string::npos; };
    switch (instrument) {
    case Instrument::Kick: return has("kick") || has("bass drum") || has("bassdrum") || n.rfind("bd", 0) == 0;
    case Instrument::Snare: return has("snare") && !has("rim") && !has("stick") && !has("roll");
    case Instrument::HiHat:
        return (has("hat") || has("hh")) && (has("closed") || has("cl") || has("chh")) && !has("open");
    }
    return false;
}

const KitInstrument* find(const std::vector<KitInstrument>& kit, Instrument instrument) {
    for (const KitInstrument& candidate : kit) {
        if (nameMatches(candidate.name, instrument)) {
            return &candidate;
        }
    }
    return nullptr;
}

// A recording as mono at `rate`, resampled linearly when the file has another rate.
std::vector<float> readMono(const std::filesystem::path& path, double rate) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.string().c_str(), SFM_READ, &info);
    if (file == nullptr) {
        return {};
    }
    std::vector<float> interleaved(static_cast<std::size_t>(info.frames) *
                                   static_cast<std::size_t>(info.channels));
    sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    std::vector<float> mono(static_cast<std::size_t>(info.frames));
    for (std::size_t i = 0; i < mono.size(); ++i) {
        double sum = 0.0;
        for (int c = 0; c < info.channels; ++c) {
            sum += interleaved[i * static_cast<std::size_t>(info.channels) + static_cast<std::size_t>(c)];
        }
        mono[i] = static_cast<float>(sum / info.channels);
    }
    if (info.samplerate == static_cast<int>(rate) || mono.empty()) {
        return mono;
    }
    const double step = info.samplerate / rate;
    std::vector<float> resampled(static_cast<std::size_t>(static_cast<double>(mono.size()) / step));
    for (std::size_t i = 0; i < resampled.size(); ++i) {
        const double at = static_cast<double>(i) * step;
        const auto j = static_cast<std::size_t>(at);
        const double frac = at - static_cast<double>(j);
        const float next = j + 1 < mono.size() ? mono[j + 1] : mono[j];
        resampled[i] = static_cast<float>(mono[j] * (1.0 - frac) + next * frac);
    }
    return resampled;
}

std::int64_t onsetOf(const std::vector<float>& sound) {
    float peak = 0.0f;
    for (const float s : sound) {
        peak = std::max(peak, std::fabs(s));
    }
    for (std::size_t i = 0; i < sound.size(); ++i) {
        if (std::fabs(sound[i]) > 0.02f * peak) {
            return static_cast<std::int64_t>(i);
        }
    }
    return 0;
}

} // namespace

const char* instrumentName(Instrument instrument) {
    switch (instrument) {
    case Instrument::Kick: return "kick";
    case Instrument::Snare: return "snare";
    case Instrument::HiHat: return "hihat";
    }
    return "";
}

const char* drumkitFolder() {
    return "/usr/share/hydrogen/data/drumkits";
}

std::vector<std::string> usableKits() {
    std::vector<std::string> kits;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(drumkitFolder(), error)) {
        const std::vector<KitInstrument> kit = readKit(entry.path());
        if (find(kit, Instrument::Kick) && find(kit, Instrument::Snare) && find(kit, Instrument::HiHat)) {
            kits.push_back(entry.path().filename().string());
        }
    }
    std::sort(kits.begin(), kits.end());
    return kits;
}

std::optional<Groove> buildGroove(const std::string& kitFolder, int bars, double sampleRate) {
    const std::filesystem::path folder = std::filesystem::path(drumkitFolder()) / kitFolder;
    const std::vector<KitInstrument> kit = readKit(folder);
    const Instrument order[] = {Instrument::Kick, Instrument::Snare, Instrument::HiHat};
    std::vector<std::vector<std::vector<float>>> sounds; // instrument, layer
    for (const Instrument instrument : order) {
        const KitInstrument* found = find(kit, instrument);
        if (found == nullptr) {
            return std::nullopt;
        }
        std::vector<std::vector<float>> layers;
        for (const Layer& layer : found->layers) {
            layers.push_back(readMono(folder / layer.file, sampleRate));
        }
        sounds.push_back(std::move(layers));
    }

    Groove groove;
    groove.kit = kitFolder;
    groove.sampleRate = sampleRate;
    const double eighth = sampleRate * 60.0 / 110.0 / 2.0;
    const auto frames = static_cast<std::size_t>(eighth * 8 * bars + sampleRate);
    groove.parts.assign(std::size(order), std::vector<double>(frames, 0.0));
    std::uint32_t seed = 12345;
    auto uniform = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<double>(seed >> 8) / 16777216.0;
    };
    for (int step = 0; step < 8 * bars; ++step) {
        const auto position = static_cast<std::int64_t>(std::llround(step * eighth));
        const int beat = step % 8;
        std::vector<std::pair<Instrument, float>> playing = {
            {Instrument::HiHat, 0.3f + 0.4f * float(uniform())}};
        if (beat == 0 || beat == 4) {
            playing.push_back({Instrument::Kick, 0.6f + 0.4f * float(uniform())});
        }
        if (beat == 2 || beat == 6) {
            playing.push_back({Instrument::Snare, 0.6f + 0.4f * float(uniform())});
        }
        for (const auto& [instrument, strength] : playing) {
            const auto& layers = sounds[static_cast<std::size_t>(instrument)];
            const std::size_t layer = std::min(
                layers.size() - 1, static_cast<std::size_t>(strength * static_cast<float>(layers.size())));
            const std::vector<float>& sound = layers[layer];
            std::vector<double>& part = groove.parts[static_cast<std::size_t>(instrument)];
            for (std::size_t i = 0;
                 i < sound.size() && position + static_cast<std::int64_t>(i) < std::int64_t(frames); ++i) {
                part[static_cast<std::size_t>(position) + i] += sound[i] * strength;
            }
            groove.hits.push_back({position, position + onsetOf(sound), instrument, strength});
        }
    }
    groove.left.resize(frames);
    groove.right.resize(frames);
    groove.noise.resize(frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const double noise = (uniform() - 0.5) * 0.002; // about -60 dBFS
        const double mix = groove.parts[0][i] + groove.parts[1][i] + groove.parts[2][i];
        groove.left[i] = static_cast<float>(mix * kMixGain + noise);
        groove.right[i] = static_cast<float>(mix * kMixGain - noise);
        groove.noise[i] = static_cast<float>(noise);
    }
    std::sort(groove.hits.begin(), groove.hits.end(),
              [](const Hit& a, const Hit& b) { return a.position < b.position; });
    return groove;
}

std::vector<float> stemOf(const Groove& groove, Instrument instrument, double bleedDb) {
    const double bleed = std::pow(10.0, -bleedDb / 20.0);
    const auto own = static_cast<std::size_t>(instrument);
    std::vector<float> stem(groove.left.size());
    for (std::size_t i = 0; i < stem.size(); ++i) {
        double sum = 0.0;
        for (std::size_t part = 0; part < groove.parts.size(); ++part) {
            sum += groove.parts[part][i] * (part == own ? 1.0 : bleed);
        }
        stem[i] = static_cast<float>(sum * kMixGain + groove.noise[i]);
    }
    return stem;
}

} // namespace bench

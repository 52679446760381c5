// `zephyrion convert` with the kit presets on grooves of real recorded drums, as a user runs it: the mixed
// groove with three bands, and the same groove as stems (each drum's own microphone, the others bleeding in
// 20 dB down) with a band per stem. Per kit and drum: F-measure, precision and recall within 25 ms, and the
// note-ons' median offset from the true starts.
//
// Arguments, for tuning: up to three band settings in place of the presets' own (kick, snare, hi-hat, each as
// --band takes it, e.g. snare:Freq.Lo=200Hz), then any further convert options after "--".
#include <cstdio>
#include <filesystem>
#include <sndfile.h>
#include <string>
#include <vector>

#include "bench/real_drums.h"
#include "tools/zephyrion/commands.h"
#include "tools/zephyrion/hit_score.h"

namespace {

constexpr int kBars = 16;
constexpr double kStemBleedDb = 20.0;

struct Drum {
    bench::Instrument instrument;
    std::string band; // the kit preset, or settings starting from it
    int note;         // its General MIDI note
};

std::vector<Drum> drums = {
    {bench::Instrument::Kick, "kick", 36},
    {bench::Instrument::Snare, "snare", 38},
    {bench::Instrument::HiHat, "hihat", 42},
};

void writeWav(const std::string& path, const std::vector<float>& left, const std::vector<float>& right,
              double rate) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(rate);
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    std::vector<float> stereo(left.size() * 2);
    for (std::size_t i = 0; i < left.size(); ++i) {
        stereo[2 * i] = left[i];
        stereo[2 * i + 1] = right[i];
    }
    sf_writef_float(file, stereo.data(), static_cast<sf_count_t>(left.size()));
    sf_close(file);
}

// The command line a user would type, run in this process; answers every band's events, merged.
std::vector<std::string> extraOptions;

zcli::Conversion convert(std::vector<std::string> arguments, const std::string& midi) {
    arguments.insert(arguments.begin(), {"zephyrion", "convert"});
    arguments.insert(arguments.end(), {"-o", midi, "-q", "--plugin", ZEPHYRION_PLUGIN_PATH});
    arguments.insert(arguments.end(), extraOptions.begin(), extraOptions.end());
    return zcli::runConvert(std::get<zcli::ConvertRequest>(zcli::parseCommandLine(arguments)));
}

zcli::BandScore scoreDrum(const bench::Groove& groove, const Drum& drum, const zcli::Conversion& conversion) {
    std::vector<double> hits;
    for (const bench::Hit& hit : groove.hits) {
        if (hit.instrument == drum.instrument) {
            hits.push_back(static_cast<double>(hit.trueStart) / groove.sampleRate);
        }
    }
    std::vector<double> notes;
    for (const zcli::MidiEvent& event : conversion.events) {
        if (event.startsNote() && event.data1 == drum.note) {
            notes.push_back(static_cast<double>(event.position) / groove.sampleRate);
        }
    }
    return zcli::scoreBand(notes, hits);
}

// The lowest F of each drum over the kits, mixed and as stems: what the targets are set against.
std::vector<double> lowestF(6, 1.0);

void printScore(const zcli::BandScore& score, std::size_t column) {
    const zcli::ToleranceScore& at25 = score.tolerances.front();
    lowestF[column] = std::min(lowestF[column], at25.fMeasure);
    const double offset = score.offsets ? score.offsets->median * 1000.0 : 0.0;
    std::printf(" | %5.2f %5.2f %5.2f %7.2f", at25.fMeasure, at25.precision, at25.recall, offset);
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1, drum = 0; i < argc; ++i) {
        if (std::string(argv[i]) == "--") {
            extraOptions.assign(argv + i + 1, argv + argc);
            break;
        }
        if (drum < 3) {
            drums[static_cast<std::size_t>(drum++)].band = argv[i];
        }
    }
    const std::vector<std::string> kits = bench::usableKits();
    if (kits.empty()) {
        std::fprintf(stderr, "kit_bench: no drum kit found in %s (Debian package hydrogen-drumkits)\n",
                     bench::drumkitFolder());
        return 1;
    }
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "zephyrion-kit-bench";
    std::filesystem::create_directories(folder);
    const std::string mixPath = (folder / "mix.wav").string();
    const std::string midi = (folder / "out.mid").string();

    std::printf("%-24s %-6s | %-25s | %-25s\n", "", "", "mixed, presets", "stems, presets");
    std::printf("%-24s %-6s | %5s %5s %5s %7s | %5s %5s %5s %7s\n", "kit", "drum", "F", "P", "R", "ms", "F",
                "P", "R", "ms");
    for (const std::string& kit : kits) {
        const auto groove = bench::buildGroove(kit, kBars);
        if (!groove) {
            continue;
        }
        writeWav(mixPath, groove->left, groove->right, groove->sampleRate);
        std::vector<std::string> mixed{mixPath};
        std::vector<std::string> stems;
        for (const Drum& drum : drums) {
            mixed.insert(mixed.end(), {"--band", drum.band});
            const std::string stem = (folder / (std::to_string(drum.note) + ".wav")).string();
            const std::vector<float> mono = bench::stemOf(*groove, drum.instrument, kStemBleedDb);
            writeWav(stem, mono, mono, groove->sampleRate);
            stems.insert(stems.end(), {stem, "--band", drum.band});
        }
        const zcli::Conversion fromMix = convert(mixed, midi);
        const zcli::Conversion fromStems = convert(stems, midi);
        for (std::size_t drum = 0; drum < drums.size(); ++drum) {
            std::printf("%-24s %-6s", kit.c_str(),
                        drums[drum].band.substr(0, drums[drum].band.find(':')).c_str());
            printScore(scoreDrum(*groove, drums[drum], fromMix), drum);
            printScore(scoreDrum(*groove, drums[drum], fromStems), 3 + drum);
            std::printf("\n");
        }
    }
    std::printf("lowest F, mixed: kick %.2f snare %.2f hihat %.2f; stems: kick %.2f snare %.2f hihat %.2f\n",
                lowestF[0], lowestF[1], lowestF[2], lowestF[3], lowestF[4], lowestF[5]);
    return 0;
}

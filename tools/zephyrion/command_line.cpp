#include "tools/zephyrion/command_line.h"

#include "plugin/parameters.h"
#include "tools/common/errors.h"
#include "tools/zephyrion/help_texts.h"
#include "tools/zephyrion/kit_presets.h"
#include "tools/zephyrion/parameter_values.h"
#include "tools/zephyrion/readable_settings.h"
#include "tools/zephyrion/smf_writer.h"
#include "tools/zephyrion/text.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

namespace zcli {
namespace {

constexpr int kMaxBlockSize = 65536;
// The sample rates info reads the settings at.
constexpr double kMinRate = 1000.0;
constexpr double kMaxRate = 768000.0;

// Walks the arguments of one command, splitting "--name=value" so both spellings behave alike.
class ArgumentCursor {
public:
    ArgumentCursor(const std::vector<std::string>& arguments, std::size_t first, std::string command)
        : arguments_(arguments), next_(first), command_(std::move(command)) {}

    // A lone "--" ends the options: everything after it is a file name, even when it starts with "-".
    bool done() {
        if (!optionsEnded_ && next_ < arguments_.size() && arguments_[next_] == "--") {
            optionsEnded_ = true;
            ++next_;
        }
        return next_ >= arguments_.size();
    }

    // The next argument; options are returned without an attached "=value", which value() then gives.
    std::string take() {
        pendingValue_.reset();
        std::string argument = arguments_[next_++];
        const std::size_t equals = argument.find('=');
        if (isOption(argument) && argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            pendingValue_ = argument.substr(equals + 1);
            argument.resize(equals);
        }
        return argument;
    }

    bool isOption(const std::string& argument) const {
        return !optionsEnded_ && argument.size() > 1 && argument[0] == '-';
    }

    std::string value(const std::string& option) {
        if (pendingValue_) {
            std::string result = *pendingValue_;
            pendingValue_.reset();
            return result;
        }
        if (next_ >= arguments_.size()) {
            throw UsageError("option " + option + " needs a value (see zephyrion " + command_ + " --help)");
        }
        return arguments_[next_++];
    }

    // An option that takes no value must not have been given one with "=".
    void noValue(const std::string& option) {
        if (pendingValue_) {
            throw UsageError("option " + option + " takes no value");
        }
    }

    [[noreturn]] void unknown(const std::string& argument) const {
        throw UsageError("unknown option '" + argument + "' (see zephyrion " + command_ + " --help)");
    }

    [[noreturn]] void unexpected(const std::string& argument) const {
        throw UsageError("unexpected argument '" + argument + "' (see zephyrion " + command_ + " --help)");
    }

    // The command's one file; a second is a mistake.
    void onlyFile(std::string& file, const std::string& argument) const {
        if (!file.empty()) {
            unexpected(argument);
        }
        file = argument;
    }

private:
    const std::vector<std::string>& arguments_;
    std::size_t next_;
    std::string command_;
    std::optional<std::string> pendingValue_;
    bool optionsEnded_ = false;
};

std::string nameOf(zephyrion::ParameterIndex index) {
    return std::string(zephyrion::kParameters[static_cast<std::size_t>(index)].name);
}

// The parameter options that take a value; a band's KEY=VALUE is one of them without the dashes, or --set.
constexpr std::string_view kValueOptions[] = {"--set",      "--note",   "--channel",
                                              "--velocity", "--output", "--freq-mode"};

bool takesValue(std::string_view option) {
    return std::find(std::begin(kValueOptions), std::end(kValueOptions), option) != std::end(kValueOptions);
}

// Parameter options keep their order; the note is read last, once --cc is known.
struct ParameterOptions {
    std::vector<ParameterRequest> requests;
    std::optional<std::size_t> noteSlot;
    std::string noteText;
    bool controllerMode = false;

    void add(std::string option, zephyrion::ParameterIndex index, float value) {
        requests.push_back({std::move(option), nameOf(index), value});
    }

    // One of kValueOptions with its value.
    void take(const std::string& option, const std::string& text) {
        if (option == "--set") {
            const std::size_t equals = text.find('=');
            if (equals == std::string::npos || equals == 0) {
                throw UsageError("--set '" + text + "': write NAME=VALUE, e.g. --set Amp.Hi=0.5");
            }
            const std::string name = text.substr(0, equals);
            const std::string valueText = text.substr(equals + 1);
            const int index = tableIndexOf(name);
            if (hasReadableForm(index) && !isPlainNumber(valueText)) {
                // Its normalised value needs the input's sample rate, known once the file is open.
                checkReadable(index, valueText, "--set " + name + " '" + valueText + "'");
                requests.push_back({"--set " + text, name, 0.0f, valueText});
                return;
            }
            const float value = parseNormalised(valueText, "--set " + name);
            if (sameName(name, nameOf(zephyrion::kNoteOrCC))) {
                controllerMode = value > 0.5f;
            }
            requests.push_back({"--set " + text, name, value});
        } else if (option == "--note") {
            noteText = text;
            noteSlot = requests.size();
            add("--note " + noteText, zephyrion::kMidiNote, 0.0f);
        } else if (option == "--channel") {
            add(option + " " + text, zephyrion::kMidiChannel, parseChannel(text));
        } else if (option == "--velocity") {
            add(option + " " + text, zephyrion::kMidiVelocity, parseVelocity(text));
        } else if (option == "--output") {
            add(option + " " + text, zephyrion::kOutMode, parseOutputMode(text));
        } else {
            add(option + " " + text, zephyrion::kFreqMode, parseFreqMode(text));
        }
    }

    // Handles one parameter option; false when the option is not one of them.
    bool handle(const std::string& option, ArgumentCursor& cursor) {
        if (takesValue(option)) {
            take(option, cursor.value(option));
        } else if (option == "--cc") {
            cursor.noValue(option);
            controllerMode = true;
            add(option, zephyrion::kNoteOrCC, 1.0f);
        } else if (option == "--velocity-from-level") {
            cursor.noValue(option);
            add(option, zephyrion::kVeloSw, 1.0f);
        } else {
            return false;
        }
        return true;
    }

    std::vector<ParameterRequest> finish() {
        if (noteSlot) {
            requests[*noteSlot].value = parseNote(noteText, controllerMode);
        }
        return requests;
    }
};

std::vector<std::string> split(std::string_view text, char separator) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at = text.find(separator); at != std::string_view::npos;
         at = text.find(separator, from)) {
        parts.emplace_back(text.substr(from, at - from));
        from = at + 1;
    }
    parts.emplace_back(text.substr(from));
    return parts;
}

// bleed=keep or bleed=suppress (the default).
bool keepsBleed(const std::string& value, const std::string& option) {
    const std::string word = lowerCase(withoutOuterBlanks(value));
    if (word != "keep" && word != "suppress") {
        throw UsageError(option + ": bleed is keep or suppress, not '" + value + "'");
    }
    return word == "keep";
}

// Applies KEY=VALUE,... to a band: a friendly key such as note=C1, bleed=keep, or a parameter by name.
void applyBandSettings(ParameterOptions& band, bool& keepBleed, std::string_view settings,
                       const std::string& option) {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const zephyrion::ParameterInfo& info : zephyrion::kParameters) {
            all.emplace_back(info.name);
        }
        return all;
    }();
    for (const std::string& item : split(settings, ',')) {
        const std::size_t equals = item.find('=');
        if (equals == std::string::npos || equals == 0) {
            throw UsageError(option + ": '" + item +
                             "' is not KEY=VALUE, e.g. --band kick:Amp.Hi=0.9,note=C1");
        }
        const std::string key = item.substr(0, equals);
        const std::string friendly = "--" + lowerCase(withoutOuterBlanks(key));
        if (friendly == "--bleed") {
            keepBleed = keepsBleed(item.substr(equals + 1), option);
            continue;
        }
        if (friendly != "--set" && takesValue(friendly)) {
            band.take(friendly, item.substr(equals + 1));
        } else {
            try {
                parameterIndexOf(names, {option, key, 0.0f});
            } catch (const UsageError& error) {
                std::string message = error.what();
                message.append("; or note, channel, velocity, output, freq-mode, bleed");
                throw UsageError(message);
            }
            band.take("--set", item);
        }
        band.requests.back().option = option;
    }
}

std::string presetNames() {
    std::string list;
    for (const KitPreset& preset : kKitPresets) {
        list.append(list.empty() ? "" : ", ").append(preset.name);
    }
    return list;
}

// NAME or NAME:KEY=VALUE,...: a kit preset's settings, then the band's own; any name once settings are given.
BandRequest readBand(const std::string& spec, bool controllerMode) {
    const std::string option = "--band " + spec;
    const std::size_t colon = spec.find(':');
    BandRequest band;
    band.name = spec.substr(0, colon);
    if (band.name.empty()) {
        throw UsageError(option + ": the band needs a name, e.g. --band kick or --band ride:Freq.Lo=0.9");
    }
    const auto preset = std::find_if(std::begin(kKitPresets), std::end(kKitPresets),
                                     [&](const KitPreset& kit) { return sameName(band.name, kit.name); });
    const bool hasPreset = preset != std::end(kKitPresets);
    if (!hasPreset && colon == std::string::npos) {
        throw UsageError(option + ": no kit preset '" + band.name + "'; the presets are " + presetNames() +
                         ", and any other name needs settings, e.g. --band " + band.name + ":Freq.Lo=0.5");
    }
    ParameterOptions options;
    options.controllerMode = controllerMode;
    try {
        if (hasPreset) {
            applyBandSettings(options, band.keepBleed, kKitCommon, option);
            applyBandSettings(options, band.keepBleed, preset->settings, option);
            band.autoEdge = preset->autoEdge;
        }
        const std::size_t own = options.requests.size();
        if (colon != std::string::npos) {
            applyBandSettings(options, band.keepBleed, std::string_view(spec).substr(colon + 1), option);
        }
        band.parameters = options.finish();
        const bool setsEdge =
            std::any_of(band.parameters.begin() + static_cast<std::ptrdiff_t>(own), band.parameters.end(),
                        [&](const ParameterRequest& set) {
                            return sameName(set.name, nameOf(zephyrion::kFreqMode)) ||
                                   (band.autoEdge && sameName(set.name, nameOf(band.autoEdge->edge)));
                        });
        if (setsEdge) {
            band.autoEdge.reset();
        }
    } catch (const UsageError& error) {
        const std::string message = error.what();
        throw UsageError(message.rfind(option, 0) == 0 ? message : option + ": " + message);
    }
    return band;
}

// A second band of the same name would make two tracks no one could tell apart.
void checkBandNamesAreDistinct(const ConvertRequest& request, const std::string& spec) {
    const BandRequest& added = request.bands.back();
    for (std::size_t other = 0; other + 1 < request.bands.size(); ++other) {
        if (sameName(request.bands[other].name, added.name)) {
            throw UsageError("--band " + spec + ": a second band named '" + added.name +
                             "'; give each band its own name");
        }
    }
}

// Two outputs under one name would overwrite each other, and an output named like an input would destroy it.
void checkOutputsAreDistinct(const ConvertRequest& request) {
    std::vector<std::pair<std::string, const std::string*>> files{
        {"-o", &request.midiOut},     {"--events", &request.eventsOut}, {"--audio-out", &request.audioOut},
        {"--plot", &request.plotOut}, {"--report", &request.reportOut},
    };
    const std::size_t outputs = files.size();
    for (const std::string& input : request.inputs) {
        files.emplace_back("the input", &input);
    }
    files.emplace_back("--reference", &request.reference);
    for (std::size_t i = 0; i < outputs; ++i) {
        for (std::size_t j = i + 1; j < files.size(); ++j) {
            const std::string& first = *files[i].second;
            const std::string& second = *files[j].second;
            if (!first.empty() && first != "-" &&
                std::filesystem::path(first).lexically_normal() ==
                    std::filesystem::path(second).lexically_normal()) {
                const std::string& inputFirst = j >= outputs ? files[j].first : files[i].first;
                const std::string& other = j >= outputs ? files[i].first : files[j].first;
                throw UsageError(inputFirst + " and " + other + " both name '" + second +
                                 "'; give each output its own file");
            }
        }
    }
}

// A band file: one band a line, as --band takes it; blank lines and lines starting with # are skipped. Each
// band remembers its line, which its mistakes then name.
void readBandFile(const std::string& path, std::vector<std::string>& bands,
                  std::vector<std::string>& origins) {
    std::ifstream file(path);
    if (!file) {
        throw RunError(path + ": cannot be read");
    }
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') {
            continue;
        }
        const std::size_t last = line.find_last_not_of(" \t\r");
        bands.push_back(line.substr(first, last + 1 - first));
        origins.push_back(path + ":" + std::to_string(number) + ": ");
    }
}

// With one input every band listens to it. Stems each need bands, given after the input they listen to.
void checkStemsHaveBands(const ConvertRequest& request, const std::vector<std::string>& specs,
                         const std::vector<std::size_t>& inputsBeforeBand) {
    if (request.inputs.size() < 2) {
        return;
    }
    for (std::size_t band = 0; band < specs.size(); ++band) {
        if (inputsBeforeBand[band] == 0) {
            throw UsageError("--band " + specs[band] +
                             ": with several inputs each band follows the input it listens to, e.g. "
                             "convert kick.wav --band kick snare.wav --band snare");
        }
    }
    for (std::size_t input = 0; input < request.inputs.size(); ++input) {
        const bool heard = std::any_of(request.bands.begin(), request.bands.end(),
                                       [&](const BandRequest& band) { return band.input == input; });
        if (!heard) {
            throw UsageError(request.inputs[input] +
                             ": with several inputs each needs its own --band after it, e.g. " +
                             request.inputs[input] + " --band kick");
        }
    }
}

ConvertRequest parseConvert(const std::vector<std::string>& arguments, std::size_t first) {
    ConvertRequest request;
    ParameterOptions parameters;
    std::vector<std::string> bands;
    std::vector<std::string> bandOrigins; // empty for the command line, FILE:LINE for a band file
    std::vector<std::size_t> inputsBeforeBand;
    ArgumentCursor cursor(arguments, first, "convert");
    while (!cursor.done()) {
        const std::string argument = cursor.take();
        if (!cursor.isOption(argument)) {
            request.inputs.push_back(argument);
        } else if (argument == "-o") {
            request.midiOut = cursor.value(argument);
        } else if (argument == "--events") {
            request.eventsOut = cursor.value(argument);
        } else if (argument == "--audio-out") {
            request.audioOut = cursor.value(argument);
        } else if (argument == "--plot") {
            request.plotOut = cursor.value(argument);
        } else if (argument == "--reference") {
            request.reference = cursor.value(argument);
        } else if (argument == "--report") {
            request.reportOut = cursor.value(argument);
        } else if (argument == "--block") {
            request.blockSize = parseInteger(cursor.value(argument), argument, 1, kMaxBlockSize);
        } else if (argument == "--ppq") {
            request.ppq = parseInteger(cursor.value(argument), argument, 1, kMaxPpq);
        } else if (argument == "--bpm") {
            request.bpm = parseNumber(cursor.value(argument), argument, kMinBpm, kMaxBpm);
        } else if (argument == "--plugin") {
            request.plugin.pluginPath = cursor.value(argument);
        } else if (argument == "--program") {
            request.plugin.program =
                parseInteger(cursor.value(argument), argument, 0, zephyrion::kNumPrograms - 1);
        } else if (argument == "-q" || argument == "--quiet") {
            cursor.noValue(argument);
            request.quiet = true;
        } else if (argument == "--raw-timing") {
            cursor.noValue(argument);
            request.rawTiming = true;
        } else if (argument == "--band") {
            bands.push_back(cursor.value(argument));
            bandOrigins.emplace_back();
            inputsBeforeBand.push_back(request.inputs.size());
        } else if (argument == "--bands") {
            readBandFile(cursor.value(argument), bands, bandOrigins);
            inputsBeforeBand.resize(bands.size(), request.inputs.size());
        } else if (argument == "--merge") {
            cursor.noValue(argument);
            request.merge = true;
        } else if (argument == "--auto") {
            cursor.noValue(argument);
            request.autoWindow = true;
        } else if (argument == "--keep-bleed" || argument == "--suppress-bleed") {
            // --suppress-bleed, the default, stays for the command lines that name it.
            cursor.noValue(argument);
            request.keepBleed = argument == "--keep-bleed";
        } else if (!parameters.handle(argument, cursor)) {
            cursor.unknown(argument);
        }
    }
    if (request.inputs.empty()) {
        throw UsageError("convert needs an input audio file (see zephyrion convert --help)");
    }
    if (request.midiOut.empty()) {
        request.midiOut = defaultMidiPath(request.inputs.front());
    }
    if (request.midiOut == "-") {
        throw UsageError("-o: the MIDI file cannot go to standard output; give a file name");
    }
    if (!request.reportOut.empty() && request.reference.empty()) {
        throw UsageError("--report: a score needs the true hits; give them with --reference FILE");
    }
    checkOutputsAreDistinct(request);
    request.plugin.parameters = parameters.finish();
    for (std::size_t band = 0; band < bands.size(); ++band) {
        const std::string& spec = bands[band];
        try {
            request.bands.push_back(readBand(spec, parameters.controllerMode));
            request.bands.back().input = inputsBeforeBand[band] == 0 ? 0 : inputsBeforeBand[band] - 1;
            checkBandNamesAreDistinct(request, spec);
        } catch (const UsageError& error) {
            throw UsageError(bandOrigins[band] + error.what());
        }
    }
    checkStemsHaveBands(request, bands, inputsBeforeBand);
    if (request.bands.size() > 1 && !request.audioOut.empty()) {
        throw UsageError("--audio-out: every band has its own output; with several --band, leave it out");
    }
    return request;
}

InfoRequest parseInfo(const std::vector<std::string>& arguments, std::size_t first) {
    InfoRequest request;
    ArgumentCursor cursor(arguments, first, "info");
    while (!cursor.done()) {
        const std::string argument = cursor.take();
        if (argument == "--plugin") {
            request.pluginPath = cursor.value(argument);
        } else if (argument == "--rate") {
            request.sampleRate = parseNumber(cursor.value(argument), argument, kMinRate, kMaxRate);
        } else if (argument == "--presets") {
            cursor.noValue(argument);
            request.presets = true;
        } else if (cursor.isOption(argument)) {
            cursor.unknown(argument);
        } else {
            cursor.unexpected(argument);
        }
    }
    if (request.presets && !request.pluginPath.empty()) {
        throw UsageError("--presets shows the tool's own kit presets; leave out --plugin");
    }
    return request;
}

DemoRequest parseDemo(const std::vector<std::string>& arguments, std::size_t first) {
    DemoRequest request;
    bool folderGiven = false;
    ArgumentCursor cursor(arguments, first, "demo");
    while (!cursor.done()) {
        const std::string argument = cursor.take();
        if (argument == "--plugin") {
            request.pluginPath = cursor.value(argument);
        } else if (argument == "-q" || argument == "--quiet") {
            cursor.noValue(argument);
            request.quiet = true;
        } else if (cursor.isOption(argument)) {
            cursor.unknown(argument);
        } else if (folderGiven) {
            cursor.unexpected(argument);
        } else {
            request.folder = argument;
            folderGiven = true;
        }
    }
    return request;
}

SnapshotRequest parseSnapshot(const std::vector<std::string>& arguments, std::size_t first) {
    SnapshotRequest request;
    ParameterOptions parameters;
    ArgumentCursor cursor(arguments, first, "snapshot");
    while (!cursor.done()) {
        const std::string argument = cursor.take();
        if (!cursor.isOption(argument)) {
            cursor.onlyFile(request.output, argument);
        } else if (argument == "--note-active") {
            cursor.noValue(argument);
            request.noteActive = true;
        } else if (argument != "--set" || !parameters.handle(argument, cursor)) {
            cursor.unknown(argument);
        }
    }
    if (request.output.empty()) {
        throw UsageError("snapshot needs an output file: zephyrion snapshot OUT.png");
    }
    request.parameters = parameters.finish();
    return request;
}

bool asksForHelp(const std::vector<std::string>& arguments, std::size_t first) {
    for (std::size_t i = first; i < arguments.size() && arguments[i] != "--"; ++i) {
        if (arguments[i] == "--help" || arguments[i] == "-h") {
            return true;
        }
    }
    return false;
}

} // namespace

Request parseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.size() < 2) {
        throw UsageError("no command given; try zephyrion --help");
    }
    const std::string& command = arguments[1];
    if (command == "--help" || command == "-h" || command == "help") {
        return TextRequest{std::string(kMainHelp)};
    }
    if (command == "--version") {
        return TextRequest{std::string(kVersionText)};
    }
    if (command == "convert") {
        return asksForHelp(arguments, 2) ? Request{TextRequest{std::string(kConvertHelp)}}
                                         : Request{parseConvert(arguments, 2)};
    }
    if (command == "info") {
        return asksForHelp(arguments, 2) ? Request{TextRequest{std::string(kInfoHelp)}}
                                         : Request{parseInfo(arguments, 2)};
    }
    if (command == "demo") {
        return asksForHelp(arguments, 2) ? Request{TextRequest{std::string(kDemoHelp)}}
                                         : Request{parseDemo(arguments, 2)};
    }
    if (command == "snapshot") {
        return asksForHelp(arguments, 2) ? Request{TextRequest{std::string(kSnapshotHelp)}}
                                         : Request{parseSnapshot(arguments, 2)};
    }
    if (!command.empty() && command[0] == '-') {
        throw UsageError("unknown option '" + command + "' (see zephyrion --help)");
    }
    throw UsageError("unknown command '" + command +
                     "'; the commands are convert, info, demo, snapshot and validate");
}

BandRequest parseBand(const std::string& spec) {
    return readBand(spec, false);
}

std::string defaultMidiPath(const std::string& input) {
    std::filesystem::path path(input);
    path.replace_extension(".mid");
    return path.string();
}

} // namespace zcli

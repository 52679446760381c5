#include "tools/zephyrion/command_line.h"

#include "plugin/parameters.h"
#include "tools/common/errors.h"
#include "tools/zephyrion/help_texts.h"
#include "tools/zephyrion/kit_presets.h"
#include "tools/zephyrion/parameter_values.h"
#include "tools/zephyrion/smf_writer.h"
#include "tools/zephyrion/text.h"

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>

namespace zcli {
namespace {

constexpr int kMaxBlockSize = 65536;

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
            const float value = parseNormalised(text.substr(equals + 1), "--set " + name);
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
BandRequest parseBand(const std::string& spec, bool controllerMode) {
    const std::string option = "--band " + spec;
    const std::size_t colon = spec.find(':');
    BandRequest band{spec.substr(0, colon), {}, false};
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
        }
        if (colon != std::string::npos) {
            applyBandSettings(options, band.keepBleed, std::string_view(spec).substr(colon + 1), option);
        }
        band.parameters = options.finish();
    } catch (const UsageError& error) {
        const std::string message = error.what();
        throw UsageError(message.rfind(option, 0) == 0 ? message : option + ": " + message);
    }
    return band;
}

// Two outputs under one name would overwrite each other, and an output named like the input would destroy it.
void checkOutputsAreDistinct(const ConvertRequest& request) {
    const std::pair<const char*, const std::string*> files[] = {
        {"the input", &request.input},      {"-o", &request.midiOut},     {"--events", &request.eventsOut},
        {"--audio-out", &request.audioOut}, {"--plot", &request.plotOut},
    };
    for (std::size_t i = 0; i < std::size(files); ++i) {
        for (std::size_t j = i + 1; j < std::size(files); ++j) {
            const std::string& first = *files[i].second;
            const std::string& second = *files[j].second;
            if (!first.empty() && first != "-" &&
                std::filesystem::path(first).lexically_normal() ==
                    std::filesystem::path(second).lexically_normal()) {
                throw UsageError(std::string(files[i].first) + " and " + files[j].first + " both name '" +
                                 second + "'; give each output its own file");
            }
        }
    }
}

ConvertRequest parseConvert(const std::vector<std::string>& arguments, std::size_t first) {
    ConvertRequest request;
    ParameterOptions parameters;
    std::vector<std::string> bands;
    ArgumentCursor cursor(arguments, first, "convert");
    while (!cursor.done()) {
        const std::string argument = cursor.take();
        if (!cursor.isOption(argument)) {
            cursor.onlyFile(request.input, argument);
        } else if (argument == "-o") {
            request.midiOut = cursor.value(argument);
        } else if (argument == "--events") {
            request.eventsOut = cursor.value(argument);
        } else if (argument == "--audio-out") {
            request.audioOut = cursor.value(argument);
        } else if (argument == "--plot") {
            request.plotOut = cursor.value(argument);
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
        } else if (argument == "--merge") {
            cursor.noValue(argument);
            request.merge = true;
        } else if (argument == "--keep-bleed") {
            cursor.noValue(argument);
            request.keepBleed = true;
        } else if (!parameters.handle(argument, cursor)) {
            cursor.unknown(argument);
        }
    }
    if (request.input.empty()) {
        throw UsageError("convert needs an input audio file (see zephyrion convert --help)");
    }
    if (request.midiOut.empty()) {
        request.midiOut = defaultMidiPath(request.input);
    }
    if (request.midiOut == "-") {
        throw UsageError("-o: the MIDI file cannot go to standard output; give a file name");
    }
    checkOutputsAreDistinct(request);
    request.plugin.parameters = parameters.finish();
    for (const std::string& spec : bands) {
        request.bands.push_back(parseBand(spec, parameters.controllerMode));
        for (std::size_t other = 0; other + 1 < request.bands.size(); ++other) {
            if (sameName(request.bands[other].name, request.bands.back().name)) {
                throw UsageError("--band " + spec + ": a second band named '" + request.bands.back().name +
                                 "'; give each band its own name");
            }
        }
    }
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
        } else if (cursor.isOption(argument)) {
            cursor.unknown(argument);
        } else {
            cursor.unexpected(argument);
        }
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

std::string defaultMidiPath(const std::string& input) {
    std::filesystem::path path(input);
    path.replace_extension(".mid");
    return path.string();
}

} // namespace zcli

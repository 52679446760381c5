#include "tools/zephyrion/parameter_values.h"

#include "editor/EditorWords.h"
#include "plugin/parameters.h"
#include "tools/common/errors.h"
#include "tools/zephyrion/text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace zcli {
namespace {

constexpr int kLastNoteIndex = 96; // "C 8", the editor's last note name
constexpr int kNoteOffset = 24;    // note index 0 is sent as MIDI note 24
constexpr int kHighestSentNote = 100;

constexpr std::array<std::string_view, 12> kPitchNames{"C",  "C#", "D",  "D#", "E",  "F",
                                                       "F#", "G",  "G#", "A",  "A#", "B"};
constexpr std::array<std::string_view, 3> kOutputForms{"mute", "proc", "orig"};
constexpr std::array<std::string_view, 3> kFreqModeShortWords{"lin", "exp", "log"};

// Round as the plug-in and its editor do: to nearest, halves to even.
int roundToInt(double value) {
    return static_cast<int>(std::nearbyint(value));
}

std::string quoted(std::string_view option, std::string_view text) {
    return std::string(option) + " '" + std::string(text) + "'";
}

bool tryInteger(std::string_view text, int& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

// One of three steps 0.0, 0.1, 0.2 from a word of either table, compared without case and trailing dot.
float parseThreeStep(std::string_view text, std::string_view option,
                     const std::array<std::string_view, 3>& words,
                     const std::array<std::string_view, 3>& shortWords) {
    std::string wanted = lowerCase(text);
    if (!wanted.empty() && wanted.back() == '.') {
        wanted.pop_back();
    }
    for (int step = 0; step < 3; ++step) {
        std::string word = lowerCase(words[static_cast<std::size_t>(step)]);
        if (word.back() == '.') {
            word.pop_back();
        }
        if (wanted == word || wanted == shortWords[static_cast<std::size_t>(step)]) {
            return static_cast<float>(step) / 10.0f;
        }
    }
    throw UsageError(quoted(option, text) + ": unknown; use " + std::string(shortWords[0]) + ", " +
                     std::string(shortWords[1]) + " or " + std::string(shortWords[2]));
}

// A note name such as "C3", "c#3", "C 3" or "Db3" as a note index, or -1.
int noteIndexOfName(std::string_view text) {
    static constexpr std::array<int, 7> kLetterPitches{9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (text.empty()) {
        return -1;
    }
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (letter < 'A' || letter > 'G') {
        return -1;
    }
    int pitch = kLetterPitches[static_cast<std::size_t>(letter - 'A')];
    std::size_t at = 1;
    if (at < text.size() && text[at] == '#') {
        ++pitch;
        ++at;
    } else if (at < text.size() && text[at] == 'b') {
        --pitch;
        ++at;
    } else if (at < text.size() && text[at] == ' ') {
        ++at;
    }
    int octave = 0;
    if (!tryInteger(text.substr(at), octave) || octave < 0 || octave > 8) {
        return -1;
    }
    const int index = octave * 12 + pitch;
    return index >= 0 && index <= kLastNoteIndex ? index : -1;
}

} // namespace

int parseInteger(std::string_view text, std::string_view option, int lowest, int highest) {
    int value = 0;
    if (!tryInteger(text, value) || value < lowest || value > highest) {
        throw UsageError(quoted(option, text) + ": use a whole number from " + std::to_string(lowest) +
                         " to " + std::to_string(highest));
    }
    return value;
}

double parseNumber(std::string_view text, std::string_view option, double lowest, double highest) {
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || !(value >= lowest && value <= highest)) {
        char range[64];
        std::snprintf(range, sizeof range, "%g to %g", lowest, highest);
        throw UsageError(quoted(option, text) + ": use a number from " + range);
    }
    return value;
}

float parseNormalised(std::string_view text, std::string_view option) {
    return static_cast<float>(parseNumber(text, option, 0.0, 1.0));
}

int findParameter(const std::vector<std::string>& reported, std::string_view name) {
    int found = -1;
    for (std::size_t index = 0; index < reported.size(); ++index) {
        if (sameName(name, reported[index])) {
            if (found >= 0) {
                return -1;
            }
            found = static_cast<int>(index);
        }
    }
    return found;
}

int parameterIndexOf(const std::vector<std::string>& reported, const ParameterRequest& request) {
    const int index = findParameter(reported, request.name);
    if (index < 0) {
        std::string list;
        for (const std::string& name : reported) {
            if (findParameter(reported, name) >= 0) {
                list += (list.empty() ? "" : ", ") + withoutOuterBlanks(name);
            }
        }
        throw UsageError(request.option + ": the plug-in has no parameter '" + request.name +
                         "'; its parameters are " + list);
    }
    return index;
}

float parseNote(std::string_view text, bool controllerMode) {
    int number = 0;
    if (controllerMode) {
        if (!tryInteger(text, number) || number < 0 || number > 127) {
            throw UsageError(quoted("--note", text) + ": with --cc, give the controller number 0..127");
        }
        return static_cast<float>(number) / 127.0f;
    }
    int index = -1;
    if (tryInteger(text, number)) {
        index = number >= kNoteOffset && number <= kNoteOffset + kLastNoteIndex ? number - kNoteOffset : -1;
    } else {
        index = noteIndexOfName(text);
    }
    if (index < 0) {
        throw UsageError(quoted("--note", text) +
                         ": use a note name C0..C8 such as C3 or F#2, or a MIDI note "
                         "number 24..120");
    }
    return static_cast<float>(index) / 127.0f;
}

int parseNoteNumber(std::string_view text) {
    return roundToInt(static_cast<double>(parseNote(text, false)) * 127.0) + kNoteOffset;
}

float parseChannel(std::string_view text) {
    return static_cast<float>(parseInteger(text, "--channel", 1, 16) - 1) / 15.0f;
}

float parseVelocity(std::string_view text) {
    return static_cast<float>(parseInteger(text, "--velocity", 0, 127)) / 127.0f;
}

float parseOutputMode(std::string_view text) {
    return parseThreeStep(text, "--output", editor::outModeNames, kOutputForms);
}

float parseFreqMode(std::string_view text) {
    return parseThreeStep(text, "--freq-mode", editor::freqModeNames, kFreqModeShortWords);
}

std::string noteName(int noteIndex) {
    return std::string(kPitchNames[static_cast<std::size_t>(noteIndex % 12)]) +
           std::to_string(noteIndex / 12);
}

int sentNoteNumber(float value) {
    return std::min(roundToInt(static_cast<double>(value) * 127.0) + kNoteOffset, kHighestSentNote);
}

std::string describeNote(float value, bool controllerMode) {
    const int index = roundToInt(static_cast<double>(value) * 127.0);
    if (controllerMode) {
        return "controller " + std::to_string(index & 0x7F);
    }
    const std::string name = index <= kLastNoteIndex ? noteName(index) : "above C8";
    return name + " (note " + std::to_string(sentNoteNumber(value)) + ")";
}

std::string describeChannel(float value) {
    return "channel " + std::to_string(roundToInt(static_cast<double>(value) * 15.0) + 1);
}

std::string describeVelocity(float value) {
    return "velocity " + std::to_string(roundToInt(static_cast<double>(value) * 127.0));
}

std::string describeOutputMode(float value) {
    return std::string(editor::outModeNames[static_cast<std::size_t>(zephyrion::threeStepOf(value))]);
}

std::string describeFreqMode(float value) {
    return std::string(editor::freqModeNames[static_cast<std::size_t>(zephyrion::threeStepOf(value))]);
}

std::string describeSwitch(float value) {
    return value > 0.5f ? "on" : "off";
}

} // namespace zcli

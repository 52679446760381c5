// The friendly command-line forms of Zephyrion's stepped parameters and the normalised values they stand
// for: the same steps, words and note names the editor uses, so a value round-trips with the plug-in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/zephyrion/command_line.h"

namespace zcli {

// Each parser throws UsageError naming the option and listing what is valid.

// A note name as the editor writes it ("C3", "C#3", "C 3"; flats such as "Db3" too), octaves 0..8 with
// C3 sent as MIDI note 60, or a MIDI note number 24..120. In controller mode the value is the controller
// number 0..127 instead.
float parseNote(std::string_view text, bool controllerMode);
// The same note as a MIDI note number 24..120.
int parseNoteNumber(std::string_view text);
float parseChannel(std::string_view text);    // 1..16
float parseVelocity(std::string_view text);   // 0..127
float parseOutputMode(std::string_view text); // mute, proc, orig (or the editor's Mute, Proc., Orig.)
float parseFreqMode(std::string_view text);   // linear, exponential, logarithmic (or lin, exp, log)
// A value as a host sends it: a number from 0 to 1.
float parseNormalised(std::string_view text, std::string_view option);

// The editor's name of a note index 0..96 (C3 is index 36), without the blank the editor puts in "C 3".
std::string noteName(int noteIndex);

// The MIDI note the plug-in sends for a Midi Note value (it sends at most note 100).
int sentNoteNumber(float value);

// Reads a normalised value back in the friendly form, e.g. "C3 (note 60)", "channel 16", "Proc.".
std::string describeNote(float value, bool controllerMode);
std::string describeChannel(float value);
std::string describeVelocity(float value);
std::string describeOutputMode(float value);
std::string describeFreqMode(float value);
std::string describeSwitch(float value);

// The index of `name` among the names a plug-in reports, index by index; -1 if none. A name reported more
// than once (Zephyrion's placeholders) counts as none, since setting one of them would mean nothing.
int findParameter(const std::vector<std::string>& reported, std::string_view name);
// The index of the parameter a request names; throws UsageError for a name not reported, listing those that
// are.
int parameterIndexOf(const std::vector<std::string>& reported, const ParameterRequest& request);

// The integer read from text, or throws UsageError naming the option and the valid range.
int parseInteger(std::string_view text, std::string_view option, int lowest, int highest);
double parseNumber(std::string_view text, std::string_view option, double lowest, double highest);

} // namespace zcli

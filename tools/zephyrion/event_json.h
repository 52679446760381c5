// The events as JSON Lines: one object per event, for scripts and for reading by eye.
#pragma once

#include "tools/zephyrion/midi_event.h"

#include <string>
#include <string_view>

namespace zcli {

// For example {"sample":4410,"time":0.100000,"type":"note-on","channel":1,"note":60,"velocity":127}.
// Channels count from 1; control changes carry "controller" and "value" instead of "note" and "velocity".
// With a band's name, "band" follows "time".
std::string eventJson(const MidiEvent& event, double sampleRate, std::string_view band = {});

// Any text as a JSON string, quoted and escaped, so any name the user typed stays valid JSON.
std::string jsonString(std::string_view text);

} // namespace zcli

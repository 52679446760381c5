// Loading the plug-in through the host library and setting it up from the command line's choices.
#pragma once

#include "host/Plugin.h"
#include "tools/zephyrion/command_line.h"
#include "tools/zephyrion/hit_placer.h"
#include "tools/zephyrion/plot.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace zcli {

// Loads and opens an instance told the sample rate and block size, not yet resumed. An empty path means
// the default. Throws RunError naming the library and the reason.
std::unique_ptr<vsthost::Plugin> loadPlugin(const std::string& path, float sampleRate, int blockSize);

// Selects the program (which also makes the plug-in recompute what depends on the sample rate), then sets
// each parameter by name, a value with a unit read at this rate. Throws UsageError for a name the plug-in
// does not report, listing those it does, or a value it cannot reach.
void configurePlugin(vsthost::Plugin& plugin, const PluginSettings& settings, double sampleRate);

// The whole file is known, so notes go on the hits, placed by the tool (hit_placer.h), unless the user
// asks for the plug-in's own timing or sets Lookahead himself, whose lookahead then places them. Turns the
// plug-in's Lookahead off where the tool places the notes, and says so. Plug-ins without the parameter are
// left alone. A band may hear only highs (zephyrion::hearsOnlyHighs).
Placement placeNotesOnHits(vsthost::Plugin& plugin, const PluginSettings& settings, bool rawTiming,
                           double sampleRate);

// Zephyrion's amplitude window and input gain as the plot shows them; absent for another plug-in.
std::optional<AmplitudeWindow> amplitudeWindowOf(vsthost::Plugin& plugin);
float inputGainOf(vsthost::Plugin& plugin);
// How long the level must stay out of the window before a note ends, from Falloff; its default without one.
std::int64_t holdFramesOf(vsthost::Plugin& plugin);
// The MIDI note Zephyrion sends; absent for another plug-in or when it sends control changes.
std::optional<int> sentNoteOf(vsthost::Plugin& plugin);

// True when the plug-in reports Zephyrion's names at Zephyrion's indices, so its table can explain values.
bool reportsZephyrionTable(vsthost::Plugin& plugin);

// What an instance of Zephyrion sends, to tell bands apart: "note 36 on channel 10", or "controller 7"
// (control changes always go on channel 1); empty for another plug-in.
std::string voiceOf(vsthost::Plugin& plugin);
// Zephyrion's band edges and window as one line at this rate; empty for another plug-in.
std::string readableBandOf(vsthost::Plugin& plugin, double sampleRate);

} // namespace zcli

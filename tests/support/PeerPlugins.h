// Plug-ins of other vendors, loaded as peers beside the ones built here.
#pragma once

#include <memory>

#include "host/Plugin.h"

namespace testsupport {

// Debian's lsp-plugins-vst trigger, a real VST 2 plug-in that turns hits into MIDI notes.
inline constexpr const char* kLspTrigger = "/usr/lib/vst/lsp-plugins/trigger-midi-stereo.so";

// The trigger, opened and resumed; null where the file is absent or not built for this machine.
std::unique_ptr<vsthost::Plugin> loadLspTrigger();

} // namespace testsupport

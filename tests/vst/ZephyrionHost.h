// Zephyrion as a host sees it: the built library, loaded through the host library.
#pragma once

#include <memory>

#include "host/Plugin.h"
#include "tests/support/PluginPath.h"
#include "tests/support/Signals.h"
#include "vst/DVstUtils.h"

namespace vsttest {

inline constexpr vst::VstInt32 kZephyrionId = vst::FourCharCode('Z', 'Q', 'M', 'V');
inline constexpr vst::VstInt32 kParameterCount = 20;
inline constexpr vst::VstInt32 kProgramCount = 4;

inline std::unique_ptr<vsthost::Plugin> loadZephyrion(vsthost::HostSettings settings = {}) {
    return vsthost::Plugin::load(testsupport::pluginPath(), settings);
}

// A loud stereo burst from sample `at`: the factory program turns it into one note.
inline std::vector<testsupport::Signal> hitAt(std::size_t length, std::size_t at) {
    return testsupport::stereo(testsupport::burst(length, at, 400, 1000.0, 44100.0, 0.9f));
}

inline unsigned char statusOf(const vsthost::MidiRecord& record) {
    return static_cast<unsigned char>(record.event.midiData[0]) & 0xF0;
}

} // namespace vsttest

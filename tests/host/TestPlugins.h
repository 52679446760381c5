// The host's own test plug-ins, built beside the test program.
#pragma once

#include <string>

#include "tests/support/PluginPath.h"
#include "vst/DVstUtils.h"

namespace hosttest {

// Exports VSTPluginMain ('HTvp') and main ('HTmn').
inline std::string bothEntries() {
    return testsupport::moduleBesideExecutable("host_test_both_entries");
}
inline std::string mainOnly() {
    return testsupport::moduleBesideExecutable("host_test_main_only");
}
inline std::string noEntry() {
    return testsupport::moduleBesideExecutable("host_test_no_entry");
}

inline constexpr vst::VstInt32 kModernId = vst::FourCharCode('H', 'T', 'v', 'p');
inline constexpr vst::VstInt32 kLegacyId = vst::FourCharCode('H', 'T', 'm', 'n');
// Parameter 1 of the test plug-in automates parameter 2; the input crossing this level sends a note-on.
inline constexpr vst::VstInt32 kMirrorParameter = 1;
inline constexpr vst::VstInt32 kEchoParameter = 2;
inline constexpr float kNoteThreshold = 0.5f;
inline constexpr vst::VstInt32 kParentQuery = vst::FourCharCode('p', 'r', 'n', 't');

} // namespace hosttest

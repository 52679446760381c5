// The MIDI side of the per-sample chain: velocity, the hold period and control changes, note-on and
// note-off. Each message goes to the host at once, stamped with the sample it arose on.
#include "plugin/uPlugin.h"
#include "vst/DVstUtils.h"

namespace zephyrion {

namespace {

constexpr std::uint8_t kNoteOff = 0x80;
constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kControlChange = 0xB0;
constexpr std::int32_t kLowestNote = 1;
constexpr std::int32_t kHighestNote = 100;
constexpr std::int32_t kNoteOffset = 24;

inline std::int32_t roundToInt(double value) {
    return static_cast<std::int32_t>(vst::roundHalfEven(value));
}

} // namespace

void APlugin::computeVelocity(float level) {
    const std::int32_t base = roundToInt(static_cast<double>(midiVelocity) * 127.0);
    if (!(veloSw > 0.5f)) {
        noteVelocity = base;
        return;
    }
    const float low = ampLo;
    const float high = ampHi;
    const double upper = static_cast<float>(1.0 - low);
    const double lower = static_cast<float>(1.0 - high);
    const double env = level;
    if (low <= high) {
        noteVelocity = roundToInt((env - lower + 1.0) / (upper - lower + 1.0) * (127 - base) + base);
    } else if (env <= upper) {
        noteVelocity = base;
    } else {
        noteVelocity = roundToInt((env - lower + 1.0) / (2.0 - lower) * (127 - base) + base);
    }
}

void APlugin::advanceHold(float level, VstInt32 frame) {
    if (inWindow) {
        holdCounter = static_cast<std::uint32_t>(5 * holdUnit);
        noteActive = true;
    }
    const std::uint32_t hold = holdCounter;
    if (hold > 0) {
        holdCounter = hold - 1;
        --ccCountdown;
        if (controllerMode() && ccCountdown <= 0) {
            const auto controller =
                static_cast<std::uint8_t>(roundToInt(static_cast<double>(midiNote) * 127.0) & 0x7F);
            const auto value =
                static_cast<std::uint8_t>(roundToInt(static_cast<double>(level) * 127.0) & 0x7F);
            sendMidi(kControlChange, controller, value, frame);
            ccCountdown = ccInterval;
        }
    } else {
        noteActive = false;
        ccCountdown = ccInterval;
    }
}

void APlugin::sendNoteEvents(VstInt32 frame) {
    const bool active = noteActive;
    const bool noteMode = !controllerMode();
    // A note that sounds when controller mode takes over would otherwise hang at the receiver.
    if (!noteMode && noteSounding) {
        sendMidi(static_cast<std::uint8_t>(kNoteOff | noteChannel),
                 static_cast<std::uint8_t>(noteNumber & 0x7F), 0, frame);
        noteSounding = false;
    }
    if (active == lastNoteActive) {
        return;
    }
    lastNoteActive = active;
    if (!noteMode) {
        return;
    }
    if (active) {
        noteNumber = roundToInt(static_cast<double>(midiNote) * 127.0) + kNoteOffset;
        if (noteNumber < kLowestNote) {
            noteNumber = kLowestNote;
        } else if (noteNumber > kHighestNote) {
            noteNumber = kHighestNote;
        }
        noteChannel = roundToInt(static_cast<double>(midiChannel) * 15.0);
        sendMidi(static_cast<std::uint8_t>(kNoteOn | noteChannel),
                 static_cast<std::uint8_t>(noteNumber & 0x7F), static_cast<std::uint8_t>(noteVelocity & 0xFF),
                 frame);
        noteSounding = true;
    } else if (noteSounding) {
        sendMidi(static_cast<std::uint8_t>(kNoteOff | noteChannel),
                 static_cast<std::uint8_t>(noteNumber & 0x7F), 0, frame);
        noteSounding = false;
    }
}

void APlugin::sendMidi(std::uint8_t status, std::uint8_t data1, std::uint8_t data2, VstInt32 frame) {
    midiEvent->midiData[0] = static_cast<char>(status);
    midiEvent->midiData[1] = static_cast<char>(data1);
    midiEvent->midiData[2] = static_cast<char>(data2);
    midiEvent->deltaFrames = frame;
    sendVstEventsToHost(midiEvents.get());
}

} // namespace zephyrion

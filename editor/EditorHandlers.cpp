// What every control of the editor does when the user touches it. Each change the user makes goes to the
// plug-in through setParameterAutomated, so the host hears of it as automation; values the window merely
// shows never go back.
#include <algorithm>

#include "editor/EditorLayout.h"
#include "editor/EditorWords.h"
#include "editor/uEditor.h"
#include "plugin/parameters.h"
#include "vst/DVstUtils.h"

namespace editor {
namespace {

using namespace zephyrion;

constexpr int kLastNoteName = 96;
constexpr int kLastController = 127;
constexpr double kLastNoteValue = 96.0 / 127.0;
constexpr float kLastStepValue = 0.2f;

bool leftButtonAlone(ui::ShiftState shift) {
    return shift == ui::ssLeft;
}

} // namespace

void TPluginEditorWindow::showStatus(std::string text) {
    statusText = std::move(text);
    d.setCaption(statusText);
}

void TPluginEditorWindow::automate(ParameterIndex index, float chosen) {
    values[static_cast<std::size_t>(index)] = chosen;
    if (plugin != nullptr) {
        plugin->setParameterAutomated(index, chosen);
    }
}

void TPluginEditorWindow::bgMouseMove() {
    showStatus("");
}
void TPluginEditorWindow::Image2MouseMove() {
    showStatus("About this plugin");
}
void TPluginEditorWindow::fmMouseMove() {
    showStatus("Change Output");
}
void TPluginEditorWindow::Image4MouseMove() {
    showStatus("Select Note/CC Output");
}
void TPluginEditorWindow::Image5MouseMove() {
    showStatus("Select Velocity Mode");
}

void TPluginEditorWindow::setqmodeMouseMove() {
    const auto mode = static_cast<std::size_t>(threeStepOf(value(kFreqMode)));
    showStatus("freq. mode: " + std::string(freqModeNames[mode]));
}

void TPluginEditorWindow::bvolMouseMove() {
    showStatus("Input Gain: " + percentText(200 - 2 * bvol.position()));
}
void TPluginEditorWindow::bthreshMouseMove() {
    showStatus("High Amplitude: " + percentText(100 - bthresh.position()));
}
void TPluginEditorWindow::GaugeBar2MouseMove() {
    showStatus("Low Amplitude: " + percentText(100 - GaugeBar2.position()));
}
void TPluginEditorWindow::bfalloffMouseMove() {
    showStatus("Length: " + percentText(100 - bfalloff.position()));
}
void TPluginEditorWindow::brelMouseMove() {
    showStatus("Release: " + percentText(100 - brel.position()));
}

namespace {

std::string frequencyText(EditorHost* plugin, int position) {
    const double rate = plugin != nullptr ? plugin->getSampleRate() : 0.0;
    return std::to_string(vst::roundHalfEven(rate * 0.005 * position)) + " Hz  ";
}

} // namespace

void TPluginEditorWindow::GaugeBar1MouseMove() {
    showStatus("Low Freq.: " + frequencyText(plugin, GaugeBar1.position()));
}
void TPluginEditorWindow::GaugeBar3MouseMove() {
    showStatus("High Freq.: " + frequencyText(plugin, GaugeBar3.position()));
}

void TPluginEditorWindow::sliderChanged(const TGaugeBar& bar, ParameterIndex index) {
    // A slider moved to show the plug-in's value has only rounded it for the eye.
    if (showingPluginValues_) {
        return;
    }
    automate(index, static_cast<float>(static_cast<double>(bar.position()) / bar.max()));
}

void TPluginEditorWindow::bvolChange() {
    sliderChanged(bvol, kVolume);
    bvolMouseMove();
}
void TPluginEditorWindow::bthreshChange() {
    sliderChanged(bthresh, kAmpLo);
    DrawDisplay();
    bthreshMouseMove();
}
void TPluginEditorWindow::GaugeBar2Change() {
    sliderChanged(GaugeBar2, kAmpHi);
    DrawDisplay();
    GaugeBar2MouseMove();
}
void TPluginEditorWindow::GaugeBar1Change() {
    sliderChanged(GaugeBar1, kFreqLo);
    DrawDisplay();
    GaugeBar1MouseMove();
}
void TPluginEditorWindow::GaugeBar3Change() {
    sliderChanged(GaugeBar3, kFreqHi);
    DrawDisplay();
    GaugeBar3MouseMove();
}
void TPluginEditorWindow::bfalloffChange() {
    sliderChanged(bfalloff, kFalloff);
    bfalloffMouseMove();
}
void TPluginEditorWindow::brelChange() {
    sliderChanged(brel, kRelease);
    brelMouseMove();
}

void TPluginEditorWindow::startDrag(ui::ShiftState shift, int y, float copy, int scale) {
    if (leftButtonAlone(shift)) {
        dragStartValue = static_cast<std::int32_t>(vst::roundHalfEven(static_cast<double>(scale) * copy));
        dragStartY = y;
    }
}

void TPluginEditorWindow::rootMouseDown(ui::ShiftState shift, int y) {
    startDrag(shift, y, value(kMidiNote), 127);
}
void TPluginEditorWindow::velMouseDown(ui::ShiftState shift, int y) {
    startDrag(shift, y, value(kMidiVelocity), 127);
}
void TPluginEditorWindow::chMouseDown(ui::ShiftState shift, int y) {
    startDrag(shift, y, value(kMidiChannel), 15);
}

std::string TPluginEditorWindow::noteLabelText(int n) const {
    return value(kNoteOrCC) > 0.5f ? std::to_string(n) : noteName(n);
}

std::optional<int> TPluginEditorWindow::draggedValue(ui::ShiftState shift, int y, int divisor,
                                                     int upper) const {
    if (!leftButtonAlone(shift)) {
        return std::nullopt;
    }
    // Moving up raises the value, counted from where the button went down; the division truncates toward
    // zero, so one pixel short of a step changes nothing.
    const std::int64_t steps = (static_cast<std::int64_t>(dragStartY) - y) / divisor;
    const std::int64_t n = std::clamp<std::int64_t>(dragStartValue + steps, 0, upper);
    return static_cast<int>(n);
}

void TPluginEditorWindow::rootMouseMove(ui::ShiftState shift, int y) {
    showStatus("Change Output Note");
    const int upper = value(kNoteOrCC) > 0.5f ? kLastController : kLastNoteName;
    if (const auto n = draggedValue(shift, y, 2, upper)) {
        root.setCaption(noteLabelText(*n));
        automate(kMidiNote, static_cast<float>(*n) / 127.0f);
    }
}
void TPluginEditorWindow::velMouseMove(ui::ShiftState shift, int y) {
    showStatus("Change Output Velocity");
    if (const auto n = draggedValue(shift, y, 2, 127)) {
        vel.setCaption(std::to_string(*n));
        automate(kMidiVelocity, static_cast<float>(*n) / 127.0f);
    }
}
void TPluginEditorWindow::chMouseMove(ui::ShiftState shift, int y) {
    showStatus("Change Output Channel");
    if (const auto n = draggedValue(shift, y, 4, 15)) {
        ch.setCaption(std::to_string(*n + 1));
        automate(kMidiChannel, static_cast<float>(*n) / 15.0f);
    }
}

void TPluginEditorWindow::cycleMode(ui::MouseButton button, ParameterIndex index, ui::TLabel& label,
                                    bool outputWords) {
    // A host value beyond the last step plays as the last step, so the click steps on from there. Summed in
    // double and only then stored as a float, so a step down from 0.1 may leave a tiny positive remainder
    // that still reads as the first word.
    double v = std::min(value(index), kLastStepValue);
    if (button == ui::mbLeft) {
        v += 0.1;
        if (v > 0.21) {
            v = 0.0;
        }
    } else if (button == ui::mbRight) {
        v -= 0.1;
        if (v < 0.0) {
            v = 0.2;
        }
    }
    const float stored = static_cast<float>(v);
    const auto& words = outputWords ? outModeNames : freqModeShortNames;
    label.setCaption(words[static_cast<std::size_t>(threeStepOf(stored))]);
    automate(index, stored);
}

void TPluginEditorWindow::fmMouseUp(ui::MouseButton button) {
    cycleMode(button, kOutMode, fm, true);
}
void TPluginEditorWindow::setqmodeMouseUp(ui::MouseButton button) {
    cycleMode(button, kFreqMode, setqmode, false);
}

void TPluginEditorWindow::Image4MouseUp() {
    const float mode = 1.0f - value(kNoteOrCC);
    automate(kNoteOrCC, mode);
    // Back in note mode, a controller number above the last note name is pulled down to it.
    if (mode < 0.5f && static_cast<double>(value(kMidiNote)) > kLastNoteValue) {
        automate(kMidiNote, static_cast<float>(kLastNoteValue));
    }
    UpdaterTimer();
}

void TPluginEditorWindow::Image5MouseUp() {
    const float mode = 1.0f - value(kVeloSw);
    automate(kVeloSw, mode);
    UpdaterTimer();
}

void TPluginEditorWindow::Image2Click() {
    about.setVisible(!about.visible());
}

void TPluginEditorWindow::Image1Click() {
    about.setVisible(false);
}

} // namespace editor

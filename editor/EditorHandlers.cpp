// What every control of the editor does when the user touches it, written once for each kind of control
// and bound to its parameter by the layout table. Each change the user makes goes to the plug-in through
// setParameterAutomated, so the host hears of it as automation; values the window merely shows never go back.
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
constexpr double kLastNoteValue = 96.0 / 127.0;
constexpr float kLastStepValue = 0.2f;

bool leftButtonAlone(ui::ShiftState shift) {
    return shift == ui::ssLeft;
}

std::string frequencyText(EditorHost* plugin, int position) {
    const double rate = plugin != nullptr ? plugin->getSampleRate() : 0.0;
    return std::to_string(vst::roundHalfEven(rate * 0.005 * position)) + " Hz  ";
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

void TPluginEditorWindow::hovered(std::string_view name) {
    showStatus(std::string(findControl(name)->status));
}

void TPluginEditorWindow::setqmodeMouseMove() {
    const auto mode = static_cast<std::size_t>(threeStepOf(value(kFreqMode)));
    showStatus("freq. mode: " + std::string(freqModeNames[mode]));
}

void TPluginEditorWindow::sliderHovered(std::string_view name) {
    const ControlSpec& spec = *findControl(name);
    const int position = static_cast<TGaugeBar*>(controlNamed(name))->position();
    std::string shown;
    switch (spec.binding.readout) {
    case Readout::DoublePercent: shown = percentText(200 - 2 * position); break;
    case Readout::Hertz: shown = frequencyText(plugin, position); break;
    default: shown = percentText(100 - position); break;
    }
    showStatus(std::string(spec.status) + shown);
}

void TPluginEditorWindow::sliderChanged(std::string_view name) {
    const ControlSpec& spec = *findControl(name);
    const TGaugeBar& bar = *static_cast<TGaugeBar*>(controlNamed(name));
    // A slider moved to show the plug-in's value has only rounded it for the eye.
    if (!showingPluginValues_) {
        automate(spec.binding.parameter, static_cast<float>(static_cast<double>(bar.position()) / bar.max()));
    }
    if (spec.drawsDisplay) {
        DrawDisplay();
    }
    sliderHovered(name);
}

std::string TPluginEditorWindow::captionFor(const ControlSpec& spec, float v) const {
    if (spec.binding.gesture == Gesture::ClickMode) {
        return std::string((*spec.binding.words)[static_cast<std::size_t>(threeStepOf(v))]);
    }
    const int n = static_cast<int>(vst::roundHalfEven(static_cast<double>(spec.binding.steps) * v));
    switch (spec.binding.readout) {
    case Readout::NoteName: return value(kNoteOrCC) > 0.5f ? std::to_string(n) : noteName(n);
    case Readout::NumberFromOne: return std::to_string(n + 1);
    default: return std::to_string(n);
    }
}

int TPluginEditorWindow::lastStep(const ControlSpec& spec) const {
    return spec.binding.readout == Readout::NoteName && value(kNoteOrCC) <= 0.5f ? kLastNoteName
                                                                                 : spec.binding.steps;
}

void TPluginEditorWindow::labelPressed(std::string_view name, ui::ShiftState shift, int y) {
    const ControlSpec& spec = *findControl(name);
    if (leftButtonAlone(shift)) {
        dragStartValue = static_cast<std::int32_t>(
            vst::roundHalfEven(static_cast<double>(spec.binding.steps) * value(spec.binding.parameter)));
        dragStartY = y;
    }
}

void TPluginEditorWindow::labelDragged(std::string_view name, ui::ShiftState shift, int y) {
    const ControlSpec& spec = *findControl(name);
    hovered(name);
    if (!leftButtonAlone(shift)) {
        return;
    }
    // Moving up raises the value, counted from where the button went down; the division truncates toward
    // zero, so one pixel short of a step changes nothing.
    const std::int64_t steps = (static_cast<std::int64_t>(dragStartY) - y) / spec.binding.pixelsPerStep;
    const auto n = static_cast<int>(std::clamp<std::int64_t>(dragStartValue + steps, 0, lastStep(spec)));
    const float chosen = static_cast<float>(n) / static_cast<float>(spec.binding.steps);
    static_cast<ui::TLabel*>(controlNamed(name))->setCaption(captionFor(spec, chosen));
    automate(spec.binding.parameter, chosen);
}

void TPluginEditorWindow::modeClicked(std::string_view name, ui::MouseButton button) {
    const ControlSpec& spec = *findControl(name);
    // A host value beyond the last step plays as the last step, so the click steps on from there. Summed in
    // double and only then stored as a float, so a step down from 0.1 may leave a tiny positive remainder
    // that still reads as the first word.
    double v = std::min(value(spec.binding.parameter), kLastStepValue);
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
    static_cast<ui::TLabel*>(controlNamed(name))->setCaption(captionFor(spec, stored));
    automate(spec.binding.parameter, stored);
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

// Keeping the window in line with the plug-in's values: the refresh, the display, the meter, and the steps
// every editor adapter takes when it shows the window and at the host's idle.
#include <cmath>

#include "editor/EditorLayout.h"
#include "editor/EditorWords.h"
#include "editor/uEditor.h"
#include "plugin/parameters.h"
#include "vst/DVstUtils.h"

namespace editor {
namespace {

using namespace zephyrion;

constexpr ui::Color kNoteFill = ui::rgb(255, 255, 0);
constexpr ui::Color kIdleFill = ui::rgb(51, 51, 0);
constexpr int kDisplaySize = 100;

int rounded(double value) {
    return static_cast<int>(vst::roundHalfEven(value));
}

void line(ui::Canvas& canvas, int x0, int y0, int x1, int y1) {
    canvas.moveTo(x0, y0);
    canvas.lineTo(x1, y1);
}

} // namespace

void TPluginEditorWindow::setCaptionIfChanged(ui::TLabel& label, const std::string& text) {
    if (label.caption() != text) {
        label.setCaption(text);
    }
}

void TPluginEditorWindow::takeParameters() {
    if (plugin == nullptr) {
        return;
    }
    for (const zephyrion::ParameterInfo& parameter : zephyrion::kParameters) {
        values[static_cast<std::size_t>(parameter.index)] = plugin->getParameter(parameter.index);
    }
}

void TPluginEditorWindow::UpdaterTimer() {
    // The refresh reads the plug-in itself: on some window systems its ticks arrive between the host's idles.
    takeParameters();
    for (const ControlSpec& spec : kControls) {
        if (spec.binding.gesture == Gesture::DragLabel || spec.binding.gesture == Gesture::ClickMode) {
            setCaptionIfChanged(*static_cast<ui::TLabel*>(controlNamed(spec.name)),
                                captionFor(spec, value(spec.binding.parameter)));
        }
    }
    Image6.setVisible(value(kNoteOrCC) > 0.5f);
    Image7.setVisible(value(kVeloSw) > 0.5f);

    // Moving a slider words its value in the status line, so the last one moved here has the last word:
    // this order, not the table's, decides what the status line says after a refresh.
    constexpr std::string_view kSliderOrder[] = {"bvol",      "bthresh",   "bfalloff", "brel",
                                                 "GaugeBar1", "GaugeBar2", "GaugeBar3"};
    showingPluginValues_ = true;
    for (std::string_view name : kSliderOrder) {
        auto& bar = *static_cast<TGaugeBar*>(controlNamed(name));
        bar.setPosition(
            rounded(static_cast<double>(bar.max()) * value(findControl(name)->binding.parameter)));
    }
    showingPluginValues_ = false;
}

void TPluginEditorWindow::DrawDisplay() {
    const int f1 = GaugeBar1.position();
    const int f3 = GaugeBar3.position();
    const int a1 = bthresh.position();
    const int a2 = GaugeBar2.position();

    ui::Canvas canvas = Image321.canvas();
    canvas.brush.color = Image321.color();
    canvas.fillRect({0, 0, kDisplaySize, kDisplaySize});
    canvas.pen.color = ui::clBlack;
    line(canvas, f1 - 1, 0, f1 - 1, kDisplaySize);
    line(canvas, f3, 0, f3, kDisplaySize);
    line(canvas, 0, a1 - 1, kDisplaySize, a1 - 1);
    line(canvas, 0, a2, kDisplaySize, a2);

    canvas.brush.color = noteActive ? kNoteFill : kIdleFill;
    canvas.brush.style = ui::BrushStyle::Solid;
    // Equal settings count as crossed: the window then lies outside the two lines.
    const bool frequencyInOrder = value(kFreqLo) < value(kFreqHi);
    const bool amplitudeInOrder = value(kAmpLo) < value(kAmpHi);
    if (frequencyInOrder && amplitudeInOrder) {
        canvas.rectangle(f1, a1, f3, a2);
    } else if (frequencyInOrder) {
        canvas.rectangle(f1, 0, f3, a2);
        canvas.rectangle(f1, a1, f3, kDisplaySize);
    } else if (amplitudeInOrder) {
        canvas.rectangle(0, a1, f3, a2);
        canvas.rectangle(f1, a1, kDisplaySize, a2);
    } else {
        canvas.rectangle(0, 0, f3, a2);
        canvas.rectangle(0, a1, f3, kDisplaySize);
        canvas.rectangle(f1, 0, kDisplaySize, a2);
        canvas.rectangle(f1, a1, kDisplaySize, kDisplaySize);
    }
    Image321.invalidate();
}

void TPluginEditorWindow::setMeter(float level, float peak) {
    Image325.setHeight(rounded((1.0 - std::fabs(static_cast<double>(level))) * kMeterHeight));
    peak1.setTop(rounded((1.0 - std::fabs(static_cast<double>(peak))) * kMeterHeight));
}

void TPluginEditorWindow::showTaken() {
    update();
    show();
    DrawDisplay();
    UpdaterTimer();
    update();
}

void TPluginEditorWindow::idle(bool valuesChanged) {
    // Before the events, so the timers they deliver already show the new values.
    if (valuesChanged) {
        takeParameters();
    }
    // The host's idle is where the window system's events and the window's timers are delivered.
    pumpEvents();
    if (plugin != nullptr) {
        setMeter(plugin->getMeterLevel(), plugin->getMeterPeak());
    }
    // The display shows the note state of the idle before; the next idle shows this one.
    if (formShown) {
        DrawDisplay();
    }
    noteActive = plugin != nullptr && plugin->isNoteActive();
    update();
}

} // namespace editor

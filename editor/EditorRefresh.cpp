// Keeping the window in line with its parameter copies: the refresh, the display and the meter.
#include <cmath>

#include "editor/EditorLayout.h"
#include "editor/EditorWords.h"
#include "editor/uEditor.h"
#include "vst/DVstUtils.h"

namespace editor {
namespace {

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

void TPluginEditorWindow::UpdaterTimer() {
    const int note = rounded(127.0 * loadCopy(midiNote));
    setCaptionIfChanged(root, noteLabelText(note));
    setCaptionIfChanged(ch, std::to_string(rounded(15.0 * loadCopy(midiChannel)) + 1));
    setCaptionIfChanged(vel, std::to_string(rounded(127.0 * loadCopy(midiVelocity))));
    setCaptionIfChanged(
        fm, std::string(outModeNames[static_cast<std::size_t>(threeStepIndex(loadCopy(outMode)))]));
    setCaptionIfChanged(
        setqmode,
        std::string(freqModeShortNames[static_cast<std::size_t>(threeStepIndex(loadCopy(freqMode)))]));
    Image6.setVisible(loadCopy(noteOrCC) > 0.5f);
    Image7.setVisible(loadCopy(veloSw) > 0.5f);

    // A slider that really moves reports its grid value back to the host through its change handler.
    const std::pair<TGaugeBar*, std::atomic<float>*> sliders[] = {
        {&bvol, &volume},      {&bthresh, &ampLo},   {&bfalloff, &falloff}, {&brel, &release},
        {&GaugeBar1, &freqLo}, {&GaugeBar2, &ampHi}, {&GaugeBar3, &freqHi},
    };
    for (auto [bar, copy] : sliders) {
        bar->setPosition(rounded(static_cast<double>(bar->max()) * loadCopy(*copy)));
    }
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

    canvas.brush.color = noteActive.load(std::memory_order_relaxed) ? kNoteFill : kIdleFill;
    canvas.brush.style = ui::BrushStyle::Solid;
    // Equal settings count as crossed: the window then lies outside the two lines.
    const bool frequencyInOrder = loadCopy(freqLo) < loadCopy(freqHi);
    const bool amplitudeInOrder = loadCopy(ampLo) < loadCopy(ampHi);
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

} // namespace editor

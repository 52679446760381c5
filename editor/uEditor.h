// The editor window: every control of the layout table under its name, the window's copies of the
// parameter values, and the handlers that turn the user's mouse actions into automated parameter changes and
// keep the controls in line with the copies.
//
// Threads: everything here, the copies included, runs on the window's thread (the host's user-interface
// thread). The window takes the values from the plug-in itself; no other thread ever reaches into it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/EditorHost.h"
#include "editor/EditorLayout.h"
#include "editor/TGaugeBar.h"
#include "plugin/parameters.h"
#include "ui/Form.h"
#include "ui/Image.h"
#include "ui/Image32.h"
#include "ui/Label.h"
#include "ui/Panel.h"
#include "ui/Timer.h"

namespace editor {

class TPluginEditorWindow : public ui::TForm {
public:
    // Builds every control as the layout table gives it, as a hidden child of the host's `parentWindow`,
    // then runs FormCreate.
    explicit TPluginEditorWindow(void* parentWindow);
    ~TPluginEditorWindow() override;

    // The control of that name in the layout table, or null.
    ui::TControl* controlNamed(std::string_view name) const;

    // Window operations the editor adapter calls, in its order (see the adapter).
    void FormCreate();
    void FormShow();
    // Takes the values from the plug-in, then sets labels, captions and slider positions from them. Showing
    // a value is no gesture of the user's: nothing here sets a parameter or reports one to the host.
    void UpdaterTimer();
    // Reads every parameter value from the plug-in into the copies.
    void takeParameters();
    // The amplitude and frequency window in Image321.
    void DrawDisplay();
    // Moves the level meter's cover and peak marker for linear levels 0..1.
    void setMeter(float level, float peak);
    // What every editor adapter does once the window exists and has taken the values: show it, whole.
    void showTaken();
    // What every editor adapter does at the host's idle: `valuesChanged` when the plug-in's values changed
    // since the window last took them. Then the window's events and timers, the meter, the display and the
    // note state.
    void idle(bool valuesChanged);

    // Controls, in creation order (which is also their stacking order within each kind).
    ui::TImage bg{*this};
    ui::TLabel d{*this};
    ui::TLabel fm{*this};
    ui::TLabel root{*this};
    ui::TLabel ch{*this};
    ui::TLabel vel{*this};
    ui::TImage Image2{*this};
    ui::TImage Image3{*this};
    ui::TImage Image4{*this};
    ui::TImage Image5{*this};
    ui::TImage Image6{*this};
    ui::TImage Image7{*this};
    ui::TLabel Label7{*this};
    ui::TLabel setqmode{*this};
    TGaugeBar bfalloff{*this, BarKind::Vertical};
    TGaugeBar bvol{*this, BarKind::Vertical};
    TGaugeBar bthresh{*this, BarKind::Vertical};
    TGaugeBar GaugeBar2{*this, BarKind::Vertical};
    TGaugeBar GaugeBar1{*this, BarKind::Horizontal};
    TGaugeBar GaugeBar3{*this, BarKind::Horizontal};
    ui::TImage32 Image321{*this};
    ui::TImage32 Image326{*this};
    ui::TImage32 Image325{Image326};
    ui::TImage32 peak1{Image326};
    TGaugeBar brel{*this, BarKind::Vertical};
    ui::TPanel about{*this};
    ui::TImage Image1{about};
    ui::TLabel Label3{about};
    ui::TLabel Label1{about};
    ui::TLabel Label2{about};
    ui::TLabel Label5{about};
    ui::TTimer Updater{*this};

    // Label drags: where the pointer went down and the value it started from.
    std::int32_t dragStartY = 0;
    std::int32_t dragStartValue = 0;
    std::string statusText;
    // Set by the editor adapter right after creation; not owned.
    EditorHost* plugin = nullptr;
    // The engine's note state as the adapter last copied it; colours the display.
    bool noteActive = false;
    // The parameter values as the plug-in last gave them or the user last set them, indexed by the
    // parameter table.
    std::array<float, zephyrion::kNumRealParams> values{};
    float value(zephyrion::ParameterIndex index) const { return values[static_cast<std::size_t>(index)]; }
    bool formShown = false;

    // The handlers, named by control and event; most pass their control's name on to its kind's behaviour.
    void bgMouseMove() { hovered("bg"); }
    void Image2MouseMove() { hovered("Image2"); }
    void Image2Click();
    void Image1Click();
    void fmMouseMove() { hovered("fm"); }
    void fmMouseUp(ui::MouseButton button) { modeClicked("fm", button); }
    void setqmodeMouseMove();
    void setqmodeMouseUp(ui::MouseButton button) { modeClicked("setqmode", button); }
    void rootMouseDown(ui::ShiftState shift, int y) { labelPressed("root", shift, y); }
    void rootMouseMove(ui::ShiftState shift, int y) { labelDragged("root", shift, y); }
    void chMouseDown(ui::ShiftState shift, int y) { labelPressed("ch", shift, y); }
    void chMouseMove(ui::ShiftState shift, int y) { labelDragged("ch", shift, y); }
    void velMouseDown(ui::ShiftState shift, int y) { labelPressed("vel", shift, y); }
    void velMouseMove(ui::ShiftState shift, int y) { labelDragged("vel", shift, y); }
    void Image4MouseMove() { hovered("Image4"); }
    void Image4MouseUp();
    void Image5MouseMove() { hovered("Image5"); }
    void Image5MouseUp();
    void bvolMouseMove() { sliderHovered("bvol"); }
    void bthreshMouseMove() { sliderHovered("bthresh"); }
    void GaugeBar2MouseMove() { sliderHovered("GaugeBar2"); }
    void bfalloffMouseMove() { sliderHovered("bfalloff"); }
    void brelMouseMove() { sliderHovered("brel"); }
    void GaugeBar1MouseMove() { sliderHovered("GaugeBar1"); }
    void GaugeBar3MouseMove() { sliderHovered("GaugeBar3"); }
    void bvolChange() { sliderChanged("bvol"); }
    void bthreshChange() { sliderChanged("bthresh"); }
    void GaugeBar2Change() { sliderChanged("GaugeBar2"); }
    void GaugeBar1Change() { sliderChanged("GaugeBar1"); }
    void GaugeBar3Change() { sliderChanged("GaugeBar3"); }
    void bfalloffChange() { sliderChanged("bfalloff"); }
    void brelChange() { sliderChanged("brel"); }

private:
    void applyLayout();
    void connectHandlers();
    void showStatus(std::string text);
    // A value the user chose: kept in the copy and sent to the plug-in as automation.
    void automate(zephyrion::ParameterIndex index, float chosen);

    // The behaviour of each kind of control, for the control of that name in the layout table.
    void hovered(std::string_view name);
    void sliderHovered(std::string_view name);
    void sliderChanged(std::string_view name);
    void labelPressed(std::string_view name, ui::ShiftState shift, int y);
    void labelDragged(std::string_view name, ui::ShiftState shift, int y);
    void modeClicked(std::string_view name, ui::MouseButton button);
    // What a value label or word label shows for `value` of its parameter.
    std::string captionFor(const ControlSpec& spec, float value) const;
    // A value label's last step: in note mode the note label stops at the last note name.
    int lastStep(const ControlSpec& spec) const;
    void setCaptionIfChanged(ui::TLabel& label, const std::string& text);

    // Set while the refresh moves the sliders to the plug-in's values, so their change handlers know the
    // move is no gesture of the user's.
    bool showingPluginValues_ = false;

    std::vector<std::pair<std::string_view, ui::TControl*>> controls_;
};

} // namespace editor

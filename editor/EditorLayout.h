// The editor window's fixed layout in one table: every control's name, kind, place, look, cursor and first
// content, in creation order. The window is built by walking this table; handlers are attached by name.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "editor/EditorWords.h"
#include "editor/GaugeBarModel.h"
#include "plugin/parameters.h"
#include "ui/Color.h"
#include "ui/Font.h"

namespace editor {

enum class ControlKind {
    Picture, // a picture, or no picture at all: a transparent click area
    Label,   // text with a transparent background
    GaugeBar,
    Image32, // a 32-bit pixel map
    Panel,   // the about panel
};

enum class Asset {
    None,
    Background,
    ControllerCaption,
    VelocityModeCaption,
    MeterGradient,
    MeterCover,
    About
};

enum class PointerShape { Normal, Hand, UpDown };

enum class TextAlign { Left, Centre };

// What the user's touch does to a control's parameter.
enum class Gesture {
    None,
    Slide,     // a gauge bar: its position over its maximum
    DragLabel, // a value label: dragged up or down in whole steps
    ClickMode, // a word label: the buttons step through the three steps
};

// How a control words its value: sliders in the status line, labels in their caption.
enum class Readout {
    None,
    Percent,       // 100 - position
    DoublePercent, // 200 - 2 x position: the input gain reaches 200 %
    Hertz,         // the position's share of the sample rate
    NoteName,      // the note's name, or the controller's number in controller mode
    Number,
    NumberFromOne, // channels count from 1
};

using StepWords = std::array<std::string_view, 3>;

// The parameter a control sets when the user touches it, and how.
struct Binding {
    Gesture gesture = Gesture::None;
    zephyrion::ParameterIndex parameter = zephyrion::kVolume;
    Readout readout = Readout::None;
    int steps = 0;                    // value labels: the value's steps, from 0
    int pixelsPerStep = 0;            // value labels: how far the pointer moves for one step
    const StepWords* words = nullptr; // word labels: one word a step
};

struct Box {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(Box, Box) = default;
};

// One row of the table. The helpers below fill the fields that matter for each kind of control; the
// chained setters add what differs from a kind's usual look.
struct ControlSpec {
    std::string_view name;
    ControlKind kind = ControlKind::Picture;
    std::string_view parent; // empty for the window itself
    Box box;
    PointerShape cursor = PointerShape::Normal;
    bool visible = true;
    Asset asset = Asset::None;
    // Labels: the first text (lines split at '\n'), font and alignment; auto-sized labels keep their left
    // edge and take the width and height of their text.
    std::string_view text;
    ui::Font font;
    TextAlign align = TextAlign::Left;
    bool autoSize = false;
    // Gauge bars.
    BarKind barKind = BarKind::Vertical;
    ui::Color handleColour = ui::clBlack;
    int position = 0;
    // 32-bit images without a picture are filled with this when repainted.
    ui::Color background = ui::clBlack;
    // What the status line says while the pointer is over the control; for sliders the words before the
    // value.
    std::string_view status;
    Binding binding;
    bool drawsDisplay = false; // the control's parameter bounds the display's window

    template <class Field>
    constexpr ControlSpec with(Field ControlSpec::*field, std::type_identity_t<Field> value) const {
        ControlSpec copy = *this;
        copy.*field = value;
        return copy;
    }
    constexpr ControlSpec in(std::string_view parentName) const {
        return with(&ControlSpec::parent, parentName);
    }
    constexpr ControlSpec pointer(PointerShape shape) const { return with(&ControlSpec::cursor, shape); }
    constexpr ControlSpec hidden() const { return with(&ControlSpec::visible, false); }
    constexpr ControlSpec says(std::string_view line) const { return with(&ControlSpec::status, line); }
    constexpr ControlSpec bindsDisplay() const { return with(&ControlSpec::drawsDisplay, true); }
    constexpr ControlSpec slides(zephyrion::ParameterIndex index, std::string_view line,
                                 Readout shown) const {
        return says(line).with(&ControlSpec::binding, {Gesture::Slide, index, shown});
    }
    constexpr ControlSpec drags(zephyrion::ParameterIndex index, std::string_view line, Readout shown,
                                int steps, int pixelsPerStep) const {
        return says(line).with(&ControlSpec::binding,
                               {Gesture::DragLabel, index, shown, steps, pixelsPerStep});
    }
    constexpr ControlSpec clicks(zephyrion::ParameterIndex index, const StepWords& words) const {
        return with(&ControlSpec::binding, {Gesture::ClickMode, index, Readout::None, 0, 0, &words});
    }
    constexpr ControlSpec fixedSize(TextAlign alignment) const {
        return with(&ControlSpec::autoSize, false).with(&ControlSpec::align, alignment);
    }
};

constexpr int kWindowWidth = 313;
constexpr int kWindowHeight = 226;
constexpr ui::Color kWindowColour = ui::clWhite;

// Every gauge bar of the editor: 0..100 in steps of 1, a 12-pixel handle on a solid grey track.
constexpr int kBarMin = 0;
constexpr int kBarMax = 100;
constexpr int kBarSmallChange = 1;
constexpr int kBarLargeChange = 1;
constexpr int kBarThickness = 12;
constexpr int kBarLength = 100;
constexpr ui::Color kBarTrackColour = ui::rgb(69, 69, 69);

// The labels' fonts, designed in Arial (Label7 in MS Sans Serif); the toolkit draws every face with its one
// embedded family. The value labels' font first.
constexpr ui::Font kValueFont{11, true, ui::rgb(192, 192, 192)};
constexpr ui::Font kLabel7Font{11, false, ui::rgb(64, 128, 128)};
constexpr ui::Font kAboutTitleFont{12, true, ui::rgb(255, 0, 255)};
constexpr ui::Font kAboutAddressFont{11, true, ui::rgb(215, 215, 0)};

constexpr ui::Color kYellowHandle = ui::rgb(200, 200, 0);
constexpr ui::Color kMagentaHandle = ui::rgb(215, 0, 215);
constexpr ui::Color kDisplayBackground = ui::rgb(46, 25, 70);

// The about panel is designed 10 pixels lower than it is shown; the creation handler lifts it.
constexpr int kAboutShownTop = 40;

constexpr std::string_view kContactAddress = "bugs@example.org";
constexpr std::string_view kWebAddress = "zephyrion.example.org";

// The meter's height in pixels, which its level and peak are scaled to.
constexpr int kMeterHeight = 96;

constexpr ControlSpec picture(std::string_view name, Box box, Asset asset) {
    ControlSpec spec;
    spec.name = name;
    spec.box = box;
    spec.asset = asset;
    return spec;
}

constexpr ControlSpec clickArea(std::string_view name, Box box) {
    return picture(name, box, Asset::None).pointer(PointerShape::Hand);
}

// A value label: F1, growing with its text from the designed size.
constexpr ControlSpec label(std::string_view name, Box box, std::string_view text,
                            ui::Font font = kValueFont) {
    ControlSpec spec;
    spec.name = name;
    spec.kind = ControlKind::Label;
    spec.box = box;
    spec.text = text;
    spec.font = font;
    spec.autoSize = true;
    return spec;
}

constexpr ControlSpec gaugeBar(std::string_view name, BarKind kind, int left, int top, ui::Color handle,
                               int position) {
    const bool vertical = kind == BarKind::Vertical;
    ControlSpec spec;
    spec.name = name;
    spec.kind = ControlKind::GaugeBar;
    spec.box = {left, top, vertical ? kBarThickness : kBarLength, vertical ? kBarLength : kBarThickness};
    spec.cursor = PointerShape::Hand;
    spec.barKind = kind;
    spec.handleColour = handle;
    spec.position = position;
    return spec;
}

constexpr ControlSpec image32(std::string_view name, Box box, Asset asset,
                              ui::Color background = ui::clBlack) {
    ControlSpec spec = picture(name, box, asset);
    spec.kind = ControlKind::Image32;
    spec.background = background;
    return spec;
}

constexpr ControlSpec panel(std::string_view name, Box box) {
    ControlSpec spec = picture(name, box, Asset::None);
    spec.kind = ControlKind::Panel;
    return spec;
}

constexpr auto kControls = std::to_array<ControlSpec>({
    picture("bg", {0, 0, kWindowWidth, kWindowHeight}, Asset::Background),
    label("d", {12, 203, 27, 14}, "100%"),
    label("fm", {256, 175, 7, 14}, "X")
        .pointer(PointerShape::Hand)
        .says("Change Output")
        .clicks(zephyrion::kOutMode, outModeNames),
    label("root", {257, 87, 20, 14}, "C#3")
        .pointer(PointerShape::UpDown)
        .drags(zephyrion::kMidiNote, "Change Output Note", Readout::NoteName, 127, 2),
    label("ch", {257, 50, 12, 14}, "16")
        .pointer(PointerShape::UpDown)
        .drags(zephyrion::kMidiChannel, "Change Output Channel", Readout::NumberFromOne, 15, 4),
    label("vel", {257, 123, 18, 14}, "127")
        .pointer(PointerShape::UpDown)
        .drags(zephyrion::kMidiVelocity, "Change Output Velocity", Readout::Number, 127, 2),
    clickArea("Image2", {0, 0, 313, 25}).says("About this plugin"),
    clickArea("Image3", {160, 200, 119, 25}),
    clickArea("Image4", {290, 86, 17, 17}).says("Select Note/CC Output"),
    clickArea("Image5", {290, 122, 17, 17}).says("Select Velocity Mode"),
    picture("Image6", {247, 72, 42, 13}, Asset::ControllerCaption).hidden(),
    picture("Image7", {249, 108, 46, 13}, Asset::VelocityModeCaption).hidden(),
    label("Label7", {160, 32, 32, 13}, "Label7", kLabel7Font).fixedSize(TextAlign::Left),
    label("setqmode", {57, 38, 13, 14}, "lin")
        .pointer(PointerShape::Hand)
        .clicks(zephyrion::kFreqMode, freqModeShortNames),
    gaugeBar("bfalloff", BarKind::Vertical, 48, 64, kYellowHandle, 0)
        .slides(zephyrion::kFalloff, "Length: ", Readout::Percent),
    gaugeBar("bvol", BarKind::Vertical, 8, 64, kYellowHandle, 0)
        .slides(zephyrion::kVolume, "Input Gain: ", Readout::DoublePercent),
    // Amp.Lo sets the window's upper bound and Amp.Hi its lower one: the names hosts know stay.
    gaugeBar("bthresh", BarKind::Vertical, 218, 64, kMagentaHandle, 100)
        .slides(zephyrion::kAmpLo, "High Amplitude: ", Readout::Percent)
        .bindsDisplay(),
    gaugeBar("GaugeBar2", BarKind::Vertical, 94, 64, kMagentaHandle, 0)
        .slides(zephyrion::kAmpHi, "Low Amplitude: ", Readout::Percent)
        .bindsDisplay(),
    gaugeBar("GaugeBar1", BarKind::Horizontal, 112, 46, kMagentaHandle, 10)
        .slides(zephyrion::kFreqLo, "Low Freq.: ", Readout::Hertz)
        .bindsDisplay(),
    gaugeBar("GaugeBar3", BarKind::Horizontal, 112, 170, kMagentaHandle, 100)
        .slides(zephyrion::kFreqHi, "High Freq.: ", Readout::Hertz)
        .bindsDisplay(),
    image32("Image321", {114, 64, 100, 100}, Asset::None, kDisplayBackground),
    image32("Image326", {23, 66, 9, kMeterHeight}, Asset::MeterGradient),
    image32("Image325", {0, 0, 9, kMeterHeight}, Asset::MeterCover).in("Image326"),
    image32("peak1", {0, 32, 9, 2}, Asset::MeterGradient).in("Image326"),
    gaugeBar("brel", BarKind::Vertical, 68, 64, kYellowHandle, 0)
        .slides(zephyrion::kRelease, "Release: ", Readout::Percent),
    panel("about", {20, 50, 276, 146}).hidden(),
    picture("Image1", {0, 0, 276, 146}, Asset::About).in("about").pointer(PointerShape::Hand),
    label("Label3", {73, 7, 133, 15}, "Zephyrion - version 2.0", kAboutTitleFont)
        .in("about")
        .fixedSize(TextAlign::Centre),
    label("Label1", {9, 26, 254, 42},
          "A little plugin/utility to convert audio peaks \n"
          "that fall into a certain amplitude and frequency\n"
          "range into midi notes of a certain length")
        .in("about")
        .fixedSize(TextAlign::Centre),
    label("Label2", {33, 73, 202, 28}, "Please report bugs and suggestions\nto bugs@example.org")
        .in("about")
        .fixedSize(TextAlign::Centre),
    label("Label5", {89, 87, 104, 14}, kContactAddress, kAboutAddressFont)
        .in("about")
        .fixedSize(TextAlign::Centre),
});

// The control of that name, or null.
constexpr const ControlSpec* findControl(std::string_view name) {
    for (const ControlSpec& spec : kControls) {
        if (spec.name == name) {
            return &spec;
        }
    }
    return nullptr;
}

static_assert(findControl("Label2")->text.ends_with(kContactAddress),
              "the yellow address overprints Label2's");

// The refresh timer keeps its default period.
constexpr int kUpdaterIntervalMs = 1000;

} // namespace editor

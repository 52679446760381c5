#include <string>
#include <tuple>

#include "tests/editor/PluginEditorFixture.h"

namespace editortest {
namespace {

using Controls = PluginEditorTest;
using ui::platform::LeftButton;
using ui::platform::MouseButton;
using ui::platform::ShiftKey;

constexpr ui::Color kOlive = ui::rgb(51, 51, 0);
constexpr ui::Color kGround = ui::rgb(46, 25, 70);
constexpr ui::Color kBlack = ui::rgb(0, 0, 0);

TEST_F(Controls, OpeningMovesSixSlidersToTheHostsValuesAndReportsNothing) {
    ASSERT_EQ(dispatch(vst::effEditOpen, 0, 0, &parent), 1);
    EXPECT_TRUE(automations().empty());
    const std::pair<editor::TGaugeBar*, int> moved[] = {{&window().bvol, 50},     {&window().bthresh, 0},
                                                        {&window().bfalloff, 80}, {&window().brel, 50},
                                                        {&window().GaugeBar1, 0}, {&window().GaugeBar2, 40}};
    for (auto [bar, position] : moved) {
        EXPECT_EQ(bar->position(), position);
    }
    EXPECT_EQ(window().d.caption(), "Low Amplitude: 060%");
    EXPECT_EQ(window().root.caption(), "C 3");
    EXPECT_EQ(window().ch.caption(), "1");
    EXPECT_EQ(window().vel.caption(), "127");
    EXPECT_EQ(window().fm.caption(), "Proc.");
    EXPECT_EQ(window().setqmode.caption(), "lin");
}

// The window shows a host's value between the sliders' hundredths as the nearest hundredth, and leaves the
// value itself alone: only the user's own gestures set parameters.
TEST_F(Controls, OffGridHostValuesAreShownButNeverRewrittenOrReported) {
    const std::pair<zephyrion::ParameterIndex, editor::TGaugeBar editor::TPluginEditorWindow::*> sliders[] = {
        {zephyrion::kVolume, &editor::TPluginEditorWindow::bvol},
        {zephyrion::kAmpLo, &editor::TPluginEditorWindow::bthresh},
        {zephyrion::kAmpHi, &editor::TPluginEditorWindow::GaugeBar2},
        {zephyrion::kFreqLo, &editor::TPluginEditorWindow::GaugeBar1},
        {zephyrion::kFreqHi, &editor::TPluginEditorWindow::GaugeBar3},
        {zephyrion::kFalloff, &editor::TPluginEditorWindow::bfalloff},
        {zephyrion::kRelease, &editor::TPluginEditorWindow::brel},
    };
    auto hostSetsAll = [&](float value) {
        for (auto [index, bar] : sliders) {
            effect->setParameter(effect, index, value);
        }
    };
    auto expectShownAndKept = [&](float value, int position) {
        for (auto [index, bar] : sliders) {
            EXPECT_EQ(plugin().getParameter(index), value) << index;
            EXPECT_EQ((window().*bar).position(), position) << index;
        }
        EXPECT_TRUE(automations().empty());
    };
    constexpr float kOffGrid = 0.123457f;
    hostSetsAll(kOffGrid);
    ASSERT_EQ(dispatch(vst::effEditOpen, 0, 0, &parent), 1);
    dispatch(vst::effEditIdle);
    tickRefresh();
    expectShownAndKept(kOffGrid, 12);
    hostSetsAll(1.0f - kOffGrid);
    dispatch(vst::effEditIdle);
    tickRefresh();
    dispatch(vst::effEditIdle);
    expectShownAndKept(1.0f - kOffGrid, 88);

    // bvol sits at 88: its handle covers rows 77..88 of the bar, window rows 141..152. Dragged up by 16
    // rows, it lands on the grid at 70 and reports that.
    screen().press(14, 145);
    screen().moveTo(14, 145 - 16, LeftButton);
    screen().release(14, 129);
    EXPECT_EQ(automations(), (std::vector<Automation>{{0, 0.7f}}));
    EXPECT_EQ(plugin().getParameter(0), 0.7f);
}

TEST_F(Controls, DisplayDrawsTheWindowInAllFourCases) {
    openEditor();
    const ui::PixelMap& display = window().Image321.bitmap();
    // Default: one band over the top 40 rows, outlined, with the upper amplitude line under it.
    EXPECT_EQ(display.pixel(50, 20), kOlive);
    EXPECT_EQ(display.pixel(0, 20), kBlack);
    EXPECT_EQ(display.pixel(50, 39), kBlack);
    EXPECT_EQ(display.pixel(50, 40), kBlack);
    EXPECT_EQ(display.pixel(50, 41), kGround);

    auto redraw = [&](float freqLo, float freqHi, float ampLo, float ampHi) {
        effect->setParameter(effect, 3, freqLo);
        effect->setParameter(effect, 4, freqHi);
        effect->setParameter(effect, 1, ampLo);
        effect->setParameter(effect, 2, ampHi);
        tickRefresh();
        dispatch(vst::effEditIdle);
    };
    redraw(0.0f, 1.0f, 0.5f, 0.3f); // amplitude crossed: bands above 30 and below 50
    EXPECT_EQ(display.pixel(50, 10), kOlive);
    EXPECT_EQ(display.pixel(50, 40), kGround);
    EXPECT_EQ(display.pixel(50, 70), kOlive);
    redraw(0.6f, 0.2f, 0.0f, 0.4f); // frequency crossed: bands left of 20 and right of 60
    EXPECT_EQ(display.pixel(10, 20), kOlive);
    EXPECT_EQ(display.pixel(40, 20), kGround);
    EXPECT_EQ(display.pixel(80, 20), kOlive);
    EXPECT_EQ(display.pixel(10, 60), kGround);
    EXPECT_EQ(display.pixel(20, 60), kBlack); // the line at Freq.Hi runs the full height
    redraw(0.6f, 0.2f, 0.5f, 0.3f);           // both crossed: the four corners
    for (auto [x, y] : {std::pair{10, 10}, {10, 70}, {80, 10}, {80, 70}}) {
        EXPECT_EQ(display.pixel(x, y), kOlive) << x << "," << y;
    }
    EXPECT_EQ(display.pixel(40, 40), kGround);
    redraw(0.0f, 1.0f, 0.4f, 0.4f); // equal amplitudes count as crossed and fill the whole height
    EXPECT_EQ(display.pixel(50, 20), kOlive);
    EXPECT_EQ(display.pixel(50, 80), kOlive);
}

TEST_F(Controls, NoteLabelDragCountsTwoPixelsPerStepAndStopsAtTheEnds) {
    openEditor();
    auto& s = screen();
    s.press(262, 93);
    s.moveTo(262, 92, LeftButton);
    EXPECT_EQ(window().root.caption(), "C 3");
    ASSERT_EQ(automations().size(), 1u) << "every move during a drag reports, changed or not";
    EXPECT_FLOAT_EQ(automations()[0].value, 36.0f / 127.0f);
    s.moveTo(262, 91, LeftButton);
    EXPECT_EQ(window().root.caption(), "C#3");
    EXPECT_FLOAT_EQ(automations().back().value, 37.0f / 127.0f);
    s.moveTo(262, 293, LeftButton);
    EXPECT_EQ(window().root.caption(), "C 0");
    EXPECT_EQ(automations().back(), (Automation{5, 0.0f}));
    s.moveTo(262, -500, LeftButton);
    EXPECT_EQ(window().root.caption(), "C 8");
    EXPECT_FLOAT_EQ(automations().back().value, 96.0f / 127.0f);
    s.release(262, -500);
    EXPECT_EQ(window().d.caption(), "Change Output Note");
}

TEST_F(Controls, ShiftDragsAndRightPressesChangeNothingButTheStatus) {
    openEditor();
    auto& s = screen();
    s.press(262, 93, MouseButton::Left, ShiftKey);
    s.moveTo(262, 40, LeftButton | ShiftKey);
    s.release(262, 40, MouseButton::Left, ShiftKey);
    EXPECT_EQ(window().root.caption(), "C 3");
    EXPECT_EQ(window().d.caption(), "Change Output Note");
    s.press(262, 128, MouseButton::Right);
    s.moveTo(262, 20, ui::platform::RightButton);
    s.release(262, 20, MouseButton::Right);
    EXPECT_EQ(window().vel.caption(), "127");
    EXPECT_TRUE(automations().empty());
}

TEST_F(Controls, ChannelAndVelocityLabelsStepInTheirOwnUnits) {
    openEditor();
    auto& s = screen();
    s.press(260, 55);
    s.moveTo(260, 52, LeftButton);
    EXPECT_EQ(window().ch.caption(), "1");
    s.moveTo(260, 51, LeftButton);
    EXPECT_EQ(window().ch.caption(), "2");
    EXPECT_EQ(automations().back(), (Automation{7, 1.0f / 15.0f}));
    s.moveTo(260, -400, LeftButton);
    EXPECT_EQ(window().ch.caption(), "16");
    EXPECT_EQ(automations().back(), (Automation{7, 1.0f}));
    s.release(260, -400);
    s.press(262, 128);
    s.moveTo(262, 138, LeftButton);
    EXPECT_EQ(window().vel.caption(), "122");
    EXPECT_EQ(automations().back(), (Automation{8, 122.0f / 127.0f}));
    s.release(262, 138);
}

TEST_F(Controls, ModeLabelsCycleByButtonAndNameTheStepTheEnginePlays) {
    openEditor();
    auto& s = screen();
    auto click = [&](int x, int y, MouseButton button) {
        s.press(x, y, button);
        s.release(x, y, button);
    };
    click(258, 180, MouseButton::Left);
    EXPECT_EQ(window().fm.caption(), "Orig.");
    click(258, 180, MouseButton::Left);
    EXPECT_EQ(window().fm.caption(), "Mute");
    EXPECT_EQ(automations().back(), (Automation{9, 0.0f}));
    click(258, 180, MouseButton::Right);
    EXPECT_EQ(window().fm.caption(), "Orig.");
    EXPECT_EQ(automations().back(), (Automation{9, 0.2f}));
    click(258, 180, MouseButton::Middle);
    EXPECT_EQ(automations().back(), (Automation{9, 0.2f}));
    click(60, 43, MouseButton::Right);
    EXPECT_EQ(window().setqmode.caption(), "log");
    EXPECT_EQ(automations().back(), (Automation{13, 0.2f}));

    effect->setParameter(effect, 9, 0.5f);
    tickRefresh();
    EXPECT_EQ(window().fm.caption(), "Orig.");
    effect->setParameter(effect, 9, 0.3f);
    tickRefresh();
    EXPECT_EQ(window().fm.caption(), "Orig.");
}

// Values from 0.25 up play the last step, so the words say so and a click steps on from it: the left button
// to the first step, the right one to the middle step.
TEST_F(Controls, ModeValuesBeyondTheLastStepShowAndStepOnAsTheLastStep) {
    openEditor();
    auto& s = screen();
    struct Label {
        zephyrion::ParameterIndex index;
        int x, y;
        ui::TLabel editor::TPluginEditorWindow::*label;
        std::string last, first, middle;
    };
    const Label labels[] = {
        {zephyrion::kOutMode, 258, 180, &editor::TPluginEditorWindow::fm, "Orig.", "Mute", "Proc."},
        {zephyrion::kFreqMode, 60, 43, &editor::TPluginEditorWindow::setqmode, "log", "lin", "exp"},
    };
    for (const Label& mode : labels) {
        for (float beyond : {0.25f, 0.3f, 0.64f, 1.0f}) {
            SCOPED_TRACE(testing::Message() << mode.index << " at " << beyond);
            for (auto [button, word, value] : {std::tuple{MouseButton::Left, mode.first, 0.0f},
                                               std::tuple{MouseButton::Right, mode.middle, 0.1f}}) {
                effect->setParameter(effect, mode.index, beyond);
                tickRefresh();
                EXPECT_EQ((window().*mode.label).caption(), mode.last);
                s.press(mode.x, mode.y, button);
                s.release(mode.x, mode.y, button);
                EXPECT_EQ((window().*mode.label).caption(), word);
                EXPECT_EQ(automations().back(), (Automation{mode.index, value}));
            }
        }
    }
    effect->setParameter(effect, 13, 0.7f);
    tickRefresh();
    s.moveTo(60, 43);
    EXPECT_EQ(window().d.caption(), "freq. mode: logarithmic");
}

TEST_F(Controls, LeavingControllerModePullsTheNoteDownToTheLastName) {
    openEditor();
    auto& s = screen();
    s.press(297, 93);
    s.release(297, 93);
    EXPECT_EQ(automations().back(), (Automation{10, 1.0f}));
    EXPECT_TRUE(window().Image6.visible());
    EXPECT_EQ(window().root.caption(), "36");
    s.press(262, 93);
    s.moveTo(262, -500, LeftButton);
    s.release(262, -500);
    EXPECT_EQ(window().root.caption(), "127");
    automations().clear();
    s.press(297, 93);
    s.release(297, 93);
    const std::vector<Automation> expected{{10, 0.0f}, {5, 96.0f / 127.0f}};
    EXPECT_EQ(automations(), expected);
    EXPECT_EQ(window().root.caption(), "C 8");
    EXPECT_FALSE(window().Image6.visible());

    s.press(297, 129);
    s.release(297, 129);
    EXPECT_TRUE(window().Image7.visible());
    EXPECT_EQ(automations().back(), (Automation{11, 1.0f}));
}

TEST_F(Controls, StatusLineNamesWhatThePointerIsOver) {
    openEditor();
    auto& s = screen();
    const std::vector<std::pair<std::pair<int, int>, std::string>> places{
        {{150, 10}, "About this plugin"},
        {{258, 180}, "Change Output"},
        {{262, 93}, "Change Output Note"},
        {{297, 93}, "Select Note/CC Output"},
        {{297, 129}, "Select Velocity Mode"},
        {{60, 43}, "freq. mode: linear"},
        {{14, 120}, "Input Gain: 100%"},
        {{54, 120}, "Length: 020%"},
        {{224, 120}, "High Amplitude: 100%"},
        {{120, 50}, "Low Freq.: 0 Hz  "},
        {{200, 175}, "High Freq.: 22050 Hz  "},
        {{150, 100}, "High Freq.: 22050 Hz  "}, // the display has no text of its own
        {{5, 190}, ""},
    };
    for (const auto& [where, text] : places) {
        s.moveTo(where.first, where.second);
        EXPECT_EQ(window().d.caption(), text) << where.first << "," << where.second;
    }
    window().bvol.setPosition(25);
    EXPECT_EQ(window().d.caption(), "Input Gain: 150%");
    window().bfalloff.setPosition(95);
    EXPECT_EQ(window().d.caption(), "Length: 005%");
}

TEST_F(Controls, SliderDragReachesTheHost) {
    openEditor();
    auto& s = screen();
    // bvol sits at 50: its handle covers rows 44..55 of the bar, window rows 108..119.
    s.press(14, 110);
    s.moveTo(14, 110 + 44, LeftButton);
    s.release(14, 154);
    EXPECT_EQ(window().bvol.position(), 100);
    EXPECT_EQ(automations().back(), (Automation{0, 1.0f}));
    EXPECT_EQ(window().d.caption(), "Input Gain: 000%");
}

} // namespace
} // namespace editortest

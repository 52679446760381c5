// The parts of the X11 backend that need no server: double clicks, timer cadence, pixel conversion and the
// translation of X events into pointer events.
// gtest first: Xlib defines macros such as None that clash with its names.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ui/platform/x11/DoubleClickDetector.h"
#include "ui/platform/x11/PixelFormat.h"
#include "ui/platform/x11/TimerSchedule.h"
#include "ui/platform/x11/X11Input.h"

namespace {

using ui::platform::PointerEvent;
using namespace ui::platform::x11;

TEST(X11DoubleClick, PairsOnlyQuickNearbyPressesOfOneButton) {
    DoubleClickDetector detector;
    EXPECT_FALSE(detector.press(1, 10, 10, 1000));
    EXPECT_TRUE(detector.press(1, 14, 6, 1500)); // 500 ms and 4 pixels are still a double click
    EXPECT_FALSE(detector.press(1, 14, 6, 1600)) << "a third press starts a new pair";
    EXPECT_TRUE(detector.press(1, 14, 6, 1700));

    DoubleClickDetector slow;
    slow.press(1, 10, 10, 1000);
    EXPECT_FALSE(slow.press(1, 10, 10, 1501));
    EXPECT_TRUE(slow.press(1, 10, 10, 1600)) << "the late press starts the next pair";

    DoubleClickDetector moved;
    moved.press(1, 10, 10, 1000);
    EXPECT_FALSE(moved.press(1, 15, 10, 1100));

    DoubleClickDetector otherButton;
    otherButton.press(1, 10, 10, 1000);
    EXPECT_FALSE(otherButton.press(3, 10, 10, 1100));
}

TEST(X11DoubleClick, SurvivesTheServerClockWrapping) {
    DoubleClickDetector detector;
    detector.press(1, 0, 0, 0xFFFFFF00u);
    EXPECT_TRUE(detector.press(1, 0, 0, 0x00000010u));
}

TEST(X11Timers, FireOnCadenceAndDropMissedTicks) {
    TimerSchedule schedule;
    schedule.start(7, 100, 0);
    EXPECT_TRUE(schedule.takeDue(99).empty());
    EXPECT_EQ(schedule.takeDue(130), std::vector<int>{7});
    EXPECT_TRUE(schedule.takeDue(199).empty()) << "the cadence stays at multiples of 100 ms";
    EXPECT_EQ(schedule.takeDue(200), std::vector<int>{7});
    EXPECT_EQ(schedule.takeDue(1000), std::vector<int>{7}) << "a late idle fires once, not eight times";
    EXPECT_TRUE(schedule.takeDue(1099).empty());
    EXPECT_EQ(schedule.takeDue(1100), std::vector<int>{7});
}

TEST(X11Timers, RestartStopAndMinimumInterval) {
    TimerSchedule schedule;
    schedule.start(1, 600, 0);
    schedule.start(2, 0, 0);
    EXPECT_EQ(schedule.takeDue(TimerSchedule::kMinIntervalMs), std::vector<int>{2});
    schedule.start(1, 100, 50); // restarting replaces the interval and the phase
    EXPECT_THAT(schedule.takeDue(150), ::testing::UnorderedElementsAre(1, 2));
    schedule.stop(2);
    EXPECT_FALSE(schedule.isRunning(2));
    EXPECT_TRUE(schedule.isRunning(1));
    EXPECT_EQ(schedule.takeDue(250), std::vector<int>{1});
}

TEST(X11PixelFormat, ConvertsToTheVisualsLayout) {
    const auto trueColour = PixelFormat::fromMasks(0xFF0000, 0xFF00, 0xFF, 24);
    ASSERT_TRUE(trueColour);
    EXPECT_TRUE(trueColour->isIdentity());
    EXPECT_EQ(trueColour->toNative(0xFF123456u), 0x123456u);

    const auto rgb565 = PixelFormat::fromMasks(0xF800, 0x07E0, 0x001F, 16);
    ASSERT_TRUE(rgb565);
    EXPECT_FALSE(rgb565->isIdentity());
    EXPECT_EQ(rgb565->toNative(0xFFFFFF), 0xFFFFu);
    EXPECT_EQ(rgb565->toNative(0xFF0000), 0xF800u);
    EXPECT_EQ(rgb565->toNative(0x00FF00), 0x07E0u);
    EXPECT_EQ(rgb565->toNative(0x0000FF), 0x001Fu);

    const auto bgr = PixelFormat::fromMasks(0xFF, 0xFF00, 0xFF0000, 24);
    ASSERT_TRUE(bgr);
    EXPECT_EQ(bgr->toNative(0x123456), 0x563412u);

    const auto withAlpha = PixelFormat::fromMasks(0xFF0000, 0xFF00, 0xFF, 32);
    ASSERT_TRUE(withAlpha);
    EXPECT_EQ(withAlpha->toNative(0x123456), 0xFF123456u) << "unused bits are set so the window is opaque";

    const auto deep = PixelFormat::fromMasks(0x3FF00000, 0xFFC00, 0x3FF, 30);
    ASSERT_TRUE(deep);
    EXPECT_EQ(deep->toNative(0xFFFFFF), 0x3FFFFFFFu);
    EXPECT_EQ(deep->toNative(0x800000), 0x20200000u);
}

TEST(X11PixelFormat, RefusesVisualsWithoutColourChannels) {
    EXPECT_FALSE(PixelFormat::fromMasks(0, 0, 0, 8));
    EXPECT_FALSE(PixelFormat::fromMasks(0xF0F000, 0xFF00, 0xFF, 24));
}

XEvent buttonEvent(int type, unsigned int button, unsigned int state) {
    XEvent event{};
    event.type = type;
    event.xbutton.button = button;
    event.xbutton.x = 5;
    event.xbutton.y = 6;
    event.xbutton.state = state;
    return event;
}

// What the tests against a server cannot easily produce: Alt, other buttons held, the middle button,
// and the X events the toolkit must not see.
TEST(X11Input, TranslatesStateAndIgnoresWhatIsNoPointerEvent) {
    X11Input input;
    const auto press =
        input.translate(buttonEvent(ButtonPress, Button2, ControlMask | Mod1Mask | Button1Mask));
    ASSERT_TRUE(press);
    EXPECT_EQ(press->button, ui::platform::MouseButton::Middle);
    EXPECT_EQ(press->shift, ui::platform::CtrlKey | ui::platform::AltKey | ui::platform::LeftButton |
                                ui::platform::MiddleButton);
    const auto release = input.translate(buttonEvent(ButtonRelease, Button1, Button1Mask | Button3Mask));
    ASSERT_TRUE(release);
    EXPECT_EQ(release->shift, ui::platform::RightButton) << "the released button is no longer held";

    const auto wheel = input.translate(buttonEvent(ButtonPress, Button4, ShiftMask));
    ASSERT_TRUE(wheel);
    EXPECT_EQ(wheel->wheelDelta, 1);
    EXPECT_EQ(wheel->shift, ui::platform::ShiftKey);
    EXPECT_FALSE(input.translate(buttonEvent(ButtonRelease, Button4, 0)));
    EXPECT_FALSE(input.translate(buttonEvent(ButtonPress, 6, 0))) << "sideways scrolling";

    XEvent crossing{};
    crossing.type = LeaveNotify;
    crossing.xcrossing.detail = NotifyInferior;
    EXPECT_FALSE(input.translate(crossing));
    crossing.xcrossing.detail = NotifyAncestor;
    ASSERT_TRUE(input.translate(crossing));
    EXPECT_EQ(input.translate(crossing)->kind, PointerEvent::Kind::Leave);
}

} // namespace

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

XEvent buttonEvent(int type, unsigned int button, int x, int y, unsigned int state, Time time) {
    XEvent event{};
    event.type = type;
    event.xbutton.button = button;
    event.xbutton.x = x;
    event.xbutton.y = y;
    event.xbutton.state = state;
    event.xbutton.time = time;
    return event;
}

TEST(X11Input, ButtonsCarryTheStateAfterTheEvent) {
    X11Input input;
    const auto press = input.translate(buttonEvent(ButtonPress, Button1, 5, 6, ShiftMask | Mod1Mask, 100));
    ASSERT_TRUE(press);
    EXPECT_EQ(press->kind, PointerEvent::Kind::Press);
    EXPECT_EQ(press->button, ui::platform::MouseButton::Left);
    EXPECT_EQ(press->x, 5);
    EXPECT_EQ(press->y, 6);
    EXPECT_EQ(press->shift, ui::platform::ShiftKey | ui::platform::AltKey | ui::platform::LeftButton);

    const auto release = input.translate(
        buttonEvent(ButtonRelease, Button1, 5, 6, ControlMask | Button1Mask | Button3Mask, 150));
    ASSERT_TRUE(release);
    EXPECT_EQ(release->kind, PointerEvent::Kind::Release);
    EXPECT_EQ(release->shift, ui::platform::CtrlKey | ui::platform::RightButton);

    const auto second = input.translate(buttonEvent(ButtonPress, Button1, 5, 6, 0, 300));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->shift, ui::platform::LeftButton | ui::platform::DoubleClick);

    const auto middle = input.translate(buttonEvent(ButtonPress, Button2, 5, 6, 0, 310));
    ASSERT_TRUE(middle);
    EXPECT_EQ(middle->button, ui::platform::MouseButton::Middle);
    EXPECT_EQ(middle->shift, ui::platform::MiddleButton);
    const auto right = input.translate(buttonEvent(ButtonPress, Button3, 5, 6, 0, 320));
    ASSERT_TRUE(right);
    EXPECT_EQ(right->button, ui::platform::MouseButton::Right);
}

TEST(X11Input, WheelButtonsBecomeNotches) {
    X11Input input;
    const auto away = input.translate(buttonEvent(ButtonPress, Button4, 1, 2, ControlMask, 0));
    ASSERT_TRUE(away);
    EXPECT_EQ(away->kind, PointerEvent::Kind::Wheel);
    EXPECT_EQ(away->wheelDelta, 1);
    EXPECT_EQ(away->shift, ui::platform::CtrlKey);
    const auto towards = input.translate(buttonEvent(ButtonPress, Button5, 1, 2, 0, 0));
    ASSERT_TRUE(towards);
    EXPECT_EQ(towards->wheelDelta, -1);
    EXPECT_FALSE(input.translate(buttonEvent(ButtonRelease, Button4, 1, 2, 0, 0)));
    EXPECT_FALSE(input.translate(buttonEvent(ButtonPress, 6, 1, 2, 0, 0))) << "sideways scrolling";
}

TEST(X11Input, CrossingsBecomeMovesAndLeaves) {
    X11Input input;
    XEvent crossing{};
    crossing.type = EnterNotify;
    crossing.xcrossing.x = 3;
    crossing.xcrossing.y = 4;
    crossing.xcrossing.detail = NotifyAncestor;
    const auto enter = input.translate(crossing);
    ASSERT_TRUE(enter);
    EXPECT_EQ(enter->kind, PointerEvent::Kind::Move);
    EXPECT_EQ(enter->x, 3);

    crossing.type = LeaveNotify;
    const auto leave = input.translate(crossing);
    ASSERT_TRUE(leave);
    EXPECT_EQ(leave->kind, PointerEvent::Kind::Leave);

    crossing.xcrossing.detail = NotifyInferior;
    EXPECT_FALSE(input.translate(crossing));
}

} // namespace

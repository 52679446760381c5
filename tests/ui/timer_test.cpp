#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ui/Form.h"
#include "ui/Image32.h"
#include "ui/Timer.h"
#include "ui/platform/headless/HeadlessWindow.h"

namespace {

using ui::platform::headless::HeadlessWindow;

class Timers : public ::testing::Test {
protected:
    ui::TForm form{nullptr, 40, 30};
    HeadlessWindow& window = *HeadlessWindow::from(form.nativeWindow());
    std::vector<std::int64_t> ticks;

    void record(ui::TTimer& timer) {
        timer.OnTimer = [this] { ticks.push_back(window.now()); };
    }
};

TEST_F(Timers, TickEveryIntervalFromTheClock) {
    ui::TTimer updater{form};
    record(updater);
    EXPECT_EQ(updater.interval(), 1000);
    EXPECT_TRUE(updater.running());
    window.advance(999);
    EXPECT_TRUE(ticks.empty());
    window.advance(2001);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{1000, 2000, 3000}));
}

TEST_F(Timers, NewIntervalStartsAFreshPeriodAndTheSameOneDoesNot) {
    ui::TTimer timer{form};
    record(timer);
    window.advance(400);
    timer.setInterval(1000);
    timer.setInterval(600);
    window.advance(600);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{1000}));
    timer.setInterval(600);
    window.advance(600);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{1000, 1600}));
}

TEST_F(Timers, DisabledOrZeroIntervalStops) {
    ui::TTimer timer{form};
    record(timer);
    timer.setEnabled(false);
    EXPECT_FALSE(timer.running());
    window.advance(5000);
    timer.setEnabled(true);
    timer.setInterval(0);
    EXPECT_FALSE(timer.running());
    window.advance(5000);
    EXPECT_TRUE(ticks.empty());
    timer.setInterval(250);
    window.advance(500);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{10250, 10500}));
}

TEST_F(Timers, ATickMayChangeItsOwnTimer) {
    // The pattern of a slider's repeat: a long first delay, then short repeats.
    ui::TTimer repeat{form};
    repeat.setInterval(600);
    repeat.OnTimer = [&] {
        ticks.push_back(window.now());
        repeat.setInterval(100);
        if (ticks.size() == 4) {
            repeat.setEnabled(false);
        }
    };
    window.advance(2000);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{600, 700, 800, 900}));
}

TEST_F(Timers, SeveralTimersFireInTimeOrder) {
    std::vector<int> order;
    ui::TTimer slow{form};
    ui::TTimer fast{form};
    slow.setInterval(300);
    fast.setInterval(200);
    slow.OnTimer = [&] { order.push_back(300); };
    fast.OnTimer = [&] { order.push_back(200); };
    window.advance(500);
    EXPECT_EQ(order, (std::vector<int>{200, 300, 200}));
}

TEST_F(Timers, ControlsOwnTimersAndDestructionStopsThem) {
    auto image = std::make_unique<ui::TImage32>(form);
    auto timer = std::make_unique<ui::TTimer>(*image);
    record(*timer);
    window.advance(1000);
    timer.reset();
    image.reset();
    window.advance(5000);
    EXPECT_EQ(ticks, (std::vector<std::int64_t>{1000}));
}

TEST_F(Timers, TickThatInvalidatesIsPresented) {
    ui::TImage32 image{form};
    image.setBounds(0, 0, 40, 30);
    ui::TTimer timer{form};
    timer.setInterval(100);
    timer.OnTimer = [&] { image.setColor(ui::clYellow); };
    form.show();
    const int before = window.presentCount();
    window.advance(100);
    EXPECT_EQ(window.presentCount(), before + 1);
    EXPECT_EQ(window.pixel(20, 15), ui::clYellow);
}

TEST(TimerWithoutWindow, NeverTicksAndSaysSo) {
    ui::TForm form(nullptr, 0, 0);
    ui::TTimer timer{form};
    EXPECT_FALSE(timer.running());
}

} // namespace

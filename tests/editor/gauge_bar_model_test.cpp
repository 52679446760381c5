#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "editor/GaugeBarModel.h"

namespace {

using editor::BarKind;
using editor::BarZone;
using editor::GaugeBarModel;
using editor::RepeatMode;

// Plays the window's part: a periodic timer on a clock the test moves, and a log of position changes.
class BarHarness : public GaugeBarModel::Observer {
public:
    explicit BarHarness(BarKind kind = BarKind::Vertical, int width = 12, int height = 100)
        : bar(kind, width, height, *this) {}

    void barNeedsRepaint() override { ++repaints; }
    void barPositionChanged(bool byUser) override { changes.push_back({now, bar.position(), byUser}); }
    void barRepeatChanged(RepeatMode mode) override {
        due = mode == RepeatMode::Stopped ? -1 : now + editor::repeatIntervalMs(mode);
    }

    void advanceTo(int time) {
        while (due >= 0 && due <= time) {
            now = due;
            // A periodic timer comes round again unless the tick changes its mode.
            due = now + editor::repeatIntervalMs(bar.repeatMode());
            bar.repeatTimerTick();
        }
        now = time;
    }

    struct Change {
        int time;
        int position;
        bool byUser;
    };

    GaugeBarModel bar;
    std::vector<Change> changes;
    int repaints = 0;
    int now = 0;
    int due = -1;
};

TEST(GaugeBarGeometry, EditorBarsHaveATwelvePixelHandleTravelling88Pixels) {
    BarHarness vertical;
    EXPECT_EQ(vertical.bar.trackLength(), 100);
    EXPECT_EQ(vertical.bar.handleLength(), 12);
    const std::vector<std::pair<int, int>> offsets{{0, 0}, {25, 22}, {50, 44}, {56, 49}, {57, 50}, {100, 88}};
    for (auto [position, offset] : offsets) {
        vertical.bar.setPosition(position);
        EXPECT_EQ(vertical.bar.handleOffset(), offset) << "position " << position;
    }
    BarHarness horizontal(BarKind::Horizontal, 100, 12);
    horizontal.bar.setPosition(100);
    EXPECT_EQ(horizontal.bar.handleLength(), 12);
    EXPECT_EQ(horizontal.bar.handleOffset(), 88);
}

TEST(GaugeBarGeometry, HandleOffsetRoundsHalvesToEven) {
    // 50 pixels of travel for 100 steps: every odd position lands on a half pixel.
    BarHarness bar(BarKind::Vertical, 12, 62);
    bar.bar.setPosition(1);
    EXPECT_EQ(bar.bar.handleOffset(), 0);
    bar.bar.setPosition(3);
    EXPECT_EQ(bar.bar.handleOffset(), 2);
    bar.bar.setPosition(5);
    EXPECT_EQ(bar.bar.handleOffset(), 2);
}

TEST(GaugeBarGeometry, HandleNeverFillsTheWholeTrack) {
    BarHarness bar;
    bar.bar.setHandleSize(200);
    EXPECT_EQ(bar.bar.handleLength(), 99);
    bar.bar.setHandleSize(30);
    EXPECT_EQ(bar.bar.handleLength(), 30);
    BarHarness empty(BarKind::Vertical, 12, 0);
    EXPECT_EQ(empty.bar.handleLength(), 0);
    EXPECT_EQ(empty.bar.hitTest(0, 0), BarZone::None);
}

TEST(GaugeBarHitTest, EndRowsOfTheTrackBelongToNoZone) {
    BarHarness bar;
    EXPECT_EQ(bar.bar.hitTest(5, 0), BarZone::Handle);
    EXPECT_EQ(bar.bar.hitTest(5, 11), BarZone::Handle);
    EXPECT_EQ(bar.bar.hitTest(5, 12), BarZone::TrackAfter);
    EXPECT_EQ(bar.bar.hitTest(0, 98), BarZone::TrackAfter);
    EXPECT_EQ(bar.bar.hitTest(5, 99), BarZone::None);
    EXPECT_EQ(bar.bar.hitTest(12, 50), BarZone::None);
    EXPECT_EQ(bar.bar.hitTest(5, -1), BarZone::None);
    bar.bar.setPosition(100);
    EXPECT_EQ(bar.bar.hitTest(5, 0), BarZone::None);
    EXPECT_EQ(bar.bar.hitTest(5, 1), BarZone::TrackBefore);
    EXPECT_EQ(bar.bar.hitTest(5, 87), BarZone::TrackBefore);
    EXPECT_EQ(bar.bar.hitTest(5, 88), BarZone::Handle);
    EXPECT_EQ(bar.bar.hitTest(5, 99), BarZone::Handle);

    BarHarness horizontal(BarKind::Horizontal, 100, 12);
    horizontal.bar.setPosition(50);
    EXPECT_EQ(horizontal.bar.hitTest(43, 3), BarZone::TrackBefore);
    EXPECT_EQ(horizontal.bar.hitTest(44, 3), BarZone::Handle);
    EXPECT_EQ(horizontal.bar.hitTest(56, 3), BarZone::TrackAfter);
    EXPECT_EQ(horizontal.bar.hitTest(44, 12), BarZone::None);
}

TEST(GaugeBarPosition, ClampsAndReportsOnlyRealChanges) {
    BarHarness bar;
    bar.bar.setPosition(0);
    EXPECT_TRUE(bar.changes.empty());
    bar.bar.setPosition(150);
    ASSERT_EQ(bar.changes.size(), 1u);
    EXPECT_EQ(bar.changes[0].position, 100);
    EXPECT_FALSE(bar.changes[0].byUser);
    bar.bar.setPosition(100);
    bar.bar.setPosition(1000);
    EXPECT_EQ(bar.changes.size(), 1u);
    bar.bar.setPosition(-5);
    ASSERT_EQ(bar.changes.size(), 2u);
    EXPECT_EQ(bar.changes[1].position, 0);
}

TEST(GaugeBarPosition, RangeMustGrowAndClampsThePosition) {
    BarHarness bar;
    bar.bar.setPosition(80);
    EXPECT_FALSE(bar.bar.setRange(10, 10));
    EXPECT_FALSE(bar.bar.setRange(10, 5));
    EXPECT_EQ(bar.bar.max(), 100);
    EXPECT_TRUE(bar.bar.setRange(0, 50));
    EXPECT_EQ(bar.bar.position(), 50);
    EXPECT_EQ(bar.changes.back().position, 50);
}

TEST(GaugeBarPress, ModifiersOtherButtonsAndDeadRowsDoNothing) {
    BarHarness bar;
    bar.bar.mouseDown(5, 60, false);
    bar.advanceTo(2000);
    EXPECT_TRUE(bar.changes.empty());
    EXPECT_EQ(bar.bar.pressedZone(), BarZone::None);
    EXPECT_EQ(bar.bar.repeatMode(), RepeatMode::Stopped);

    bar.bar.mouseDown(5, 99, true);
    bar.advanceTo(4000);
    bar.bar.mouseUp();
    bar.bar.setPosition(100);
    bar.changes.clear();
    bar.bar.mouseDown(5, 0, true);
    bar.advanceTo(6000);
    EXPECT_TRUE(bar.changes.empty());
}

TEST(GaugeBarPaging, StepsAtOnceAfter600AndEvery100MsUntilTheHandleCoversThePointer) {
    BarHarness bar;
    bar.bar.mouseDown(5, 60, true);
    bar.advanceTo(10000);
    ASSERT_EQ(bar.changes.size(), 56u);
    EXPECT_EQ(bar.changes[0].time, 0);
    EXPECT_EQ(bar.changes[1].time, 600);
    for (std::size_t i = 2; i < bar.changes.size(); ++i) {
        EXPECT_EQ(bar.changes[i].time, 600 + 100 * static_cast<int>(i - 1));
    }
    for (std::size_t i = 0; i < bar.changes.size(); ++i) {
        EXPECT_EQ(bar.changes[i].position, static_cast<int>(i) + 1);
        EXPECT_TRUE(bar.changes[i].byUser);
    }
    EXPECT_EQ(bar.bar.hitTest(5, 60), BarZone::Handle);
    bar.bar.mouseUp();
    EXPECT_EQ(bar.bar.repeatMode(), RepeatMode::HoverWatch);
}

TEST(GaugeBarPaging, FollowsThePointerWhenItMovesDuringTheRepeat) {
    BarHarness bar;
    bar.bar.setPosition(100);
    bar.changes.clear();
    bar.bar.mouseDown(5, 10, true);
    bar.advanceTo(700);
    EXPECT_EQ(bar.bar.position(), 97);
    // Moving onto the handle's far side stops the paging; its direction never flips.
    bar.bar.mouseMove(5, 95);
    bar.advanceTo(5000);
    EXPECT_EQ(bar.bar.position(), 97);
    bar.bar.mouseMove(5, 10);
    bar.advanceTo(20000);
    EXPECT_EQ(bar.bar.position(), 11);
}

TEST(GaugeBarDrag, FortyFourPixelsAreFiftyStepsAndTheEndsClamp) {
    BarHarness bar;
    bar.bar.mouseDown(6, 5, true);
    EXPECT_EQ(bar.bar.pressedZone(), BarZone::Handle);
    EXPECT_EQ(bar.bar.repeatMode(), RepeatMode::HoverWatch);
    bar.bar.mouseMove(6, 6);
    EXPECT_EQ(bar.bar.position(), 1);
    bar.bar.mouseMove(6, 49);
    EXPECT_EQ(bar.bar.position(), 50);
    bar.bar.mouseMove(40, 600);
    EXPECT_EQ(bar.bar.position(), 100);
    bar.bar.mouseMove(6, -300);
    EXPECT_EQ(bar.bar.position(), 0);
    for (const auto& change : bar.changes) {
        EXPECT_TRUE(change.byUser);
    }
    // The hover watch ticking during the drag must not page.
    bar.advanceTo(3000);
    EXPECT_EQ(bar.bar.position(), 0);
    bar.bar.mouseUp();
    bar.bar.mouseMove(6, 60);
    EXPECT_EQ(bar.bar.position(), 0);
}

TEST(GaugeBarDrag, HorizontalBarsFollowX) {
    BarHarness bar(BarKind::Horizontal, 100, 12);
    bar.bar.setPosition(10);
    const int handleX = bar.bar.handleOffset() + 3;
    bar.bar.mouseDown(handleX, 6, true);
    bar.bar.mouseMove(handleX + 22, 40);
    EXPECT_EQ(bar.bar.position(), 35);
}

TEST(GaugeBarWheel, OneStepPerNotchNotCountedAsUserChange) {
    BarHarness bar;
    bar.bar.setPosition(50);
    bar.changes.clear();
    bar.bar.wheel(120);
    EXPECT_EQ(bar.bar.position(), 51);
    bar.bar.wheel(-240);
    EXPECT_EQ(bar.bar.position(), 49);
    bar.bar.wheel(60);
    EXPECT_EQ(bar.bar.position(), 49);
    bar.bar.setSmallChange(5);
    bar.bar.wheel(-120);
    EXPECT_EQ(bar.bar.position(), 44);
    ASSERT_EQ(bar.changes.size(), 3u);
    EXPECT_FALSE(bar.changes[0].byUser);
    bar.bar.setPosition(100);
    bar.changes.clear();
    bar.bar.wheel(120);
    EXPECT_TRUE(bar.changes.empty());
}

TEST(GaugeBarHover, WatchRunsWhileThePointerIsOverAndStopsWhenItGoes) {
    BarHarness bar;
    bar.bar.mouseMove(5, 50);
    EXPECT_EQ(bar.bar.hotZone(), BarZone::TrackAfter);
    EXPECT_EQ(bar.bar.repeatMode(), RepeatMode::HoverWatch);
    bar.advanceTo(1000);
    EXPECT_EQ(bar.bar.repeatMode(), RepeatMode::HoverWatch);
    bar.bar.mouseLeave();
    EXPECT_EQ(bar.bar.repeatMode(), RepeatMode::Stopped);
    EXPECT_EQ(bar.bar.hotZone(), BarZone::None);

    // After a release outside the bar, the next watch tick notices the pointer is gone.
    bar.bar.mouseDown(5, 5, true);
    bar.bar.mouseMove(30, 5);
    bar.bar.mouseUp();
    bar.advanceTo(bar.now + 150);
    EXPECT_EQ(bar.bar.repeatMode(), RepeatMode::Stopped);
    EXPECT_TRUE(bar.changes.empty());
}

} // namespace

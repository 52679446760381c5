#include <string>

#include <gtest/gtest.h>

#include "editor/GaugeBarPainter.h"

namespace {

using editor::BarKind;
using editor::GaugeBarModel;

struct QuietObserver : GaugeBarModel::Observer {
    void barNeedsRepaint() override {}
    void barPositionChanged(bool) override {}
    void barRepeatChanged(editor::RepeatMode) override {}
};

// The colours worked out by hand for the editor's yellow bar: track 69,69,69, handle 200,200,0, black frame.
constexpr ui::Color kFrame = ui::rgb(0, 0, 0);
constexpr ui::Color kTrack = ui::rgb(69, 69, 69);
constexpr ui::Color kInner = ui::rgb(140, 140, 140);
constexpr ui::Color kFace = ui::rgb(200, 200, 0);
constexpr ui::Color kLight = ui::rgb(224, 224, 24);
constexpr ui::Color kBevelDark = ui::rgb(124, 124, 0);
constexpr ui::Color kShade = ui::rgb(176, 176, 0);

// The picture a bar should give, built from filled boxes given by their first and last pixel.
class Expected {
public:
    Expected(int width, int height) : map_(width, height, ui::rgb(1, 2, 3)) {}
    Expected& box(int x0, int y0, int x1, int y1, ui::Color c) {
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                map_.setPixel(x, y, c);
            }
        }
        return *this;
    }
    const ui::PixelMap& map() const { return map_; }

private:
    ui::PixelMap map_;
};

ui::PixelMap painted(GaugeBarModel& model) {
    ui::PixelMap map(model.width(), model.height(), ui::rgb(1, 2, 3));
    ui::Canvas canvas(map);
    editor::paintGaugeBar(canvas, model, {kTrack, kFace, true});
    return map;
}

std::string firstDifference(const ui::PixelMap& actual, const ui::PixelMap& expected) {
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            if (actual.pixel(x, y) != expected.pixel(x, y)) {
                char text[96];
                std::snprintf(text, sizeof text, "at (%d, %d): %06X, expected %06X", x, y, actual.pixel(x, y),
                              expected.pixel(x, y));
                return text;
            }
        }
    }
    return "";
}

// The handle of a 12-pixel vertical bar whose top row is `top`: frame, bevel, face and two grip marks.
void verticalHandle(Expected& e, int top, bool pressed) {
    e.box(0, top, 11, top + 11, kFrame);
    e.box(1, top + 1, 10, top + 10, pressed ? kFace : kBevelDark);
    e.box(1, top + 1, 9, top + 1, pressed ? kShade : kLight)
        .box(1, top + 1, 1, top + 9, pressed ? kShade : kLight);
    e.box(2, top + 2, 9, top + 9, kFace);
    const int shift = pressed ? 1 : 0;
    for (int mark : {top + 4, top + 7}) {
        e.box(3 + shift, mark + shift, 8 + shift, mark + 1 + shift, ui::rgb(176, 176, 0));
        e.box(3 + shift, mark + shift, 7 + shift, mark + shift, kLight);
    }
}

TEST(GaugeBarPaint, VerticalAtTheTop) {
    QuietObserver observer;
    GaugeBarModel model(BarKind::Vertical, 12, 100, observer);
    Expected e(12, 100);
    e.box(0, 12, 11, 99, kFrame).box(1, 12, 1, 98, kInner).box(2, 12, 10, 98, kTrack);
    verticalHandle(e, 0, false);
    EXPECT_EQ(firstDifference(painted(model), e.map()), "");
}

TEST(GaugeBarPaint, VerticalInTheMiddle) {
    QuietObserver observer;
    GaugeBarModel model(BarKind::Vertical, 12, 100, observer);
    model.setPosition(50);
    Expected e(12, 100);
    e.box(0, 0, 11, 43, kFrame).box(1, 1, 1, 43, kInner).box(2, 1, 10, 1, kInner).box(2, 2, 10, 43, kTrack);
    e.box(0, 56, 11, 99, kFrame).box(1, 56, 1, 98, kInner).box(2, 56, 10, 98, kTrack);
    verticalHandle(e, 44, false);
    EXPECT_EQ(firstDifference(painted(model), e.map()), "");
}

TEST(GaugeBarPaint, PressedTrackTurnsDarkAndPressedHandleSinks) {
    QuietObserver observer;
    GaugeBarModel paging(BarKind::Vertical, 12, 100, observer);
    paging.mouseDown(5, 60, true); // one step at once: position 1, handle at rows 1..12
    Expected e(12, 100);
    e.box(0, 0, 11, 0, kFrame).box(0, 13, 11, 99, kFrame);
    verticalHandle(e, 1, false);
    EXPECT_EQ(firstDifference(painted(paging), e.map()), "");

    GaugeBarModel dragging(BarKind::Vertical, 12, 100, observer);
    dragging.setPosition(50);
    dragging.mouseDown(5, 50, true);
    Expected pressed(12, 100);
    pressed.box(0, 0, 11, 43, kFrame)
        .box(1, 1, 1, 43, kInner)
        .box(2, 1, 10, 1, kInner)
        .box(2, 2, 10, 43, kTrack);
    pressed.box(0, 56, 11, 99, kFrame).box(1, 56, 1, 98, kInner).box(2, 56, 10, 98, kTrack);
    verticalHandle(pressed, 44, true);
    EXPECT_EQ(firstDifference(painted(dragging), pressed.map()), "");
}

TEST(GaugeBarPaint, HorizontalAtTheRightEnd) {
    QuietObserver observer;
    GaugeBarModel model(BarKind::Horizontal, 100, 12, observer);
    model.setPosition(100);
    Expected e(100, 12);
    e.box(0, 0, 87, 11, kFrame).box(1, 1, 1, 10, kInner).box(2, 1, 87, 1, kInner).box(2, 2, 87, 10, kTrack);
    e.box(88, 0, 99, 11, kFrame).box(89, 1, 98, 10, kBevelDark);
    e.box(89, 1, 97, 1, kLight).box(89, 1, 89, 9, kLight).box(90, 2, 97, 9, kFace);
    // Grip marks stand upright on a horizontal bar.
    for (int mark : {92, 95}) {
        e.box(mark, 3, mark + 1, 8, kShade).box(mark, 3, mark, 7, kLight);
    }
    EXPECT_EQ(firstDifference(painted(model), e.map()), "");
}

TEST(GaugeBarPaint, LongHandlesGetFourGripMarks) {
    QuietObserver observer;
    GaugeBarModel model(BarKind::Vertical, 12, 100, observer);
    model.setHandleSize(20); // face rows 2..17, centre 10
    const ui::PixelMap map = painted(model);
    std::string column;
    for (int y = 2; y <= 17; ++y) {
        column += map.pixel(5, y) == kFace ? '.' : (map.pixel(5, y) == kLight ? 'L' : 'D');
    }
    EXPECT_EQ(column, "...LD.LD.LD.LD..");
}

} // namespace

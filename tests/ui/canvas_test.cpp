#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "ui/Canvas.h"

namespace {

using ui::Canvas;
using ui::Color;
using ui::PixelMap;
using ui::Rect;

constexpr Color paper = ui::rgb(10, 20, 30);
constexpr Color ink = ui::rgb(250, 0, 0);

// The pixels of `map` that are not paper, as "x,y" texts, for readable failures.
std::string inked(const PixelMap& map) {
    std::string out;
    for (int y = 0; y < map.height(); ++y) {
        for (int x = 0; x < map.width(); ++x) {
            if (map.pixel(x, y) != paper) {
                out += std::to_string(x) + "," + std::to_string(y) + " ";
            }
        }
    }
    return out;
}

int countInked(const PixelMap& map) {
    int n = 0;
    for (int y = 0; y < map.height(); ++y) {
        for (int x = 0; x < map.width(); ++x) {
            n += map.pixel(x, y) != paper ? 1 : 0;
        }
    }
    return n;
}

TEST(CanvasLines, LeaveOutTheEndPointInEveryDirection) {
    PixelMap map(8, 8, paper);
    Canvas canvas(map);
    canvas.pen.color = ink;
    canvas.moveTo(1, 2);
    canvas.lineTo(5, 2);
    EXPECT_EQ(inked(map), "1,2 2,2 3,2 4,2 ");
    EXPECT_EQ(canvas.penPosition(), (ui::Point{5, 2}));

    map.fill(paper);
    canvas.moveTo(3, 6);
    canvas.lineTo(3, 3);
    EXPECT_EQ(inked(map), "3,4 3,5 3,6 ");

    map.fill(paper);
    canvas.moveTo(0, 0);
    canvas.lineTo(3, 3);
    EXPECT_EQ(inked(map), "0,0 1,1 2,2 ");

    map.fill(paper);
    canvas.moveTo(4, 4);
    canvas.lineTo(4, 4);
    EXPECT_EQ(inked(map), "");
}

TEST(CanvasLines, ShallowSlopeStepsOnceOnTheMinorAxis) {
    PixelMap map(8, 4, paper);
    Canvas canvas(map);
    canvas.pen.color = ink;
    canvas.moveTo(0, 0);
    canvas.lineTo(6, 2);
    // One pixel per column, rising by one row every three columns.
    EXPECT_EQ(countInked(map), 6);
    EXPECT_EQ(map.pixel(0, 0), ink);
    EXPECT_EQ(map.pixel(5, 2), ink);
    EXPECT_EQ(map.pixel(6, 2), paper);
}

TEST(CanvasLines, ConnectedLinesDrawEveryCornerOnce) {
    PixelMap map(6, 6, paper);
    Canvas canvas(map);
    canvas.pen.color = ink;
    canvas.moveTo(1, 1);
    canvas.lineTo(4, 1);
    canvas.lineTo(4, 4);
    canvas.lineTo(1, 4);
    canvas.lineTo(1, 1);
    EXPECT_EQ(countInked(map), 12);
    EXPECT_EQ(map.pixel(2, 2), paper);
}

TEST(CanvasLines, FarOffAndHugeCoordinatesAreClippedWithoutHarm) {
    PixelMap map(10, 10, paper);
    Canvas canvas(map);
    canvas.pen.color = ink;
    // A vertical line at x -1 lies entirely outside, as the display's line at F1 - 1 for position 0.
    canvas.moveTo(-1, 0);
    canvas.lineTo(-1, 100);
    EXPECT_EQ(countInked(map), 0);
    canvas.moveTo(INT_MIN, 5);
    canvas.lineTo(INT_MAX, 5);
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(map.pixel(x, 5), ink) << x;
    }
    EXPECT_EQ(countInked(map), 10);
    canvas.moveTo(INT_MIN, INT_MIN);
    canvas.lineTo(INT_MAX, INT_MAX);
    EXPECT_GE(countInked(map), 19);
}

TEST(CanvasRectangles, CoverLeftToRightMinusOne) {
    PixelMap map(8, 8, paper);
    Canvas canvas(map);
    canvas.pen.color = ink;
    canvas.brush.color = ui::clYellow;
    canvas.rectangle(1, 2, 5, 6);
    // Outline on the border of 1..4 x 2..5, fill inside it.
    EXPECT_EQ(map.pixel(1, 2), ink);
    EXPECT_EQ(map.pixel(4, 5), ink);
    EXPECT_EQ(map.pixel(4, 2), ink);
    EXPECT_EQ(map.pixel(2, 3), ui::clYellow);
    EXPECT_EQ(map.pixel(3, 4), ui::clYellow);
    EXPECT_EQ(map.pixel(5, 2), paper);
    EXPECT_EQ(map.pixel(1, 6), paper);
    EXPECT_EQ(countInked(map), 16);

    map.fill(paper);
    canvas.brush.style = ui::BrushStyle::Clear;
    canvas.rectangle(5, 6, 1, 2); // corners swapped
    EXPECT_EQ(map.pixel(1, 2), ink);
    EXPECT_EQ(map.pixel(2, 3), paper);
    EXPECT_EQ(countInked(map), 12);

    map.fill(paper);
    canvas.rectangle(3, 3, 3, 7);
    EXPECT_EQ(countInked(map), 0);
}

TEST(CanvasRectangles, FillAndFrameUseTheBrush) {
    PixelMap map(6, 6, paper);
    Canvas canvas(map);
    canvas.brush.color = ink;
    canvas.brush.style = ui::BrushStyle::Clear;
    canvas.fillRect({1, 1, 3, 4});
    EXPECT_EQ(inked(map), "1,1 2,1 1,2 2,2 1,3 2,3 ");
    map.fill(paper);
    canvas.frameRect({0, 0, 4, 3});
    EXPECT_EQ(countInked(map), 10);
    EXPECT_EQ(map.pixel(1, 1), paper);
    EXPECT_EQ(map.pixel(3, 2), ink);
}

TEST(CanvasClipping, RegionMovesTheOriginAndStaysInside) {
    PixelMap map(12, 12, paper);
    Canvas whole(map);
    Canvas part = whole.region(Rect::fromSize(4, 3, 5, 4));
    EXPECT_EQ(part.clipRect(), (Rect{0, 0, 5, 4}));
    part.brush.color = ink;
    part.fillRect({-10, -10, 100, 100});
    EXPECT_EQ(countInked(map), 20);
    EXPECT_EQ(map.pixel(4, 3), ink);
    EXPECT_EQ(map.pixel(8, 6), ink);
    EXPECT_EQ(map.pixel(9, 6), paper);

    // A region of a region is clipped by both.
    map.fill(paper);
    Canvas inner = part.region(Rect::fromSize(3, 2, 10, 10));
    EXPECT_EQ(inner.clipRect(), (Rect{0, 0, 2, 2}));
    inner.pen.color = ink;
    inner.moveTo(-5, 0);
    inner.lineTo(50, 0);
    EXPECT_EQ(inked(map), "7,5 8,5 ");

    // A region outside the map draws nothing at all.
    map.fill(paper);
    Canvas outside = whole.region(Rect::fromSize(20, 20, 5, 5));
    EXPECT_TRUE(outside.clipRect().empty());
    outside.brush.color = ink;
    outside.fillRect({0, 0, 5, 5});
    outside.textOut(0, 0, "Zephyrion");
    EXPECT_EQ(countInked(map), 0);
}

TEST(CanvasText, InkOnlyWhereGlyphsAreAndBackgroundKept) {
    PixelMap map(60, 20, paper);
    Canvas canvas(map);
    canvas.font = {11, true, ink};
    canvas.textOut(2, 1, "I");
    // Bold 'I' is a solid stem: some pixel carries the ink exactly, and nothing is drawn outside the stem.
    bool solid = false;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 60; ++x) {
            solid = solid || map.pixel(x, y) == ink;
            if (x < 2 || x > 5 || y < 1 || y >= 1 + canvas.textHeight()) {
                EXPECT_EQ(map.pixel(x, y), paper) << x << "," << y;
            }
        }
    }
    EXPECT_TRUE(solid);
    // Blanks draw nothing but move the pen.
    map.fill(paper);
    canvas.textOut(0, 0, "   ");
    EXPECT_EQ(countInked(map), 0);
    EXPECT_GT(canvas.textWidth("   "), 0);
    EXPECT_EQ(canvas.textWidth("AB"), canvas.textWidth("A") + canvas.textWidth("B"));
}

TEST(CanvasText, UnknownCharactersDrawAsQuestionMarks) {
    PixelMap a(20, 16, paper);
    PixelMap b(20, 16, paper);
    Canvas ca(a);
    Canvas cb(b);
    ca.textOut(0, 0, "\x01");
    cb.textOut(0, 0, "?");
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 20; ++x) {
            ASSERT_EQ(a.pixel(x, y), b.pixel(x, y));
        }
    }
    EXPECT_GT(countInked(a), 0);
}

TEST(CanvasPictures, PixelMapsAreCopiedAndClipped) {
    PixelMap map(4, 4, paper);
    Canvas canvas(map);
    PixelMap stamp(5, 5, ink);
    stamp.setPixel(4, 4, ui::clWhite);
    Canvas clipped = canvas.region({1, 1, 3, 3});
    clipped.draw(-4, -4, stamp);
    // Only the stamp's bottom-right pixel reaches the 2 x 2 region, and nothing lands beyond the region.
    EXPECT_EQ(inked(map), "1,1 ");
    EXPECT_EQ(map.pixel(1, 1), ui::clWhite);
}

TEST(PixelMaps, BadSizesAndOutsideAccessAreHarmless) {
    PixelMap bad(-4, 10);
    EXPECT_TRUE(bad.empty());
    EXPECT_EQ(bad.width(), 0);
    EXPECT_EQ(bad.height(), 0);
    PixelMap map(2, 2, ink);
    map.setPixel(5, 0, paper);
    map.setPixel(-1, 0, paper);
    EXPECT_EQ(map.pixel(9, 9), ui::clBlack);
    EXPECT_EQ(map.pixel(1, 1), ink);
}

} // namespace

#include <string_view>

#include "editor/EditorLayout.h"
#include "editor/art/Artwork.h"
#include "editor/art/Shapes.h"

namespace editor::art {
namespace {

constexpr ui::Color kFrame = ui::rgb(20, 10, 28);
constexpr ui::Color kStripTop = ui::rgb(46, 24, 64);
constexpr ui::Color kStripBottom = ui::rgb(74, 42, 94);
constexpr ui::Color kStripGlow = ui::rgb(190, 76, 166);
constexpr ui::Color kTick = ui::rgb(156, 116, 178);

// A rectangle given by its first and last pixel, as the boxes are measured.
constexpr ui::Rect span(int left, int top, int right, int bottom) {
    return {left, top, right + 1, bottom + 1};
}

void letter(ui::PixelMap& map, int x, int y, std::string_view text,
            const LetteringStyle& style = kCaptionLettering) {
    drawLettering(map, x, y, text, style);
}

// Centres caption lettering over a column of the given left edge and width.
void letterUnder(ui::PixelMap& map, int columnLeft, int columnWidth, int y, std::string_view text) {
    letter(map, columnLeft + (columnWidth - letteringWidth(text, kCaptionLettering)) / 2, y, text);
}

void titleStrip(ui::PixelMap& map) {
    ditherVertically(map, {0, 0, kWindowWidth, 23}, kStripTop, kStripBottom);
    fillArea(map, {0, 23, kWindowWidth, 24}, kStripGlow);
    fillArea(map, {0, 24, kWindowWidth, 25}, kInkShadow);
    letter(map, 9, 5, "Zephyrion", kTitleLettering);
    constexpr std::string_view kCreditFirst = "made by";
    constexpr std::string_view kCreditSecond = "the zephyrion developers";
    constexpr int kCreditRight = 283;
    letter(map, kCreditRight - letteringWidth(kCreditFirst, kSmallLettering), 6, kCreditFirst,
           kSmallLettering);
    letter(map, kCreditRight - letteringWidth(kCreditSecond, kSmallLettering), 13, kCreditSecond,
           kSmallLettering);
    drawMascot(map, 288, 5);
}

// A one-pixel groove around a slider, so its track sits in the plate.
void groove(ui::PixelMap& map, const ControlSpec& bar) {
    const ui::Rect r{bar.box.left - 1, bar.box.top - 1, bar.box.left + bar.box.width + 1,
                     bar.box.top + bar.box.height + 1};
    bevel(map, r, kBoxRim, kBoxLight);
}

void meterScale(ui::PixelMap& map) {
    const ControlSpec& meter = *findControl("Image326");
    for (int step = 0; step <= 8; ++step) {
        const int y = meter.box.top + step * (kMeterHeight - 1) / 8;
        const int length = step % 2 == 0 ? 4 : 2;
        fillArea(map, {35, y, 35 + length, y + 1}, kTick);
    }
}

void toggleButton(ui::PixelMap& map, const ControlSpec& area) {
    const ui::Rect r{area.box.left, area.box.top, area.box.left + area.box.width,
                     area.box.top + area.box.height};
    fillArea(map, r, ui::rgb(112, 72, 134));
    bevel(map, r, ui::rgb(158, 116, 180), ui::rgb(48, 26, 62));
    drawSprite(map, r.left + 4, r.top + 7,
               {"..#.....#..", ".##.....##.", "###########", ".##.....##.", "..#.....#.."},
               {{'#', kInkShadow}});
    drawSprite(map, r.left + 3, r.top + 6, {"..#.....#..", ".##.....##."}, {{'#', ui::rgb(255, 124, 206)}});
    drawSprite(map, r.left + 3, r.top + 8, {"###########"}, {{'#', ui::rgb(255, 150, 140)}});
    drawSprite(map, r.left + 3, r.top + 9, {".##.....##.", "..#.....#.."}, {{'#', ui::rgb(255, 180, 70)}});
}

void leftPlate(ui::PixelMap& map) {
    raisedPlate(map, span(3, 29, 88, 196));
    letter(map, 10, 40, "FREQ:");
    sunkenBox(map, span(48, 37, 86, 53));
    for (std::string_view name : {"bvol", "bfalloff", "brel"}) {
        groove(map, *findControl(name));
    }
    sunkenBox(map, span(20, 63, 33, 163));
    meterScale(map);
    letterUnder(map, 8, 12, 168, "G");
    letterUnder(map, 48, 12, 168, "L");
    letterUnder(map, 68, 12, 168, "R");
}

void centrePlate(ui::PixelMap& map) {
    raisedPlate(map, span(90, 29, 240, 196));
    for (std::string_view name : {"GaugeBar1", "GaugeBar2", "GaugeBar3", "bthresh"}) {
        groove(map, *findControl(name));
    }
    // The display sits in a well whose inner ring is the frame at 113..214 x 63..164.
    sunkenBox(map, span(112, 62, 215, 165));
    fillArea(map, span(114, 64, 213, 163), kDisplayBackground);
    letterUnder(map, 94, 12, 168, "LO");
    letterUnder(map, 218, 12, 168, "HI");
}

void rightPlate(ui::PixelMap& map) {
    raisedPlate(map, span(243, 29, 309, 196));
    letter(map, 251, 39, "CH:");
    sunkenBox(map, span(251, 48, 289, 64));
    letter(map, kNoteCaptionAt.x, kNoteCaptionAt.y, "NOTE:");
    sunkenBox(map, span(251, 85, 289, 101));
    letter(map, kVelocityCaptionAt.x, kVelocityCaptionAt.y, "VEL:");
    sunkenBox(map, span(251, 121, 289, 137));
    letter(map, 251, 163, "OUT:");
    sunkenBox(map, span(251, 173, 289, 189));
    toggleButton(map, *findControl("Image4"));
    toggleButton(map, *findControl("Image5"));
}

void bottomStrip(ui::PixelMap& map) {
    sunkenBox(map, span(6, 201, 182, 218));
    const int width = letteringWidth(kWebAddress, kSmallLettering);
    letter(map, 185 + (279 - 185 - width) / 2, 207, kWebAddress, kSmallLettering);
}

} // namespace

ui::PixelMap backgroundPicture() {
    ui::PixelMap map(kWindowWidth, kWindowHeight);
    paintGround(map, {0, 0, kWindowWidth, kWindowHeight}, {0, 0});
    titleStrip(map);
    leftPlate(map);
    centrePlate(map);
    rightPlate(map);
    bottomStrip(map);
    bevel(map, {0, 0, kWindowWidth, kWindowHeight}, kFrame, kFrame);
    return map;
}

} // namespace editor::art

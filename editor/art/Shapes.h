// The building blocks of the editor's pictures: the textured purple ground, raised plates, sunken boxes and
// small sprites, with the colours they share. The ground is a function of window coordinates, so a picture
// that lies over part of the background (the caption pictures) matches it pixel for pixel.
#pragma once

#include <initializer_list>
#include <string_view>
#include <utility>

#include "editor/art/PixelLettering.h"
#include "ui/Geometry.h"
#include "ui/PixelMap.h"

namespace editor::art {

inline constexpr ui::Color kGroundLight = ui::rgb(99, 61, 116);
inline constexpr ui::Color kGroundDark = ui::rgb(89, 55, 104);
inline constexpr ui::Color kPlateLight = ui::rgb(128, 88, 148);
inline constexpr ui::Color kPlateShadow = ui::rgb(60, 35, 76);
inline constexpr ui::Color kBoxFill = ui::rgb(46, 26, 68);
inline constexpr ui::Color kBoxInnerShade = ui::rgb(37, 20, 55);
inline constexpr ui::Color kBoxRim = ui::rgb(27, 14, 39);
inline constexpr ui::Color kBoxLight = ui::rgb(142, 100, 162);
inline constexpr ui::Color kInkShadow = ui::rgb(33, 16, 45);

// The pink-to-orange lettering.
inline constexpr LetteringStyle kCaptionLettering{LetterFace::Caption,   1,          ui::rgb(255, 112, 206),
                                                  ui::rgb(255, 178, 64), kInkShadow, false};
inline constexpr LetteringStyle kSmallLettering{LetterFace::Small,     1,          ui::rgb(255, 132, 214),
                                                ui::rgb(255, 186, 84), kInkShadow, false};
inline constexpr LetteringStyle kTitleLettering{LetterFace::Caption,   2,          ui::rgb(255, 92, 200),
                                                ui::rgb(255, 184, 58), kInkShadow, true};

void fillArea(ui::PixelMap& map, const ui::Rect& area, ui::Color c);
// The window's ground over `area` of `map`, where the map's (0, 0) lies at window pixel `origin`.
void paintGround(ui::PixelMap& map, const ui::Rect& area, ui::Point origin);
// Two-tone ordered dither running from `top` to `bottom` down the rows of `area`.
void ditherVertically(ui::PixelMap& map, const ui::Rect& area, ui::Color top, ui::Color bottom);
// A one-pixel bevel on the rectangle's edges: `light` on the top and left, `dark` on the bottom and right.
void bevel(ui::PixelMap& map, const ui::Rect& r, ui::Color light, ui::Color dark);
void raisedPlate(ui::PixelMap& map, const ui::Rect& r);
// A dark well: rim and light edge outside, a shaded inner edge, then the fill.
void sunkenBox(ui::PixelMap& map, const ui::Rect& r);

// A picture as rows of characters, each character's colour looked up in `colours`; '.' is transparent.
void drawSprite(ui::PixelMap& map, int x, int y, std::initializer_list<std::string_view> rows,
                std::initializer_list<std::pair<char, ui::Color>> colours);

// The little cloud face that blows the wind, 21 x 14 pixels.
void drawMascot(ui::PixelMap& map, int x, int y);

} // namespace editor::art

// The editor's pictures, drawn by code when the window is built: the background (A), the two caption pictures
// that cover captions of the background in the other modes (B, C), the level meter's gradient and cover (D,
// E) and the about panel's background (F).
#pragma once

#include "ui/Geometry.h"
#include "ui/PixelMap.h"

namespace editor::art {

ui::PixelMap backgroundPicture();
// 53 x 13, "CC#:" where the background says "NOTE:".
ui::PixelMap controllerCaption();
// 46 x 13, "VELMOD:" where the background says "VEL:".
ui::PixelMap velocityModeCaption();
// 9 x 96, magenta at the top to yellow at the bottom.
ui::PixelMap meterGradient();
// 9 x 96 of the meter's dark cover colour.
ui::PixelMap meterCover();
ui::PixelMap aboutPicture();

// Where the background letters the captions that the caption pictures replace (window pixels, top-left).
inline constexpr ui::Point kNoteCaptionAt{251, 75};
inline constexpr ui::Point kVelocityCaptionAt{251, 111};

} // namespace editor::art

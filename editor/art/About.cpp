#include "editor/art/Artwork.h"
#include "editor/art/Shapes.h"

namespace editor::art {
namespace {

constexpr int kWidth = 276;
constexpr int kHeight = 146;
constexpr ui::Color kAboutGround = ui::rgb(44, 24, 62);
constexpr ui::Color kAboutFrame = ui::rgb(16, 7, 24);
constexpr ui::Color kAboutInnerLine = ui::rgb(72, 44, 94);

} // namespace

ui::PixelMap aboutPicture() {
    ui::PixelMap map(kWidth, kHeight, kAboutGround);
    bevel(map, {0, 0, kWidth, kHeight}, kAboutFrame, kAboutFrame);
    bevel(map, {1, 1, kWidth - 1, kHeight - 1}, kAboutInnerLine, kAboutInnerLine);
    // A thin rule between the title and the text.
    fillArea(map, {48, 23, kWidth - 48, 24}, kAboutInnerLine);
    drawMascot(map, 10, 4);

    // The OK button: a small raised plate with the lettering centred in it.
    const ui::Rect button{kWidth / 2 - 16, kHeight - 25, kWidth / 2 + 16, kHeight - 10};
    fillArea(map, button, ui::rgb(78, 46, 100));
    bevel(map, button, ui::rgb(128, 88, 150), ui::rgb(26, 12, 36));
    const int textWidth = letteringWidth("OK", kCaptionLettering);
    drawLettering(map, button.left + (button.width() - textWidth) / 2, button.top + 4, "OK",
                  kCaptionLettering);
    return map;
}

} // namespace editor::art

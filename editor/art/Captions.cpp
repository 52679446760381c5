#include <string_view>

#include "editor/EditorLayout.h"
#include "editor/art/Artwork.h"
#include "editor/art/Shapes.h"

namespace editor::art {
namespace {

// A caption picture: the window's ground as it lies under `control`, lettered at the place where the
// background letters the caption it replaces.
ui::PixelMap captionOver(std::string_view control, int width, ui::Point captionAt, std::string_view text) {
    const ControlSpec& spec = *findControl(control);
    ui::PixelMap map(width, spec.box.height);
    const ui::Point origin{spec.box.left, spec.box.top};
    paintGround(map, {0, 0, map.width(), map.height()}, origin);
    drawLettering(map, captionAt.x - origin.x, captionAt.y - origin.y, text, kCaptionLettering);
    return map;
}

} // namespace

ui::PixelMap controllerCaption() {
    return captionOver("Image6", 53, kNoteCaptionAt, "CC#:");
}

ui::PixelMap velocityModeCaption() {
    return captionOver("Image7", 46, kVelocityCaptionAt, "VELMOD:");
}

} // namespace editor::art

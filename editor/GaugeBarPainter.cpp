#include "editor/GaugeBarPainter.h"

namespace editor {
namespace {

void fill(ui::Canvas& canvas, const ui::Rect& r, ui::Color c) {
    if (!r.empty()) {
        canvas.brush.color = c;
        canvas.fillRect(r);
    }
}

// A 1-pixel bevel: `light` owns the top row (less its last pixel) and the left column (less its last
// pixel), `dark` the right column and the bottom row.
void bevel(ui::Canvas& canvas, const ui::Rect& r, ui::Color light, ui::Color dark) {
    if (r.empty()) {
        return;
    }
    fill(canvas, {r.left, r.top, r.right - 1, r.top + 1}, light);
    fill(canvas, {r.left, r.top, r.left + 1, r.bottom - 1}, light);
    fill(canvas, {r.right - 1, r.top, r.right, r.bottom}, dark);
    fill(canvas, {r.left, r.bottom - 1, r.right, r.bottom}, dark);
}

ui::Rect shrink(const ui::Rect& r, int by) {
    return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}

enum class Side { Left, Top, Right, Bottom };

// Draws a 1-pixel line in `c` along one inner side of `part` and takes that line off the part.
void edgeLine(ui::Canvas& canvas, ui::Rect& part, Side side, ui::Color c) {
    if (part.empty()) {
        return;
    }
    ui::Rect line = part;
    switch (side) {
    case Side::Left: line.right = ++part.left; break;
    case Side::Top: line.bottom = ++part.top; break;
    case Side::Right: line.left = --part.right; break;
    case Side::Bottom: line.top = --part.bottom; break;
    }
    fill(canvas, line, c);
}

struct TrackPart {
    ui::Rect area;
    // Sides framed in the window-frame colour: all but the one that meets the handle.
    Side framed[3];
    // Sides that get the soft inner line when the part is not pressed.
    Side inner[2];
    int innerCount;
    bool pressed;
};

void paintTrackPart(ui::Canvas& canvas, TrackPart part, const GaugeBarLook& look) {
    for (Side side : part.framed) {
        edgeLine(canvas, part.area, side, ui::clWindowFrame);
    }
    if (part.pressed) {
        fill(canvas, part.area, ui::clWindowFrame);
        return;
    }
    const ui::Color innerLine =
        ui::blend(ui::clWindowFrame, ui::blend(ui::clBtnHighlight, look.track, 127), 32);
    for (int i = 0; i < part.innerCount; ++i) {
        edgeLine(canvas, part.area, part.inner[i], innerLine);
    }
    fill(canvas, part.area, look.track);
}

void paintGrip(ui::Canvas& canvas, const ui::Rect& face, BarKind kind, ui::Color handle) {
    const bool vertical = kind == BarKind::Vertical;
    const int start = vertical ? face.top : face.left;
    const int length = vertical ? face.height() : face.width();
    const int centre = start + length / 2;
    int starts[4] = {centre - 2, centre + 1, centre - 5, centre + 4};
    const int count = length > 10 ? 4 : 2;
    for (int i = 0; i < count; ++i) {
        const ui::Rect mark = vertical ? ui::Rect{face.left + 1, starts[i], face.right - 1, starts[i] + 2}
                                       : ui::Rect{starts[i], face.top + 1, starts[i] + 2, face.bottom - 1};
        bevel(canvas, mark, ui::shiftColor(handle, 24), ui::shiftColor(handle, -24));
    }
}

void paintHandle(ui::Canvas& canvas, const ui::Rect& handle, BarKind kind, bool pressed,
                 const GaugeBarLook& look) {
    canvas.brush.color = ui::clWindowFrame;
    canvas.frameRect(handle);
    const ui::Rect bevelled = shrink(handle, 1);
    if (pressed) {
        bevel(canvas, bevelled, ui::shiftColor(look.handle, -24), look.handle);
    } else {
        bevel(canvas, bevelled, ui::shiftColor(look.handle, 24),
              ui::blend(ui::clWindowFrame, look.handle, 96));
    }
    const ui::Rect face = shrink(handle, 2);
    fill(canvas, face, look.handle);
    if (look.grip && !face.empty()) {
        paintGrip(canvas, pressed ? face.offset(1, 1) : face, kind, look.handle);
    }
}

} // namespace

void paintGaugeBar(ui::Canvas& canvas, const GaugeBarModel& model, const GaugeBarLook& look) {
    const int width = model.width();
    const int height = model.height();
    const int start = model.handleOffset();
    const int end = start + model.handleLength();
    const bool vertical = model.kind() == BarKind::Vertical;
    const BarZone pressed = model.pressedZone();

    TrackPart before{};
    TrackPart after{};
    if (vertical) {
        before = {
            {0, 0, width, start}, {Side::Left, Side::Top, Side::Right}, {Side::Left, Side::Top}, 2, false};
        after = {{0, end, width, height},
                 {Side::Left, Side::Bottom, Side::Right},
                 {Side::Left, Side::Left},
                 1,
                 false};
    } else {
        before = {
            {0, 0, start, height}, {Side::Top, Side::Left, Side::Bottom}, {Side::Left, Side::Top}, 2, false};
        after = {{end, 0, width, height},
                 {Side::Top, Side::Right, Side::Bottom},
                 {Side::Top, Side::Top},
                 1,
                 false};
    }
    before.pressed = pressed == BarZone::TrackBefore;
    after.pressed = pressed == BarZone::TrackAfter;
    paintTrackPart(canvas, before, look);
    paintTrackPart(canvas, after, look);

    if (model.handleLength() > 0) {
        const ui::Rect handle = vertical ? ui::Rect{0, start, width, end} : ui::Rect{start, 0, end, height};
        paintHandle(canvas, handle, model.kind(), pressed == BarZone::Handle, look);
    }
}

} // namespace editor

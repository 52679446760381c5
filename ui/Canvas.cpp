#include "ui/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace ui {

namespace {

// Local coordinates plus the origin can leave the int range for absurd input; such points are far outside
// any clip anyway, so they are pinned to the range's edge.
int pinned(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min() / 2,
                                                     std::numeric_limits<int>::max() / 2));
}

} // namespace

Canvas::Canvas(PixelMap& target) : Canvas(target, {0, 0}, {0, 0, target.width(), target.height()}) {}

Canvas::Canvas(PixelMap& target, Point origin, Rect clip) : target_(&target), origin_(origin), clip_(clip) {}

Canvas Canvas::region(const Rect& area) const {
    const Point origin{pinned(std::int64_t{origin_.x} + area.left),
                       pinned(std::int64_t{origin_.y} + area.top)};
    const Rect areaInTarget{origin.x, origin.y, pinned(std::int64_t{origin_.x} + area.right),
                            pinned(std::int64_t{origin_.y} + area.bottom)};
    return Canvas(*target_, origin, clip_.intersect(areaInTarget));
}

void Canvas::clipTo(const Rect& area) {
    const Rect areaInTarget{
        pinned(std::int64_t{origin_.x} + area.left), pinned(std::int64_t{origin_.y} + area.top),
        pinned(std::int64_t{origin_.x} + area.right), pinned(std::int64_t{origin_.y} + area.bottom)};
    clip_ = clip_.intersect(areaInTarget);
}

Rect Canvas::clipRect() const {
    if (clip_.empty()) {
        return {};
    }
    return clip_.offset(-origin_.x, -origin_.y);
}

Color Canvas::pixel(int x, int y) const {
    return target_->pixel(pinned(std::int64_t{x} + origin_.x), pinned(std::int64_t{y} + origin_.y));
}

void Canvas::setPixel(int x, int y, Color c) {
    const int tx = pinned(std::int64_t{x} + origin_.x);
    const int ty = pinned(std::int64_t{y} + origin_.y);
    if (visible(tx, ty)) {
        target_->row(ty)[tx] = c;
    }
}

void Canvas::moveTo(int x, int y) {
    penPos_ = {x, y};
}

void Canvas::lineTo(int x, int y) {
    Point from = penPos_;
    Point to{x, y};
    if (cutToReach(from, to)) {
        drawLineClipped(from.x, from.y, to.x, to.y);
    }
    penPos_ = {x, y};
}

// Beyond this distance from the origin a line is cut back along its own direction, which keeps the stepping
// arithmetic below within 64 bits; no canvas comes near it.
constexpr double reach = 1 << 28;

bool Canvas::cutToReach(Point& from, Point& to) {
    auto outside = [](Point p) {
        return std::abs(static_cast<double>(p.x)) > reach || std::abs(static_cast<double>(p.y)) > reach;
    };
    if (!outside(from) && !outside(to)) {
        return true;
    }
    const double x0 = from.x;
    const double y0 = from.y;
    const double dx = static_cast<double>(to.x) - x0;
    const double dy = static_cast<double>(to.y) - y0;
    double t0 = 0.0;
    double t1 = 1.0;
    // Liang-Barsky against the square of side 2 x reach.
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 + reach, reach - x0, y0 + reach, reach - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) {
                return false;
            }
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    if (t0 > t1) {
        return false;
    }
    from = {static_cast<int>(x0 + t0 * dx), static_cast<int>(y0 + t0 * dy)};
    to = {static_cast<int>(x0 + t1 * dx), static_cast<int>(y0 + t1 * dy)};
    return true;
}

// Steps one pixel at a time along the longer axis and rounds the other, leaving out the end point. Only the
// steps whose long-axis coordinate lies inside the clip are visited, so a line of any length costs at most
// the clip's size.
void Canvas::drawLineClipped(int x0, int y0, int x1, int y1) {
    const std::int64_t ox = std::int64_t{x0} + origin_.x;
    const std::int64_t oy = std::int64_t{y0} + origin_.y;
    const std::int64_t dx = std::int64_t{x1} - x0;
    const std::int64_t dy = std::int64_t{y1} - y0;
    const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
    const std::int64_t major = xMajor ? dx : dy;
    const std::int64_t minor = xMajor ? dy : dx;
    const std::int64_t steps = major < 0 ? -major : major;
    if (steps == 0 || clip_.empty()) {
        return;
    }
    const std::int64_t majorStart = xMajor ? ox : oy;
    const std::int64_t minorStart = xMajor ? oy : ox;
    const std::int64_t majorSign = major < 0 ? -1 : 1;
    const std::int64_t minorSign = minor < 0 ? -1 : 1;
    const std::int64_t minorLength = minor < 0 ? -minor : minor;
    const std::int64_t clipLow = xMajor ? clip_.left : clip_.top;
    const std::int64_t clipHigh = (xMajor ? clip_.right : clip_.bottom) - 1;
    std::int64_t first = majorSign > 0 ? clipLow - majorStart : majorStart - clipHigh;
    std::int64_t last = majorSign > 0 ? clipHigh - majorStart : majorStart - clipLow;
    first = std::max<std::int64_t>(first, 0);
    last = std::min<std::int64_t>(last, steps - 1);
    for (std::int64_t i = first; i <= last; ++i) {
        const std::int64_t a = majorStart + majorSign * i;
        // i * minor / steps rounded, halves away from the start.
        const std::int64_t b = minorStart + minorSign * ((2 * i * minorLength + steps) / (2 * steps));
        const std::int64_t px = xMajor ? a : b;
        const std::int64_t py = xMajor ? b : a;
        if (px >= clip_.left && px < clip_.right && py >= clip_.top && py < clip_.bottom) {
            target_->row(static_cast<int>(py))[px] = pen.color;
        }
    }
}

void Canvas::fillTarget(Rect area, Color c) {
    area = area.intersect(clip_);
    if (area.empty()) {
        return;
    }
    for (int y = area.top; y < area.bottom; ++y) {
        std::fill(target_->row(y) + area.left, target_->row(y) + area.right, c);
    }
}

void Canvas::fillRect(const Rect& r) {
    fillTarget({pinned(std::int64_t{r.left} + origin_.x), pinned(std::int64_t{r.top} + origin_.y),
                pinned(std::int64_t{r.right} + origin_.x), pinned(std::int64_t{r.bottom} + origin_.y)},
               brush.color);
}

void Canvas::frameRect(const Rect& r) {
    if (r.empty()) {
        return;
    }
    const Color saved = brush.color;
    fillRect({r.left, r.top, r.right, r.top + 1});
    fillRect({r.left, r.bottom - 1, r.right, r.bottom});
    fillRect({r.left, r.top + 1, r.left + 1, r.bottom - 1});
    fillRect({r.right - 1, r.top + 1, r.right, r.bottom - 1});
    brush.color = saved;
}

void Canvas::rectangle(int left, int top, int right, int bottom) {
    const Rect r{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    if (r.empty()) {
        return;
    }
    const Brush saved = brush;
    if (brush.style == BrushStyle::Solid) {
        fillRect({r.left + 1, r.top + 1, r.right - 1, r.bottom - 1});
    }
    brush.color = pen.color;
    frameRect(r);
    brush = saved;
}

int Canvas::textWidth(std::string_view text) const {
    return faceFor(font).textWidth(text);
}

int Canvas::textHeight() const {
    return faceFor(font).lineHeight;
}

void Canvas::textOut(int x, int y, std::string_view text) {
    const FontFace& face = faceFor(font);
    const std::int64_t baseline = std::int64_t{y} + origin_.y + face.ascent;
    std::int64_t penX = std::int64_t{x} + origin_.x;
    for (char c : text) {
        if (penX >= clip_.right) {
            break;
        }
        const Glyph& g = face.glyph(c);
        const std::int64_t boxLeft = penX + g.left;
        const std::int64_t boxTop = baseline - g.top;
        for (int row = 0; row < g.height; ++row) {
            const std::int64_t ty = boxTop + row;
            if (ty < clip_.top || ty >= clip_.bottom) {
                continue;
            }
            const std::uint8_t* coverage = face.coverage + g.offset + static_cast<std::size_t>(row) * g.width;
            Color* line = target_->row(static_cast<int>(ty));
            for (int col = 0; col < g.width; ++col) {
                const std::int64_t tx = boxLeft + col;
                if (coverage[col] != 0 && tx >= clip_.left && tx < clip_.right) {
                    line[tx] = mix(font.color, line[tx], coverage[col]);
                }
            }
        }
        penX += g.advance;
    }
}

namespace {

// The part of a picture placed at target (tx, ty) that lands inside `clip`, in target coordinates.
Rect placedArea(std::int64_t tx, std::int64_t ty, int width, int height, const Rect& clip) {
    const Rect placed{pinned(tx), pinned(ty), pinned(tx + width), pinned(ty + height)};
    return placed.intersect(clip);
}

} // namespace

void Canvas::draw(int x, int y, const PixelMap& picture) {
    const std::int64_t tx = std::int64_t{x} + origin_.x;
    const std::int64_t ty = std::int64_t{y} + origin_.y;
    const Rect area = placedArea(tx, ty, picture.width(), picture.height(), clip_);
    for (int row = area.top; row < area.bottom; ++row) {
        const Color* source = picture.row(static_cast<int>(row - ty));
        std::copy(source + (area.left - tx), source + (area.right - tx), target_->row(row) + area.left);
    }
}

} // namespace ui

// Software drawing on a PixelMap. A canvas has an origin and a clip rectangle: a control paints through a
// canvas whose origin is its own top-left corner and whose clip is the part of it that is on screen, so it
// never draws outside itself. Pen, brush and font work as on a Windows device context, with 1-pixel pens.
#pragma once

#include <string_view>

#include "ui/Font.h"
#include "ui/Geometry.h"
#include "ui/PixelMap.h"

namespace ui {

struct Pen {
    Color color = clBlack;
};

enum class BrushStyle { Solid, Clear };

struct Brush {
    Color color = clWhite;
    BrushStyle style = BrushStyle::Solid;
};

class Canvas {
public:
    // Draws on the whole of `target`, origin at its top-left corner.
    explicit Canvas(PixelMap& target);

    // A canvas for the part `area` (in this canvas's coordinates): origin at area's top-left corner, clipped
    // to area and to this canvas's clip. Pen, brush and font start fresh.
    Canvas region(const Rect& area) const;
    // Narrows the clip further (local coordinates).
    void clipTo(const Rect& area);
    // The clip in local coordinates.
    Rect clipRect() const;

    Pen pen;
    Brush brush;
    Font font;

    Color pixel(int x, int y) const;
    void setPixel(int x, int y, Color c);

    // Lines from the pen position; the end point is not drawn and becomes the new pen position.
    void moveTo(int x, int y);
    void lineTo(int x, int y);
    Point penPosition() const { return penPos_; }

    // Outline in the pen colour on the border of left..right-1 x top..bottom-1, inside filled with the brush
    // unless its style is Clear. Swapped corners are put in order; an empty rectangle draws nothing.
    void rectangle(int left, int top, int right, int bottom);
    void rectangle(const Rect& r) { rectangle(r.left, r.top, r.right, r.bottom); }
    // Brush colour over the whole rectangle, whatever the brush style.
    void fillRect(const Rect& r);
    // A 1-pixel border in the brush colour, as Windows' FrameRect.
    void frameRect(const Rect& r);

    // Text in `font` with a transparent background; (x, y) is the top-left corner of the text line.
    void textOut(int x, int y, std::string_view text);
    int textWidth(std::string_view text) const;
    int textHeight() const;

    // A picture with its top-left corner at (x, y).
    void draw(int x, int y, const PixelMap& picture);

private:
    Canvas(PixelMap& target, Point origin, Rect clip);
    // Clip in target coordinates.
    bool visible(int tx, int ty) const { return clip_.contains(tx, ty); }
    void fillTarget(Rect targetArea, Color c);
    static bool cutToReach(Point& from, Point& to);
    void drawLineClipped(int x0, int y0, int x1, int y1);

    PixelMap* target_;
    Point origin_;
    Rect clip_; // target coordinates, always inside the target
    Point penPos_;
};

} // namespace ui

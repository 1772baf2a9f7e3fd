#pragma once

#include "base/ZuString.h"
#include "ui/core/ZuGeometry.h"
#include "ui/core/ZuObject.h"
#include "ui/paint/ZuColor.h"
#include "ui/paint/ZuFont.h"
#include "ui/paint/ZuPaintSurface.h"
#include "ui/paint/ZuRegion.h"
#include "ui/paint/ZuTransform.h"
#include "ui/resource/ZuPixmap.h"

// An integer rectangle by its edges, both inclusive: width = right - left + 1.
struct ZuEdgeRect {
    int left = 0, top = 0, right = -1, bottom = -1;
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
    static ZuEdgeRect fromXywh(int x, int y, int w, int h) { return {x, y, x + w - 1, y + h - 1}; }
    bool operator==(const ZuEdgeRect&) const = default;
};

// How a new clip meets the current one.
enum ZuClipMode { ZuClipReplace = 1, ZuClipIntersect = 2, ZuClipUnion = 3 };

// All drawing of the toolkit, for one paint pass over one surface. Pens are
// one pixel wide; a surface without a graphics object draws nothing.
class ZuPainter : public ZuObject {
public:
    explicit ZuPainter(ZuPaintSurface* surface, ZuObject* parent = nullptr);

    ZuPaintSurface* surface() const { return m_surface; }
    bool isActive() const { return m_surface && m_surface->graphics(); }
    // Status of the last GDI+ call (0 is Ok).
    int lastStatus() const { return m_status; }

    void fillRect(const ZuRectF& rect, ZuColor colour);
    void drawRect(const ZuRectF& rect, ZuColor colour);
    void drawLine(const ZuPointF& from, const ZuPointF& to, ZuColor colour);
    // The picture scaled into the rectangle.
    void drawPixmap(double x, double y, double width, double height, const ZuPixmap& pixmap);
    // Part of the picture into part of the surface, both as inclusive edges.
    void drawPixmapPart(const ZuEdgeRect& dest, const ZuPixmap& pixmap, const ZuEdgeRect& source);
    // Nine-slice border with tiled edges at 1:1; corners only where both of
    // their margins are set; the centre is left to the caller.
    void drawBorderImage(const ZuEdgeRect& dest, const ZuPixmap& pixmap, const ZuMargins& margins);
    void drawText(const ZuRectF& rect, const ZuString& text, const ZuFont& font);

    void save();
    void restore();
    void setTransform(const ZuTransform& transform);
    void setClipRect(const ZuRectF& rect, int mode = ZuClipReplace);
    void setClipRegion(const ZuRegion& region, int mode = ZuClipReplace);
    void resetClip();

    // The whole layer at (0, 0) with its opacity as the alpha scale.
    void compositeLayer(const ZuLayer& layer);

    // The font for drawing: the family by name, else the generic sans-serif
    // family; the caller deletes it. Null when neither works.
    static Gdiplus::GpFont* createFont(const ZuFont& font);
    // The laid-out bounding rectangle without limits; all zero when the
    // family does not exist (no fallback when measuring).
    static ZuRectF measureText(const ZuString& text, const ZuFont& font);
    // (0, 0, w, h) for a layout box `width` wide: w rounded up to a whole pixel.
    static ZuRectF measureTextWrapped(const ZuString& text, const ZuFont& font, double width);

private:
    Gdiplus::GpGraphics* target() const { return m_surface ? m_surface->graphics() : nullptr; }
    void track(Gdiplus::GpStatus status) { m_status = status; }

    ZuPaintSurface* m_surface;
    int m_status = 0;
};

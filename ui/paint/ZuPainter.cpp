#include "ui/paint/ZuPainter.h"

#include "ui/paint/ZuRenderSettings.h"

using Gdiplus::REAL;

namespace {
REAL f(double v) {
    return static_cast<REAL>(v);
}

Gdiplus::CombineMode combineMode(int mode) {
    switch (mode) {
    case ZuClipIntersect:
        return Gdiplus::CombineModeIntersect;
    case ZuClipUnion:
        return Gdiplus::CombineModeUnion;
    default:
        return Gdiplus::CombineModeReplace;
    }
}

// Generic default format with the extra flags; the caller deletes it.
Gdiplus::GpStringFormat* makeFormat(const ZuGdiplusApi* gdip, INT extraFlags) {
    Gdiplus::GpStringFormat* generic = nullptr;
    Gdiplus::GpStringFormat* format = nullptr;
    if (gdip->GdipStringFormatGetGenericDefault(&generic) != Gdiplus::Ok || !generic)
        return nullptr;
    if (gdip->GdipCloneStringFormat(generic, &format) != Gdiplus::Ok)
        return nullptr;
    INT flags = 0;
    gdip->GdipGetStringFormatFlags(format, &flags);
    gdip->GdipSetStringFormatFlags(format, flags | extraFlags);
    return format;
}

constexpr INT kMeasureTrailingSpaces = 0x800;
constexpr INT kNoClip = 0x4000;

// Measuring uses the family by name only: a missing family measures as nothing.
ZuRectF measure(const ZuString& text, const ZuFont& font, const Gdiplus::RectF& layout, INT flags, bool wrapped) {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || text.isEmpty())
        return {};
    ZuRectF result;
    HDC dc = CreateCompatibleDC(nullptr);
    Gdiplus::GpGraphics* graphics = nullptr;
    Gdiplus::GpFontFamily* family = nullptr;
    Gdiplus::GpFont* gpFont = nullptr;
    Gdiplus::GpStringFormat* format = nullptr;
    if (dc && gdip->GdipCreateFromHDC(dc, &graphics) == Gdiplus::Ok &&
        gdip->GdipCreateFontFamilyFromName(font.family.c_str(), nullptr, &family) == Gdiplus::Ok &&
        gdip->GdipCreateFont(family, f(font.size), font.style, Gdiplus::UnitPixel, &gpFont) == Gdiplus::Ok &&
        (format = makeFormat(gdip, flags)) != nullptr) {
        ZuRenderSettings::instance().apply(graphics);
        Gdiplus::RectF box{};
        if (gdip->GdipMeasureString(graphics, text.constData(), text.length(), gpFont, &layout, format, &box, nullptr,
                                    nullptr) == Gdiplus::Ok) {
            if (wrapped) {
                double w = box.Width;
                double whole = static_cast<double>(static_cast<long long>(w));
                result = {0, 0, whole < w ? whole + 1 : whole, box.Height};
            } else {
                result = {box.X, box.Y, box.Width, box.Height};
            }
        }
    }
    if (format)
        gdip->GdipDeleteStringFormat(format);
    if (gpFont)
        gdip->GdipDeleteFont(gpFont);
    if (family)
        gdip->GdipDeleteFontFamily(family);
    if (graphics)
        gdip->GdipDeleteGraphics(graphics);
    if (dc)
        DeleteDC(dc);
    return result;
}
} // namespace

ZuPainter::ZuPainter(ZuPaintSurface* surface, ZuObject* parent) : ZuObject(parent), m_surface(surface) {}

void ZuPainter::fillRect(const ZuRectF& r, ZuColor colour) {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !target())
        return;
    Gdiplus::GpSolidFill* brush = nullptr;
    track(gdip->GdipCreateSolidFill(colour.argb(), &brush));
    if (!brush)
        return;
    track(gdip->GdipFillRectangle(target(), brush, f(r.x), f(r.y), f(r.width), f(r.height)));
    gdip->GdipDeleteBrush(brush);
}

void ZuPainter::drawRect(const ZuRectF& r, ZuColor colour) {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !target())
        return;
    Gdiplus::GpPen* pen = nullptr;
    track(gdip->GdipCreatePen1(colour.argb(), 1.0f, Gdiplus::UnitPixel, &pen));
    if (!pen)
        return;
    track(gdip->GdipDrawRectangle(target(), pen, f(r.x), f(r.y), f(r.width), f(r.height)));
    gdip->GdipDeletePen(pen);
}

void ZuPainter::drawLine(const ZuPointF& from, const ZuPointF& to, ZuColor colour) {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !target())
        return;
    Gdiplus::GpPen* pen = nullptr;
    track(gdip->GdipCreatePen1(colour.argb(), 1.0f, Gdiplus::UnitPixel, &pen));
    if (!pen)
        return;
    track(gdip->GdipDrawLine(target(), pen, f(from.x), f(from.y), f(to.x), f(to.y)));
    gdip->GdipDeletePen(pen);
}

void ZuPainter::drawPixmap(double x, double y, double width, double height, const ZuPixmap& pixmap) {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !target() || pixmap.isNull())
        return;
    track(gdip->GdipDrawImageRect(target(), pixmap.image()->bitmap(), f(x), f(y), f(width), f(height)));
}

void ZuPainter::drawPixmapPart(const ZuEdgeRect& dest, const ZuPixmap& pixmap, const ZuEdgeRect& source) {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !target() || pixmap.isNull())
        return;
    track(gdip->GdipDrawImageRectRect(target(), pixmap.image()->bitmap(), f(dest.left), f(dest.top), f(dest.width()),
                                      f(dest.height()), f(source.left), f(source.top), f(source.width()),
                                      f(source.height()), Gdiplus::UnitPixel, nullptr, nullptr, nullptr));
}

void ZuPainter::drawBorderImage(const ZuEdgeRect& dest, const ZuPixmap& pixmap, const ZuMargins& m) {
    if (!target() || pixmap.isNull())
        return;
    const int W = pixmap.width(), H = pixmap.height();
    const int l = m.left, t = m.top, r = m.right, b = m.bottom;
    const int cw = W - l - r, ch = H - t - b;
    // One piece at 1:1: source (x, y, w, h) to the point (dx, dy).
    auto piece = [&](int sx, int sy, int w, int h, int dx, int dy) {
        if (w > 0 && h > 0)
            drawPixmapPart(ZuEdgeRect::fromXywh(dx, dy, w, h), pixmap, ZuEdgeRect::fromXywh(sx, sy, w, h));
    };
    if (l >= 1 && t >= 1)
        piece(0, 0, l, t, dest.left, dest.top);
    if (r >= 1 && t >= 1)
        piece(l + cw, 0, r, t, dest.right - r + 1, dest.top);
    if (l >= 1 && b >= 1)
        piece(0, t + ch, l, b, dest.left, dest.bottom - b + 1);
    if (r >= 1 && b >= 1)
        piece(l + cw, t + ch, r, b, dest.right - r + 1, dest.bottom - b + 1);

    if (cw > 0 && (t >= 1 || b >= 1)) {
        int free = dest.width() - l - r;
        for (int done = 0; free > 0 && done < free; done += cw) {
            int w = free - done < cw ? free - done : cw;
            int x = dest.left + l + done;
            if (t >= 1)
                piece(l, 0, w, t, x, dest.top);
            if (b >= 1)
                piece(l, t + ch, w, b, x, dest.bottom - b + 1);
        }
    }
    if (ch >= 1 && (l >= 1 || r >= 1)) {
        int free = dest.height() - t - b;
        for (int done = 0; free > 0 && done < free; done += ch) {
            int h = free - done < ch ? free - done : ch;
            int y = dest.top + t + done;
            if (l >= 1)
                piece(0, t, l, h, dest.left, y);
            if (r >= 1)
                piece(l + cw, t, r, h, dest.right - r + 1, y);
        }
    }
}

void ZuPainter::drawText(const ZuRectF& rect, const ZuString& text, const ZuFont& font) {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !target() || text.isEmpty())
        return;
    ZuColor colour = zuFontColor(font);
    // Opaque text is drawn at 254: fully opaque anti-aliased text on a
    // transparent layered surface loses its edges.
    if (colour.alpha == 255)
        colour.alpha = 254;
    Gdiplus::GpSolidFill* brush = nullptr;
    Gdiplus::GpFont* gpFont = createFont(font);
    Gdiplus::GpStringFormat* format = makeFormat(gdip, kMeasureTrailingSpaces);
    gdip->GdipCreateSolidFill(colour.argb(), &brush);
    if (brush && gpFont && format) {
        Gdiplus::RectF layout{f(rect.x), f(rect.y), f(rect.width), f(rect.height)};
        track(gdip->GdipDrawString(target(), text.constData(), text.length(), gpFont, &layout, format, brush));
    }
    if (brush)
        gdip->GdipDeleteBrush(brush);
    if (gpFont)
        gdip->GdipDeleteFont(gpFont);
    if (format)
        gdip->GdipDeleteStringFormat(format);
}

void ZuPainter::save() {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !target())
        return;
    Gdiplus::GraphicsState state = 0;
    track(gdip->GdipSaveGraphics(target(), &state));
    m_surface->savedStates().push_back(state);
}

void ZuPainter::restore() {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !target() || m_surface->savedStates().empty())
        return;
    Gdiplus::GraphicsState state = m_surface->savedStates().back();
    m_surface->savedStates().pop_back();
    track(gdip->GdipRestoreGraphics(target(), state));
}

void ZuPainter::setTransform(const ZuTransform& t) {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !target())
        return;
    Gdiplus::GpMatrix* matrix = nullptr;
    track(gdip->GdipCreateMatrix2(0, 0, 0, 0, 0, 0, &matrix));
    if (!matrix)
        return;
    gdip->GdipSetMatrixElements(matrix, f(t.m11()), f(t.m12()), f(t.m21()), f(t.m22()), f(t.dx()), f(t.dy()));
    track(gdip->GdipSetWorldTransform(target(), matrix));
    gdip->GdipDeleteMatrix(matrix);
}

void ZuPainter::setClipRect(const ZuRectF& r, int mode) {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !target())
        return;
    track(gdip->GdipSetClipRect(target(), f(r.x), f(r.y), f(r.width), f(r.height), combineMode(mode)));
}

void ZuPainter::setClipRegion(const ZuRegion& region, int mode) {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !target() || region.isNull())
        return;
    track(gdip->GdipSetClipRegion(target(), region.handle(), combineMode(mode)));
}

void ZuPainter::resetClip() {
    const ZuGdiplusApi* gdip = zuGdip();
    if (gdip && target())
        track(gdip->GdipResetClip(target()));
}

void ZuPainter::compositeLayer(const ZuLayer& layer) {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !target() || !layer.bitmap())
        return;
    Gdiplus::GpImageAttributes* attributes = nullptr;
    track(gdip->GdipCreateImageAttributes(&attributes));
    if (!attributes)
        return;
    Gdiplus::ColorMatrix matrix{};
    for (int i = 0; i < 5; ++i)
        matrix.m[i][i] = 1.0f;
    matrix.m[3][3] = f(layer.opacity());
    gdip->GdipSetImageAttributesColorMatrix(attributes, Gdiplus::ColorAdjustTypeBitmap, TRUE, &matrix, nullptr,
                                            Gdiplus::ColorMatrixFlagsDefault);
    REAL w = f(layer.width()), h = f(layer.height());
    track(gdip->GdipDrawImageRectRect(target(), layer.bitmap(), 0, 0, w, h, 0, 0, w, h, Gdiplus::UnitPixel, attributes,
                                      nullptr, nullptr));
    gdip->GdipDisposeImageAttributes(attributes);
}

Gdiplus::GpFont* ZuPainter::createFont(const ZuFont& font) {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip)
        return nullptr;
    auto sansSerif = [gdip]() {
        Gdiplus::GpFontFamily* family = nullptr;
        if (gdip->GdipGetGenericFontFamilySansSerif(&family) != Gdiplus::Ok)
            family = nullptr;
        return family;
    };
    Gdiplus::GpFontFamily* family = nullptr;
    if (gdip->GdipCreateFontFamilyFromName(font.family.c_str(), nullptr, &family) != Gdiplus::Ok || !family)
        family = sansSerif();
    Gdiplus::GpFont* gpFont = nullptr;
    if (family && gdip->GdipCreateFont(family, f(font.size), font.style, Gdiplus::UnitPixel, &gpFont) != Gdiplus::Ok)
        gpFont = nullptr;
    if (family)
        gdip->GdipDeleteFontFamily(family);
    if (!gpFont) {
        family = sansSerif();
        if (family && gdip->GdipCreateFont(family, f(font.size), font.style, Gdiplus::UnitPixel, &gpFont) != Gdiplus::Ok)
            gpFont = nullptr;
        if (family)
            gdip->GdipDeleteFontFamily(family);
    }
    return gpFont;
}

ZuRectF ZuPainter::measureText(const ZuString& text, const ZuFont& font) {
    return measure(text, font, Gdiplus::RectF{0, 0, 0, 0}, kMeasureTrailingSpaces, false);
}

ZuRectF ZuPainter::measureTextWrapped(const ZuString& text, const ZuFont& font, double width) {
    return measure(text, font, Gdiplus::RectF{0, 0, f(width), 0}, kMeasureTrailingSpaces | kNoClip, true);
}

#include "ui/paint/ZuRegion.h"

#include <utility>

ZuRegion::ZuRegion(const ZuRegion& other) {
    if (other.m_region)
        if (const ZuGdiplusApi* gdip = zuGdip())
            if (gdip->GdipCloneRegion(other.m_region, &m_region) != Gdiplus::Ok)
                m_region = nullptr;
}

ZuRegion& ZuRegion::operator=(ZuRegion other) noexcept {
    std::swap(m_region, other.m_region);
    return *this;
}

ZuRegion::~ZuRegion() {
    if (m_region)
        if (const ZuGdiplusApi* gdip = zuGdip())
            gdip->GdipDeleteRegion(m_region);
}

ZuRegion ZuRegion::roundRect(const ZuRect& rect, int radiusX, int radiusY) {
    ZuRegion region;
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip)
        return region;
    int right = rect.x + rect.width - 1, bottom = rect.y + rect.height - 1;
    HRGN native = CreateRoundRectRgn(rect.x, rect.y, right + 2, bottom + 2, radiusX, radiusY);
    if (!native)
        return region;
    if (gdip->GdipCreateRegionHrgn(native, &region.m_region) != Gdiplus::Ok)
        region.m_region = nullptr;
    DeleteObject(native);
    return region;
}

bool ZuRegion::contains(double x, double y) const {
    const ZuGdiplusApi* gdip = zuGdip();
    BOOL inside = FALSE;
    if (gdip && m_region)
        gdip->GdipIsVisibleRegionPoint(m_region, static_cast<Gdiplus::REAL>(x), static_cast<Gdiplus::REAL>(y), nullptr,
                                       &inside);
    return inside != FALSE;
}

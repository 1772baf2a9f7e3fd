#pragma once

#include "ui/core/ZuGdiplus.h"
#include "ui/core/ZuGeometry.h"

// A GDI+ clip region that items and windows own by value (copies clone it).
class ZuRegion {
public:
    ZuRegion() = default;
    ZuRegion(const ZuRegion& other);
    ZuRegion(ZuRegion&& other) noexcept : m_region(other.m_region) { other.m_region = nullptr; }
    ZuRegion& operator=(ZuRegion other) noexcept;
    ~ZuRegion();

    // Rounded rectangle over (left, top, right + 2, bottom + 2), as the frame
    // window clips its corners; `rect` is x, y, width, height.
    static ZuRegion roundRect(const ZuRect& rect, int radiusX, int radiusY);

    bool isNull() const { return !m_region; }
    bool contains(double x, double y) const;
    Gdiplus::GpRegion* handle() const { return m_region; }

private:
    Gdiplus::GpRegion* m_region = nullptr;
};

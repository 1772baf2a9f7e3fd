#pragma once

#include <cstdint>

// Plain geometry records shared by items, variants and painting.
struct ZuRectF {
    double x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ZuRectF&) const = default;
};
struct ZuRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ZuRect&) const = default;
};
struct ZuPointF {
    double x = 0, y = 0;
    bool operator==(const ZuPointF&) const = default;
};
struct ZuPoint {
    int32_t x = 0, y = 0;
    bool operator==(const ZuPoint&) const = default;
};
struct ZuSizeF {
    double width = 0, height = 0;
    bool operator==(const ZuSizeF&) const = default;
};
struct ZuSize {
    int32_t width = 0, height = 0;
    bool operator==(const ZuSize&) const = default;
};
struct ZuMargins {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const ZuMargins&) const = default;
};

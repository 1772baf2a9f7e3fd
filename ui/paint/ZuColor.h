#pragma once

#include <cstdint>

// Four bytes red, green, blue, alpha (in that order in memory); GDI+ takes
// them as one ARGB word.
struct ZuColor {
    uint8_t red = 0, green = 0, blue = 0, alpha = 255;

    constexpr uint32_t argb() const {
        return (uint32_t(alpha) << 24) | (uint32_t(red) << 16) | (uint32_t(green) << 8) | uint32_t(blue);
    }
    static constexpr ZuColor fromArgb(uint32_t argb) {
        return {uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb), uint8_t(argb >> 24)};
    }
    static constexpr ZuColor rgba(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255) { return {r, g, b, a}; }
    bool operator==(const ZuColor&) const = default;
};
static_assert(sizeof(ZuColor) == 4);

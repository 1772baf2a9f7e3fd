#pragma once

#include "ui/core/ZuGdiplus.h"
#include "ui/core/ZuGeometry.h"

#include <cstdint>
#include <vector>

// What a painter draws on: a GDI+ graphics object and the stack of states
// that save() pushed.
class ZuPaintSurface {
public:
    ZuPaintSurface() = default;
    ZuPaintSurface(const ZuPaintSurface&) = delete;
    ZuPaintSurface& operator=(const ZuPaintSurface&) = delete;
    virtual ~ZuPaintSurface();

    Gdiplus::GpGraphics* graphics() const { return m_graphics; }
    std::vector<Gdiplus::GraphicsState>& savedStates() { return m_states; }
    virtual int width() const = 0;
    virtual int height() const = 0;
    // The pixel as one ARGB word (0 outside the surface); for reading back what was drawn.
    virtual uint32_t pixel(int x, int y) const = 0;

protected:
    void dropGraphics();
    Gdiplus::GpGraphics* m_graphics = nullptr;
    std::vector<Gdiplus::GraphicsState> m_states;
};

// The 32-bit premultiplied back buffer of a native window: a DIB section in a
// memory device context, pushed to the layered window after painting.
class ZuBackBuffer : public ZuPaintSurface {
public:
    ZuBackBuffer();
    ~ZuBackBuffer() override;

    // A new, transparent DIB of that size; the graphics object is made again on the next begin.
    bool resize(int width, int height);
    // Empties the state stack, selects the DIB and makes the graphics object
    // when there is none yet (cleared to transparent).
    bool begin();
    // Selects the previous bitmap back into the context.
    void end();
    // Clears to transparent; an invalid rectangle clears everything. Needs the graphics object.
    void clearRect(const ZuRect& rect);

    HDC dc() const { return m_dc; }
    HBITMAP bitmap() const { return m_bitmap; }
    // Top-down rows of premultiplied BGRA words.
    const uint32_t* bits() const { return m_bits; }
    int width() const override { return m_width; }
    int height() const override { return m_height; }
    // Premultiplied, as the layered window receives it.
    uint32_t pixel(int x, int y) const override;

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    uint32_t* m_bits = nullptr;
    int m_width = 0, m_height = 0;
};

// An offscreen 32-bit ARGB bitmap that the scene paints an item into before
// compositing it with the item's opacity.
class ZuLayer : public ZuPaintSurface {
public:
    ZuLayer(int width, int height);
    ~ZuLayer() override;

    Gdiplus::GpBitmap* bitmap() const { return m_bitmap; }
    bool isValid() const { return m_graphics != nullptr; }
    int width() const override { return m_width; }
    int height() const override { return m_height; }
    uint32_t pixel(int x, int y) const override;

    double opacity() const { return m_opacity; }
    void setOpacity(double opacity) { m_opacity = opacity; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

private:
    Gdiplus::GpBitmap* m_bitmap = nullptr;
    int m_width, m_height;
    double m_opacity = 1.0;
    bool m_enabled = true;
};

#include "ui/paint/ZuPaintSurface.h"

#include "ui/paint/ZuRenderSettings.h"

ZuPaintSurface::~ZuPaintSurface() {
    dropGraphics();
}

void ZuPaintSurface::dropGraphics() {
    if (m_graphics) {
        if (const ZuGdiplusApi* gdip = zuGdip())
            gdip->GdipDeleteGraphics(m_graphics);
        m_graphics = nullptr;
    }
    m_states.clear();
}

ZuBackBuffer::ZuBackBuffer() : m_dc(CreateCompatibleDC(nullptr)) {}

ZuBackBuffer::~ZuBackBuffer() {
    dropGraphics();
    if (m_previous)
        SelectObject(m_dc, m_previous);
    if (m_bitmap)
        DeleteObject(m_bitmap);
    if (m_dc)
        DeleteDC(m_dc);
}

bool ZuBackBuffer::resize(int width, int height) {
    dropGraphics();
    end();
    if (m_bitmap) {
        DeleteObject(m_bitmap);
        m_bitmap = nullptr;
        m_bits = nullptr;
    }
    m_width = m_height = 0;
    if (!m_dc || width <= 0 || height <= 0)
        return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!m_bitmap)
        return false;
    m_bits = static_cast<uint32_t*>(bits);
    m_width = width;
    m_height = height;
    return true;
}

bool ZuBackBuffer::begin() {
    m_states.clear();
    if (!m_bitmap)
        return false;
    if (!m_previous)
        m_previous = SelectObject(m_dc, m_bitmap);
    const ZuGdiplusApi* gdip = zuGdip();
    if (!m_graphics && gdip) {
        if (gdip->GdipCreateFromHDC(m_dc, &m_graphics) != Gdiplus::Ok)
            m_graphics = nullptr;
        if (m_graphics) {
            ZuRenderSettings::instance().apply(m_graphics);
            gdip->GdipGraphicsClear(m_graphics, 0);
        }
    }
    return m_graphics != nullptr;
}

void ZuBackBuffer::end() {
    if (m_graphics)
        if (const ZuGdiplusApi* gdip = zuGdip())
            gdip->GdipFlush(m_graphics, Gdiplus::FlushIntentionSync);
    if (m_previous) {
        SelectObject(m_dc, m_previous);
        m_previous = nullptr;
    }
}

void ZuBackBuffer::clearRect(const ZuRect& rect) {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!m_graphics || !gdip)
        return;
    if (rect.width <= 0 || rect.height <= 0) {
        gdip->GdipGraphicsClear(m_graphics, 0);
        return;
    }
    Gdiplus::CompositingMode previous = Gdiplus::CompositingModeSourceOver;
    gdip->GdipGetCompositingMode(m_graphics, &previous);
    gdip->GdipSetCompositingMode(m_graphics, Gdiplus::CompositingModeSourceCopy);
    Gdiplus::GpSolidFill* brush = nullptr;
    if (gdip->GdipCreateSolidFill(0, &brush) == Gdiplus::Ok && brush) {
        gdip->GdipFillRectangle(m_graphics, brush, static_cast<Gdiplus::REAL>(rect.x), static_cast<Gdiplus::REAL>(rect.y),
                                static_cast<Gdiplus::REAL>(rect.width), static_cast<Gdiplus::REAL>(rect.height));
        gdip->GdipDeleteBrush(brush);
    }
    gdip->GdipSetCompositingMode(m_graphics, previous);
}

uint32_t ZuBackBuffer::pixel(int x, int y) const {
    if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    if (m_graphics)
        if (const ZuGdiplusApi* gdip = zuGdip())
            gdip->GdipFlush(m_graphics, Gdiplus::FlushIntentionSync);
    GdiFlush();
    return m_bits[static_cast<size_t>(y) * m_width + x];
}

ZuLayer::ZuLayer(int width, int height) : m_width(width), m_height(height) {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || width <= 0 || height <= 0)
        return;
    if (gdip->GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &m_bitmap) != Gdiplus::Ok) {
        m_bitmap = nullptr;
        return;
    }
    if (gdip->GdipGetImageGraphicsContext(m_bitmap, &m_graphics) != Gdiplus::Ok) {
        m_graphics = nullptr;
        return;
    }
    ZuRenderSettings::instance().apply(m_graphics);
    gdip->GdipGraphicsClear(m_graphics, 0);
}

ZuLayer::~ZuLayer() {
    dropGraphics();
    if (m_bitmap)
        if (const ZuGdiplusApi* gdip = zuGdip())
            gdip->GdipDisposeImage(m_bitmap);
}

uint32_t ZuLayer::pixel(int x, int y) const {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !m_bitmap || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    if (m_graphics)
        gdip->GdipFlush(m_graphics, Gdiplus::FlushIntentionSync);
    Gdiplus::ARGB value = 0;
    gdip->GdipBitmapGetPixel(m_bitmap, x, y, &value);
    return value;
}

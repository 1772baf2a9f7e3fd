#include "ui/resource/ZuImage.h"

#include "ui/core/ZuDebugOutput.h"

#include <cstring>

namespace {
// The time dimension of animated pictures.
const GUID kFrameDimensionTime = {0x6aedbd6d, 0x3fb5, 0x418a, {0x83, 0xa6, 0x7f, 0x45, 0x22, 0x9d, 0xc8, 0x72}};
constexpr PROPID kPropertyTagFrameDelay = 0x5100;
} // namespace

ZuImage::ZuImage(int id, std::wstring address, Gdiplus::GpBitmap* bitmap)
    : m_id(id), m_address(std::move(address)), m_bitmap(bitmap) {
    if (const ZuGdiplusApi* gdip = zuGdip(); gdip && m_bitmap) {
        UINT w = 0, h = 0;
        gdip->GdipGetImageWidth(m_bitmap, &w);
        gdip->GdipGetImageHeight(m_bitmap, &h);
        m_width = static_cast<int>(w);
        m_height = static_cast<int>(h);
    }
    initFrames();
}

ZuImage::~ZuImage() {
    disposeBitmap();
}

void ZuImage::release() {
    if (--m_refCount == 0)
        delete this;
}

void ZuImage::disposeBitmap() {
    if (m_bitmap) {
        if (const ZuGdiplusApi* gdip = zuGdip())
            gdip->GdipDisposeImage(m_bitmap);
        m_bitmap = nullptr;
    }
    m_width = m_height = 0;
    m_frameCount = 0;
    m_currentFrame = 0;
    m_frameDelays.clear();
}

void ZuImage::initFrames() {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !m_bitmap)
        return;
    UINT dimensions = 0;
    Gdiplus::GpStatus status = gdip->GdipImageGetFrameDimensionsCount(m_bitmap, &dimensions);
    if (status != Gdiplus::Ok || dimensions == 0) {
        zuDebugLine(L"ZuImage::initFrames", static_cast<long long>(status));
        return;
    }
    std::vector<GUID> ids(dimensions);
    status = gdip->GdipImageGetFrameDimensionsList(m_bitmap, ids.data(), dimensions);
    if (status != Gdiplus::Ok) {
        zuDebugLine(L"ZuImage::initFrames", static_cast<long long>(status));
        return;
    }
    UINT count = 0;
    gdip->GdipImageGetFrameCount(m_bitmap, &ids[0], &count);
    m_frameCount = static_cast<int>(count);
    m_currentFrame = 0;
    if (m_frameCount < 2)
        return;
    UINT size = 0;
    if (gdip->GdipGetPropertyItemSize(m_bitmap, kPropertyTagFrameDelay, &size) != Gdiplus::Ok ||
        size < sizeof(Gdiplus::PropertyItem))
        return;
    std::vector<uint64_t> storage((size + 7) / 8); // aligned for the item header
    auto* item = reinterpret_cast<Gdiplus::PropertyItem*>(storage.data());
    if (gdip->GdipGetPropertyItem(m_bitmap, kPropertyTagFrameDelay, size, item) != Gdiplus::Ok || !item->value)
        return;
    size_t values = item->length / sizeof(uint32_t);
    m_frameDelays.resize(values);
    std::memcpy(m_frameDelays.data(), item->value, values * sizeof(uint32_t));
}

void ZuImage::setActiveFrame(int index) {
    if (m_frameCount < 2)
        return;
    int frame = index % m_frameCount;
    if (frame < 0)
        frame += m_frameCount;
    m_currentFrame = frame;
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !m_bitmap)
        return;
    Gdiplus::GpStatus status = gdip->GdipImageSelectActiveFrame(m_bitmap, &kFrameDimensionTime, static_cast<UINT>(frame));
    if (status != Gdiplus::Ok)
        zuDebugLine(L"ZuImage::setActiveFrame", static_cast<long long>(status));
}

int ZuImage::currentFrameDelay() const {
    if (m_frameCount < 2 || m_currentFrame >= static_cast<int>(m_frameDelays.size()))
        return 0;
    return static_cast<int>(m_frameDelays[m_currentFrame] * 10);
}

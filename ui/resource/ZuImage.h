#pragma once

#include "ui/core/ZuGdiplus.h"

#include <cstdint>
#include <string>
#include <vector>

// One decoded picture with its animation frames, shared by counted
// references (ZuPixmap) and kept by the image cache for the whole run.
class ZuImage {
public:
    // Takes ownership of `bitmap`; reads its frames.
    ZuImage(int id, std::wstring address, Gdiplus::GpBitmap* bitmap);
    ZuImage(const ZuImage&) = delete;
    ZuImage& operator=(const ZuImage&) = delete;

    void addRef() { ++m_refCount; }
    // Deletes the image with its last reference.
    void release();
    int refCount() const { return m_refCount; }

    int id() const { return m_id; }
    const std::wstring& address() const { return m_address; }
    Gdiplus::GpBitmap* bitmap() const { return m_bitmap; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    int frameCount() const { return m_frameCount; }
    int currentFrame() const { return m_currentFrame; }
    // Only with two or more frames: selects frame index modulo the count.
    void setActiveFrame(int index);
    // Milliseconds; 0 with fewer than two frames.
    int currentFrameDelay() const;
    const std::vector<uint32_t>& frameDelays() const { return m_frameDelays; }

    // GDI+ is about to end: the bitmap goes now, the image reads as empty.
    void disposeBitmap();

private:
    ~ZuImage();
    void initFrames();

    int m_refCount = 1;
    int m_id;
    std::wstring m_address;
    Gdiplus::GpBitmap* m_bitmap;
    int m_width = 0, m_height = 0;
    std::vector<uint32_t> m_frameDelays; // hundredths of a second
    int m_frameCount = 0;
    int m_currentFrame = 0;
};

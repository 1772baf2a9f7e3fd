#pragma once

#include "ui/core/ZuGeometry.h"
#include "ui/resource/ZuImage.h"

#include <string>

// The picture value that items hold: a counted reference to a cached image,
// or to none. Copying adds a reference.
class ZuPixmap {
public:
    ZuPixmap() = default;
    // Adopts one reference that the caller already holds.
    explicit ZuPixmap(ZuImage* adopted) : m_image(adopted) {}
    ZuPixmap(const ZuPixmap& other);
    ZuPixmap(ZuPixmap&& other) noexcept : m_image(other.m_image) { other.m_image = nullptr; }
    ZuPixmap& operator=(ZuPixmap other) noexcept;
    ~ZuPixmap();

    bool isNull() const { return !m_image || !m_image->bitmap(); }
    ZuImage* image() const { return m_image; }
    int width() const { return m_image ? m_image->width() : 0; }
    int height() const { return m_image ? m_image->height() : 0; }
    ZuSize size() const { return {width(), height()}; }

private:
    ZuImage* m_image = nullptr;
};

// The pixmap for a resource id or address ("zugui:shadow.png", "setup:title.png",
// "C:/dir/picture.png"); empty when there are no bytes or they do not decode.
// Every load of one address yields the same image.
ZuPixmap loadPixmap(const std::wstring& url);

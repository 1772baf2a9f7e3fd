#pragma once

#include "ui/resource/ZuImage.h"
#include "ui/resource/ZuPixmap.h"

#include <map>
#include <string>

// Decodes each address once and keeps the image for the whole run; it holds
// one reference to every image it made.
class ZuImageCache {
public:
    static ZuImageCache* instance();

    // A new reference to the cached image, or null.
    ZuImage* find(const std::wstring& address);
    ZuImage* findById(int id);
    // Decodes `bytes` with GDI+ and caches the result under `address`; null
    // (and nothing cached) when decoding fails.
    ZuImage* decode(const std::wstring& address, const uint8_t* bytes, size_t size);
    size_t size() const { return m_byAddress.size(); }
    // Before GDI+ ends: every bitmap goes, every cache reference is dropped.
    void releaseAll();

private:
    std::map<std::wstring, ZuImage*> m_byAddress;
    std::map<int, ZuImage*> m_byId;
    int m_nextId = 1;
};

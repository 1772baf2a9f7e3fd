#include "ui/resource/ZuImageCache.h"

#include "ui/core/ZuDebugOutput.h"

#include <atomic>
#include <cstring>

ZuImageCache* ZuImageCache::instance() {
    static std::atomic<ZuImageCache*> cache{nullptr};
    ZuImageCache* current = cache.load();
    if (!current) {
        auto* made = new ZuImageCache;
        if (cache.compare_exchange_strong(current, made)) {
            current = made;
            ZuGdiplus::addShutdownHook([] { ZuImageCache::instance()->releaseAll(); }, true);
        } else {
            delete made;
        }
    }
    return current;
}

ZuImage* ZuImageCache::find(const std::wstring& address) {
    auto it = m_byAddress.find(address);
    if (it == m_byAddress.end())
        return nullptr;
    it->second->addRef();
    return it->second;
}

ZuImage* ZuImageCache::findById(int id) {
    auto it = m_byId.find(id);
    if (it == m_byId.end())
        return nullptr;
    it->second->addRef();
    return it->second;
}

ZuImage* ZuImageCache::decode(const std::wstring& address, const uint8_t* bytes, size_t size) {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !bytes || size == 0)
        return nullptr;
    HGLOBAL memory = GlobalAlloc(GMEM_FIXED, size);
    if (!memory)
        return nullptr;
    std::memcpy(reinterpret_cast<void*>(memory), bytes, size);
    IStream* stream = nullptr;
    // The stream frees the block when it is released.
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream)) || !stream) {
        GlobalFree(memory);
        return nullptr;
    }
    Gdiplus::GpBitmap* bitmap = nullptr;
    Gdiplus::GpStatus status = gdip->GdipCreateBitmapFromStream(stream, &bitmap);
    stream->Release();
    if (status != Gdiplus::Ok || !bitmap) {
        zuDebugLine(L"ZuImageCache::decode, not a picture:", static_cast<long long>(status));
        return nullptr;
    }
    auto* image = new ZuImage(m_nextId++, address, bitmap);
    m_byAddress[address] = image;
    m_byId[image->id()] = image;
    image->addRef(); // the caller's
    return image;
}

void ZuImageCache::releaseAll() {
    auto images = std::move(m_byAddress);
    m_byAddress.clear();
    m_byId.clear();
    for (auto& [address, image] : images) {
        // Pixmaps that outlive the session keep an empty image, never a dead bitmap.
        image->disposeBitmap();
        image->release();
    }
}

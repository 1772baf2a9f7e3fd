#include "ui/resource/ZuPixmap.h"

#include "artwork/ArtworkTables.h"
#include "ui/resource/ZuImageCache.h"
#include "ui/resource/ZuResourceLib.h"
#include "ui/resource/ZuUrl.h"

#include <utility>

ZuPixmap::ZuPixmap(const ZuPixmap& other) : m_image(other.m_image) {
    if (m_image)
        m_image->addRef();
}

ZuPixmap& ZuPixmap::operator=(ZuPixmap other) noexcept {
    std::swap(m_image, other.m_image);
    return *this;
}

ZuPixmap::~ZuPixmap() {
    if (m_image)
        m_image->release();
}

ZuPixmap loadPixmap(const std::wstring& url) {
    static const bool toolkitTable = registerResourceTable(zuGuiTable.count, zuGuiTable.names, zuGuiTable.block, zuGuiTable.sizes);
    (void)toolkitTable;
    ZuUrl address(url);
    std::wstring text = address.toString();
    ZuImageCache* cache = ZuImageCache::instance();
    if (ZuImage* cached = cache->find(text))
        return ZuPixmap(cached);
    ZuByteArray bytes = ZuResourceLib::instance()->data(address);
    if (bytes.isEmpty())
        return {};
    return ZuPixmap(cache->decode(text, bytes.data(), bytes.size()));
}

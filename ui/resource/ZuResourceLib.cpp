#include "ui/resource/ZuResourceLib.h"

#include "ui/core/ZuDebugOutput.h"
#include "ui/resource/ZuResourceMapping.h"

#include <atomic>

ZuResourceLib* ZuResourceLib::instance() {
    static std::atomic<ZuResourceLib*> registry{nullptr};
    ZuResourceLib* current = registry.load();
    if (!current) {
        auto* made = new ZuResourceLib;
        if (registry.compare_exchange_strong(current, made))
            current = made;
        else
            delete made;
    }
    return current;
}

ZuResourceLib::ZuResourceLib() {
    registerMapping(L"dll", createInstance(ZuResourceMappingDLL::staticRecord()));
    registerMapping(L"file", createInstance(ZuResourceMappingFile::staticRecord()));
}

bool ZuResourceLib::registerMapping(const std::wstring& scheme, ZuRttiObject* mapping) {
    auto* typed = zu_cast<ZuResourceMapping>(mapping);
    if (!typed || m_mappings.count(scheme))
        return false;
    m_mappings[scheme] = typed;
    return true;
}

ZuResourceMapping* ZuResourceLib::mapping(const std::wstring& scheme) const {
    auto it = m_mappings.find(scheme);
    return it == m_mappings.end() ? nullptr : it->second;
}

ZuByteArray ZuResourceLib::data(const ZuUrl& url) const {
    ZuResourceMapping* m = mapping(url.scheme());
    return m ? m->data(url) : ZuByteArray();
}

bool registerResourceTable(int count, const char* const* names, const uint8_t* block, const uint32_t* sizes) {
    ZuResourceLib* registry = ZuResourceLib::instance();
    ZuResourceMapping* dll = registry->mapping(L"dll");
    if (!dll) {
        ZuRttiObject* made = createInstance(ZuResourceMappingDLL::staticRecord());
        if (!registry->registerMapping(L"dll", made)) {
            delete made;
            zuDebugLine(L"registerResourceTable, no dll mapping.");
            return false;
        }
        dll = registry->mapping(L"dll");
    }
    if (!names || !sizes || count <= 0)
        return true;
    size_t offset = 0;
    for (int i = 0; i < count; ++i) {
        const uint8_t* start = block ? block + offset : nullptr;
        offset += sizes[i];
        ZuByteArray bytes = ZuByteArray::fromTableEntry(start, sizes[i]);
        if (bytes.isEmpty() || !names[i])
            continue;
        std::wstring address = L"dll:///";
        for (const char* c = names[i]; *c; ++c)
            address += static_cast<wchar_t>(static_cast<unsigned char>(*c));
        dll->add(ZuUrl(address), bytes);
    }
    return true;
}

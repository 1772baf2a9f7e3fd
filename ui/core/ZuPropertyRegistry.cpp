#include "ui/core/ZuPropertyRegistry.h"

#include <atomic>

namespace {
std::atomic<ZuPropertyRegistry*> g_properties{nullptr};

struct PropertiesReaper {
    ~PropertiesReaper() { delete g_properties.exchange(nullptr); }
} g_reaper;
} // namespace

ZuPropertyRegistry* ZuPropertyRegistry::instance() {
    ZuPropertyRegistry* current = g_properties.load(std::memory_order_acquire);
    if (current)
        return current;
    auto* mine = new ZuPropertyRegistry;
    if (g_properties.compare_exchange_strong(current, mine, std::memory_order_acq_rel))
        return mine;
    delete mine;
    return current;
}

bool ZuPropertyRegistry::registerProperty(const char* name, const ZuPropertyAccessor& accessor) {
    m_properties[name ? name : ""] = accessor;
    return true;
}

bool ZuPropertyRegistry::hasClassProperty(const char* name) const {
    return name && m_properties.count(name) != 0;
}

bool ZuPropertyRegistry::setClassProperty(ZuRttiObject* object, const char* name,
                                          const ZuVariant& value) const {
    if (!object || !name)
        return false;
    auto it = m_properties.find(name);
    if (it == m_properties.end() || !it->second.setter)
        return false;
    it->second.setter(object, value);
    return true;
}

ZuVariant ZuPropertyRegistry::classProperty(const ZuRttiObject* object, const char* name) const {
    if (!object || !name)
        return ZuVariant();
    auto it = m_properties.find(name);
    if (it == m_properties.end() || !it->second.getter)
        return ZuVariant();
    return it->second.getter(object);
}

#include "ui/core/ZuClassRecord.h"

#include <windows.h>

#include <atomic>

namespace {
int32_t g_tagCounter = 0;
std::atomic<ZuClassRegistry*> g_registry{nullptr};

struct RegistryReaper {
    ~RegistryReaper() { delete g_registry.exchange(nullptr); }
} g_reaper;
} // namespace

ZuClassRecord::ZuClassRecord(const char* name, int32_t tag, Factory factory, const ZuClassRecord* parent,
                             size_t instanceSize)
    : m_name(name), m_parent(parent), m_tag(tag ? tag : ++g_tagCounter), m_factory(factory),
      m_instanceSize(instanceSize) {
    ZuClassRegistry::instance()->registerRecord(this);
}

bool ZuClassRecord::isA(const ZuClassRecord* other) const {
    if (!other)
        return false;
    for (const ZuClassRecord* r = this; r; r = r->m_parent)
        if (r == other)
            return true;
    return false;
}

ZuClassRegistry* ZuClassRegistry::instance() {
    ZuClassRegistry* current = g_registry.load(std::memory_order_acquire);
    if (current)
        return current;
    auto* mine = new ZuClassRegistry;
    if (g_registry.compare_exchange_strong(current, mine, std::memory_order_acq_rel))
        return mine;
    delete mine; // another thread won
    return current;
}

bool ZuClassRegistry::registerRecord(const ZuClassRecord* record) {
    if (!record || !record->name())
        return false;
    if (m_byName.count(record->name()) || m_byTag.count(record->tag()))
        return false;
    m_byName.emplace(record->name(), record);
    m_byTag.emplace(record->tag(), record);
    return true;
}

const ZuClassRecord* ZuClassRegistry::recordByName(const char* name) const {
    if (!name)
        return nullptr;
    auto it = m_byName.find(name);
    return it == m_byName.end() ? nullptr : it->second;
}

const ZuClassRecord* ZuClassRegistry::recordByTag(int32_t tag) const {
    auto it = m_byTag.find(tag);
    return it == m_byTag.end() ? nullptr : it->second;
}

bool ZuClassRegistry::registrationHook(const char* name, const ZuClassRecord* (*record)()) {
    if (!instance()->recordByName(name))
        record();
    return true;
}

const ZuClassRecord* recordByName(const char* name) {
    return ZuClassRegistry::instance()->recordByName(name);
}

ZuRttiObject* createInstance(const ZuClassRecord* record) {
    return record && record->factory() ? record->factory()() : nullptr;
}

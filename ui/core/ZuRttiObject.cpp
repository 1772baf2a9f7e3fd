#include "ui/core/ZuRttiObject.h"

#include "ui/core/ZuObject.h"
#include "ui/core/ZuSignalReceiver.h"
#include "ui/core/ZuWeakRef.h"

const ZuClassRecord* ZuRttiObject::staticRecord() {
    static const ZuClassRecord* record =
        new ZuClassRecord("ZuRttiObject", ZU_TAG('R', 'T', 'T', 'I'), nullptr, nullptr, sizeof(ZuRttiObject));
    return record;
}

namespace {
const bool g_rttiRegistered = ZuClassRegistry::registrationHook("ZuRttiObject", &ZuRttiObject::staticRecord);
}

ZuRttiObject::~ZuRttiObject() {
    if (m_weakCell)
        ZuWeakRefRegistry::instance()->retire(this);
}

void ZuRttiObject::operator delete(ZuRttiObject* object, std::destroying_delete_t) noexcept {
    if (!object)
        return;
    // The complete object: a second base sits at an offset inside it.
    void* start = dynamic_cast<void*>(object);
    size_t size = object->classRecord()->instanceSize();
    ZuObject::clearGuardsWithin(start, size);
    ZuSignalReceiver::detachWithin(start, size);
    if (object->m_weakCell)
        ZuWeakRefRegistry::instance()->retire(object);
    object->~ZuRttiObject();
    mp_free(start);
}

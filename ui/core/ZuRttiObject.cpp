#include "ui/core/ZuRttiObject.h"

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

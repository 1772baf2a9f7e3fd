#pragma once

#include "ui/core/ZuRttiObject.h"
#include "ui/core/ZuWeakRef.h"

// Base of all toolkit events. The scene's event classes derive from it;
// signals dispatch on the exact `eventType()`.
class ZuEvent : public ZuRttiObject {
    ZU_DECLARE_CLASS(ZuEvent)
public:
    virtual const ZuClassRecord* eventType() const { return classRecord(); }

    bool isAccepted() const { return m_accepted; }
    void setAccepted(bool accepted) { m_accepted = accepted; }
    void accept() { m_accepted = true; }
    void ignore() { m_accepted = false; }
    ZuRttiObject* target() const { return m_target.get(); }
    void setTarget(ZuRttiObject* target) { m_target = target; }

private:
    bool m_accepted = false;
    ZuWeakRef m_target;
};

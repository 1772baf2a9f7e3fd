#pragma once

#include "base/ZuString.h"

#include <vector>

// Ownership base: an object owns its children and deletes them with itself.
// Guards are pointer variables that are set to null when the object dies.
class ZuObject {
public:
    explicit ZuObject(ZuObject* parent = nullptr);
    ZuObject(const ZuObject&) = delete;
    ZuObject& operator=(const ZuObject&) = delete;
    virtual ~ZuObject();

    // No-op for the current parent or itself; a descendant is refused (it would own its owner).
    void setParent(ZuObject* parent);
    ZuObject* parent() const { return m_parent; }
    void setName(const ZuString& name) { m_name = name; }
    const ZuString& name() const { return m_name; }
    const std::vector<ZuObject*>& children() const { return m_children; }

    void registerGuard(ZuObject** guard);
    void releaseGuard(ZuObject** guard);
    // Clears the guards of every object that lies in [start, start + size):
    // deletion calls it before the first destructor runs.
    static void clearGuardsWithin(const void* start, size_t size);

protected:
    // For owners whose children must go before the owner's own teardown.
    void deleteChildren();

private:
    ZuObject* m_parent = nullptr;
    ZuString m_name;
    std::vector<ZuObject*> m_children;
};

// A pointer that reads null once its object is destroyed.
template <typename T> class ZuGuardedPtr {
public:
    explicit ZuGuardedPtr(T* object = nullptr) { reset(object); }
    ZuGuardedPtr(const ZuGuardedPtr&) = delete;
    ZuGuardedPtr& operator=(const ZuGuardedPtr&) = delete;
    ~ZuGuardedPtr() { reset(nullptr); }

    void reset(T* object) {
        if (m_object)
            m_object->releaseGuard(&m_object);
        m_object = object;
        if (m_object)
            m_object->registerGuard(&m_object);
    }
    T* get() const { return static_cast<T*>(m_object); }
    T* operator->() const { return get(); }
    explicit operator bool() const { return m_object != nullptr; }

private:
    ZuObject* m_object = nullptr;
};

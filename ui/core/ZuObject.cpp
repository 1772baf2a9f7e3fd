#include "ui/core/ZuObject.h"

#include "ui/core/ZuDebugOutput.h"

#include <algorithm>
#include <map>

namespace {

// Object address to the addresses of the pointer variables guarding it.
std::map<const ZuObject*, std::vector<ZuObject**>>& guardMap() {
    static auto* guards = new std::map<const ZuObject*, std::vector<ZuObject**>>;
    return *guards;
}

} // namespace

ZuObject::ZuObject(ZuObject* parent) {
    setParent(parent);
}

ZuObject::~ZuObject() {
    clearGuardsWithin(this, 1);
    deleteChildren();
    setParent(nullptr);
}

void ZuObject::clearGuardsWithin(const void* start, size_t size) {
    auto& guards = guardMap();
    auto* begin = static_cast<const ZuObject*>(start);
    auto* end = reinterpret_cast<const ZuObject*>(static_cast<const char*>(start) + size);
    for (auto it = guards.lower_bound(begin); it != guards.end() && it->first < end;) {
        for (ZuObject** guard : it->second)
            if (guard)
                *guard = nullptr;
        it = guards.erase(it);
    }
}

void ZuObject::deleteChildren() {
    std::vector<ZuObject*> children;
    children.swap(m_children);
    for (ZuObject* child : children) {
        child->m_parent = nullptr; // its destruction must not touch the list being walked
        delete child;
    }
}

void ZuObject::setParent(ZuObject* parent) {
    if (parent == this || parent == m_parent)
        return;
    for (ZuObject* up = parent; up; up = up->m_parent) {
        if (up == this) {
            zuDebugLine(L"ZuObject::setParent, refused a descendant as parent.");
            return;
        }
    }
    if (m_parent) {
        auto& siblings = m_parent->m_children;
        siblings.erase(std::find(siblings.begin(), siblings.end(), this));
    }
    m_parent = parent;
    if (parent)
        parent->m_children.push_back(this);
}

void ZuObject::registerGuard(ZuObject** guard) {
    if (!guard)
        return;
    auto& list = guardMap()[this];
    auto empty = std::find(list.begin(), list.end(), nullptr);
    if (empty != list.end())
        *empty = guard;
    else
        list.push_back(guard);
}

void ZuObject::releaseGuard(ZuObject** guard) {
    auto& guards = guardMap();
    auto it = guards.find(this);
    if (it == guards.end())
        return;
    auto slot = std::find(it->second.begin(), it->second.end(), guard);
    if (slot != it->second.end())
        *slot = nullptr;
}

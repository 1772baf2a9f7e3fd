#include "ui/animation/ZuItemAnimations.h"

#include "ui/animation/ZuAbstractAnimation.h"
#include "ui/core/ZuWeakRef.h"
#include "ui/scene/ZuGraphicsItem.h"

#include <algorithm>
#include <map>

namespace {

// Stops an item's animations when the item is destroyed.
class DestroyWatcher : public ZuItemChangeListener {
public:
    DestroyWatcher() : ZuItemChangeListener(ZuGraphicsItem::ItemDestroyed) {}
    void itemNotify(uint32_t, ZuGraphicsItem* item, const ZuVariant&, const ZuVariant&) override {
        ZuItemAnimations::stopAndDetachAll(item); // deletes this watcher
    }
};

struct Entry {
    std::vector<ZuAbstractAnimation*> animations;
    DestroyWatcher* watcher = nullptr;
};

std::map<const ZuGraphicsItem*, Entry>& entries() {
    static auto* all = new std::map<const ZuGraphicsItem*, Entry>;
    return *all;
}

// Drops the item's entry and stops watching it.
void dropEntry(ZuGraphicsItem* item) {
    auto it = entries().find(item);
    if (it == entries().end())
        return;
    DestroyWatcher* watcher = it->second.watcher;
    entries().erase(it);
    if (watcher) {
        item->removeChangeListener(watcher);
        delete watcher;
    }
}

} // namespace

void ZuItemAnimations::attach(ZuAbstractAnimation* animation, ZuGraphicsItem* item) {
    if (!animation)
        return;
    ZuGraphicsItem* old = animation->m_attachedItem;
    if (old == item)
        return;
    if (old) {
        auto it = entries().find(old);
        if (it != entries().end()) {
            auto& list = it->second.animations;
            list.erase(std::remove(list.begin(), list.end(), animation), list.end());
            if (list.empty())
                dropEntry(old);
        }
        animation->m_attachedItem = nullptr;
        animation->itemDetached(old);
    }
    if (item) {
        Entry& entry = entries()[item];
        if (!entry.watcher) {
            entry.watcher = new DestroyWatcher;
            item->addChangeListener(entry.watcher);
        }
        entry.animations.push_back(animation);
        animation->itemAttached(item);
    }
}

std::vector<ZuAbstractAnimation*> ZuItemAnimations::of(const ZuGraphicsItem* item) {
    auto it = entries().find(item);
    return it == entries().end() ? std::vector<ZuAbstractAnimation*>() : it->second.animations;
}

void ZuItemAnimations::stopAndDetachAll(ZuGraphicsItem* item) {
    auto it = entries().find(item);
    if (it == entries().end())
        return;
    // A state callback may delete any of them: hold them weakly.
    std::vector<ZuWeakRef> list;
    for (ZuAbstractAnimation* animation : it->second.animations) {
        animation->m_attachedItem = nullptr;
        list.emplace_back(animation);
    }
    dropEntry(item);
    for (ZuWeakRef& ref : list) {
        if (auto* animation = static_cast<ZuAbstractAnimation*>(ref.get()))
            animation->stop();
        if (auto* animation = static_cast<ZuAbstractAnimation*>(ref.get()))
            animation->itemDetached(item);
    }
}

#include "ui/animation/ZuItemAnimations.h"

#include "ui/animation/ZuAbstractAnimation.h"
#include "ui/core/ZuWeakRef.h"

#include <algorithm>
#include <map>

namespace {

using List = std::vector<ZuAbstractAnimation*>;

std::map<const ZuGraphicsItem*, List>& lists() {
    static auto* all = new std::map<const ZuGraphicsItem*, List>;
    return *all;
}

void removeFrom(const ZuGraphicsItem* item, ZuAbstractAnimation* animation) {
    auto it = lists().find(item);
    if (it == lists().end())
        return;
    auto& list = it->second;
    list.erase(std::remove(list.begin(), list.end(), animation), list.end());
    if (list.empty())
        lists().erase(it);
}

} // namespace

void ZuItemAnimations::attach(ZuAbstractAnimation* animation, ZuGraphicsItem* item) {
    if (!animation)
        return;
    ZuGraphicsItem* old = animation->m_attachedItem;
    if (old == item)
        return;
    if (old) {
        removeFrom(old, animation);
        animation->m_attachedItem = nullptr;
        animation->itemDetached(old);
    }
    if (item) {
        lists()[item].push_back(animation);
        animation->itemAttached(item);
    }
}

std::vector<ZuAbstractAnimation*> ZuItemAnimations::of(const ZuGraphicsItem* item) {
    auto it = lists().find(item);
    return it == lists().end() ? List() : it->second;
}

void ZuItemAnimations::stopAndDetachAll(ZuGraphicsItem* item) {
    auto it = lists().find(item);
    if (it == lists().end())
        return;
    // A state callback may delete any of them: hold them weakly.
    std::vector<ZuWeakRef> list;
    for (ZuAbstractAnimation* animation : it->second) {
        animation->m_attachedItem = nullptr;
        list.emplace_back(animation);
    }
    lists().erase(it);
    for (ZuWeakRef& ref : list) {
        if (auto* animation = static_cast<ZuAbstractAnimation*>(ref.get()))
            animation->stop();
        if (auto* animation = static_cast<ZuAbstractAnimation*>(ref.get()))
            animation->itemDetached(item);
    }
}

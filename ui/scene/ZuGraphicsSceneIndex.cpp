#include "ui/scene/ZuGraphicsSceneIndex.h"

#include "ui/scene/ZuGraphicsItem.h"
#include "ui/scene/ZuGraphicsScene.h"

#include <algorithm>

ZU_DEFINE_CLASS(ZuGraphicsSceneIndex, ZuRttiObject, ZU_TAG('G', 'S', 'I', 'X'))
ZU_DEFINE_CLASS(ZuGraphicsSceneLinearIndex, ZuGraphicsSceneIndex, ZU_TAG('S', 'L', 'I', 'X'))

std::vector<ZuGraphicsItem*> ZuGraphicsSceneIndex::itemsAt(const ZuPointF& point) const {
    return m_scene ? m_scene->itemsAt(point) : std::vector<ZuGraphicsItem*>{};
}

namespace {
void collectIn(ZuGraphicsItem* item, const ZuRectF& rect, int mode, std::vector<ZuGraphicsItem*>& out) {
    if (!item->isVisible())
        return;
    const auto& children = item->childItems();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        collectIn(*it, rect, mode, out);
    ZuRectF r = item->sceneBoundingRect();
    bool inside = r.x >= rect.x && r.y >= rect.y && r.x + r.width <= rect.x + rect.width &&
                  r.y + r.height <= rect.y + rect.height;
    bool meets = r.x < rect.x + rect.width && rect.x < r.x + r.width && r.y < rect.y + rect.height &&
                 rect.y < r.y + r.height;
    if (mode == 1 ? inside : meets)
        out.push_back(item);
}
} // namespace

std::vector<ZuGraphicsItem*> ZuGraphicsSceneIndex::itemsIn(const ZuRectF& rect, int mode) const {
    std::vector<ZuGraphicsItem*> out;
    if (!m_scene)
        return out;
    const auto& topLevel = m_scene->topLevelItems();
    for (auto it = topLevel.rbegin(); it != topLevel.rend(); ++it)
        collectIn(*it, rect, mode, out);
    return out;
}

void ZuGraphicsSceneLinearIndex::addItem(ZuGraphicsItem* item) {
    if (item && std::find(m_items.begin(), m_items.end(), item) == m_items.end())
        m_items.push_back(item);
}

void ZuGraphicsSceneLinearIndex::removeItem(ZuGraphicsItem* item) {
    std::erase(m_items, item);
}

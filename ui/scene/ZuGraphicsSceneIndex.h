#pragma once

#include "ui/core/ZuGeometry.h"
#include "ui/core/ZuRttiObject.h"
#include "ui/core/ZuVariant.h"

#include <vector>

class ZuGraphicsItem;
class ZuGraphicsScene;

// Answers which items a scene holds and which lie under a point or in a rectangle.
class ZuGraphicsSceneIndex : public ZuRttiObject {
    ZU_DECLARE_CLASS(ZuGraphicsSceneIndex)
public:
    explicit ZuGraphicsSceneIndex(ZuGraphicsScene* scene = nullptr) : m_scene(scene) {}
    ZuGraphicsScene* scene() const { return m_scene; }

    virtual void addItem(ZuGraphicsItem*) {}
    virtual void removeItem(ZuGraphicsItem*) {}
    virtual void removeDyingItem(ZuGraphicsItem* item) { removeItem(item); }
    virtual std::vector<ZuGraphicsItem*> items() const { return {}; }
    // Topmost first.
    virtual std::vector<ZuGraphicsItem*> itemsAt(const ZuPointF& point) const;
    // Mode 0: items that intersect the rectangle; 1: items inside it. Topmost first.
    virtual std::vector<ZuGraphicsItem*> itemsIn(const ZuRectF& rect, int mode) const;
    virtual void itemChanged(ZuGraphicsItem*, int, const ZuVariant&) {}

protected:
    ZuGraphicsScene* m_scene;
};

class ZuGraphicsSceneLinearIndex : public ZuGraphicsSceneIndex {
    ZU_DECLARE_CLASS(ZuGraphicsSceneLinearIndex)
public:
    using ZuGraphicsSceneIndex::ZuGraphicsSceneIndex;
    void addItem(ZuGraphicsItem* item) override;
    void removeItem(ZuGraphicsItem* item) override;
    std::vector<ZuGraphicsItem*> items() const override { return m_items; }

private:
    std::vector<ZuGraphicsItem*> m_items;
};

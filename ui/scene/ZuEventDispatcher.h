#pragma once

class ZuGraphicsItem;
class ZuGraphicsScene;
class ZuGraphicsView;
class ZuSceneEvent;

// The one route of every event: view handler, scene handler, target item.
class ZuEventDispatcher {
public:
    static ZuEventDispatcher* instance();

    bool sendToView(ZuGraphicsView* view, ZuSceneEvent* event);
    bool sendToScene(ZuGraphicsScene* scene, ZuSceneEvent* event);
    bool sendToItem(ZuGraphicsItem* item, ZuSceneEvent* event);
    int nesting() const { return m_nesting; }

private:
    bool deliverTo(ZuGraphicsItem* item, ZuSceneEvent* event, bool bubbled);
    bool deliverDownwards(ZuGraphicsItem* item, ZuSceneEvent* event);
    int m_nesting = 0;
};

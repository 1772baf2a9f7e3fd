#include "ui/scene/ZuGraphicsItem.h"
#include "ui/scene/ZuGraphicsScene.h"
#include "ui/scene/ZuWidgetItem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records every itemChanged code and every listener notification.
class Probe : public ZuGraphicsItem {
    ZU_DECLARE_CLASS(Probe)
public:
    explicit Probe(ZuGraphicsItem* parent = nullptr, ZuGraphicsScene* scene = nullptr, std::string name = "")
        : ZuGraphicsItem(parent, scene), name(std::move(name)) {}
    ~Probe() override {
        if (log)
            log->push_back("~" + name);
    }
    void itemChanged(int change, const ZuVariant& newValue, const ZuVariant& oldValue) override {
        changes.push_back(change);
        ZuGraphicsItem::itemChanged(change, newValue, oldValue);
    }
    std::string name;
    std::vector<int> changes;
    std::vector<std::string>* log = nullptr;
};

struct Listener : ZuItemChangeListener {
    Listener() : ZuItemChangeListener(0xFFFFFFFF) {}
    void itemNotify(uint32_t bit, ZuGraphicsItem*, const ZuVariant& newValue, const ZuVariant&) override {
        bits.push_back(bit);
        if (bit == ZuGraphicsItem::GeometryChanged)
            geometries.push_back(newValue.toRectF());
        if (bit == ZuGraphicsItem::ItemDestroyed && log)
            log->push_back("destroyed " + std::to_string(bits.size()));
    }
    void attached(ZuGraphicsItem*) override { ++attachCount; }
    void detached(ZuGraphicsItem*) override { ++detachCount; }
    std::vector<uint32_t> bits;
    std::vector<ZuRectF> geometries;
    std::vector<std::string>* log = nullptr;
    int attachCount = 0, detachCount = 0;
};

std::vector<ZuGraphicsItem*> ptrs(std::initializer_list<ZuGraphicsItem*> items) {
    return items;
}

} // namespace

ZU_DEFINE_CLASS(Probe, ZuGraphicsItem, 0)

TEST(ZuGraphicsItem, NewItemDefaults) {
    ZuGraphicsItem item;
    EXPECT_EQ(item.classRecord()->tag(), ZU_TAG('I', 'T', 'E', 'M'));
    EXPECT_EQ(item.state() & 0x00EC0000u, 0x00EC0000u) << "visible, enabled and the three dirty bits";
    EXPECT_TRUE(item.isVisible());
    EXPECT_TRUE(item.isEnabled());
    EXPECT_EQ(item.depth(), 0);
    EXPECT_EQ(item.indexInParent(), -1);
    EXPECT_EQ(ZuGraphicsItem::itemById(item.id()), &item);
    ZuGraphicsItem second;
    EXPECT_EQ(second.id(), item.id() + 1);
    uint32_t gone = 0;
    {
        ZuGraphicsItem temporary;
        gone = temporary.id();
    }
    EXPECT_EQ(ZuGraphicsItem::itemById(gone), nullptr);
}

TEST(ZuGraphicsItem, SetGeometryNotifiesPositionThenGeometryOnce) {
    Probe item;
    Listener listener;
    item.addChangeListener(&listener);
    EXPECT_EQ(listener.attachCount, 1);
    item.setGeometry(10, 20, 30, 40);
    EXPECT_EQ(item.pos(), (ZuPointF{10, 20}));
    EXPECT_EQ(item.rect(), (ZuRectF{0, 0, 30, 40}));
    EXPECT_EQ(item.geometry(), (ZuRectF{10, 20, 30, 40}));
    EXPECT_EQ(listener.bits,
              (std::vector<uint32_t>{ZuGraphicsItem::PositionChanged, ZuGraphicsItem::GeometryChanged}));
    EXPECT_EQ(listener.geometries, std::vector<ZuRectF>{(ZuRectF{10, 20, 30, 40})});
    EXPECT_EQ(item.changes,
              (std::vector<int>{ZuGraphicsItem::PositionChange, ZuGraphicsItem::GeometryChange}));

    listener.bits.clear();
    item.changes.clear();
    item.setGeometry(10, 20, 30, 40);
    EXPECT_EQ(listener.bits, std::vector<uint32_t>{ZuGraphicsItem::GeometryChanged})
        << "no position notification";

    listener.bits.clear();
    item.setPos(11, 20);
    EXPECT_EQ(listener.bits,
              (std::vector<uint32_t>{ZuGraphicsItem::GeometryChanged, ZuGraphicsItem::PositionChanged}))
        << "a plain move reports geometry, then position";
    listener.bits.clear();
    item.setPos(11 + 1e-13, 20);
    EXPECT_TRUE(listener.bits.empty()) << "equal within 1e-12";
    item.removeChangeListener(&listener);
    EXPECT_EQ(listener.detachCount, 1);
}

TEST(ZuGraphicsItem, SameParentOrItselfChangesNothing) {
    Probe parent, other;
    auto* child = new Probe(&parent);
    child->changes.clear();
    parent.changes.clear();
    child->setParentItem(&parent);
    child->setParentItem(child);
    EXPECT_TRUE(child->changes.empty());
    EXPECT_TRUE(parent.changes.empty());
    child->setParentItem(&other);
    EXPECT_EQ(parent.changes, std::vector<int>{ZuGraphicsItem::ChildRemoved});
    EXPECT_EQ(other.changes, std::vector<int>{ZuGraphicsItem::ChildAdded});
    EXPECT_EQ(child->changes, std::vector<int>{ZuGraphicsItem::ParentChange});
    auto* grandchild = new Probe(child);
    child->setParentItem(grandchild);
    EXPECT_EQ(child->parentItem(), &other) << "a descendant cannot become the parent";
}

TEST(ZuGraphicsItem, ChildOrderByZThenInsertion) {
    ZuGraphicsItem parent;
    auto* a = new ZuGraphicsItem(&parent);
    auto* b = new ZuGraphicsItem(&parent);
    auto* c = new ZuGraphicsItem(&parent);
    EXPECT_EQ(parent.childItems(), ptrs({a, b, c})) << "equal z: insertion order";
    a->setZValue(1);
    EXPECT_EQ(parent.childItems(), ptrs({b, c, a}));
    c->setZValue(-1);
    EXPECT_EQ(parent.childItems(), ptrs({c, b, a}));
    a->setZValue(0);
    c->setZValue(0);
    EXPECT_EQ(parent.childItems(), ptrs({a, b, c})) << "insertion order comes back with equal z";
}

TEST(ZuGraphicsItem, TopLevelStackingAndHitOrder) {
    ZuGraphicsScene scene;
    auto* high = new ZuGraphicsItem(nullptr, &scene);
    high->setGeometry(0, 0, 100, 100);
    high->setZValue(1);
    auto* low = new ZuGraphicsItem(nullptr, &scene);
    low->setGeometry(0, 0, 100, 100);
    auto* lowLater = new ZuGraphicsItem(nullptr, &scene);
    lowLater->setGeometry(0, 0, 100, 100);
    EXPECT_EQ(scene.topLevelItems(), ptrs({low, lowLater, high}))
        << "z 1 paints after z 0 although added first";
    EXPECT_EQ(scene.itemsAt({50, 50}), ptrs({high, lowLater, low}));
    scene.setFlag(ZuGraphicsScene::OwnsTopLevelItems, true);
}

TEST(ZuGraphicsItem, ItemsAtThroughTransformsAndClips) {
    ZuGraphicsScene scene;
    scene.setFlag(ZuGraphicsScene::OwnsTopLevelItems, true);
    auto* root = new ZuGraphicsItem(nullptr, &scene);
    root->setGeometry(100, 100, 50, 50);
    auto* child = new ZuGraphicsItem(root);
    child->setGeometry(10, 10, 20, 20); // scene (110, 110) to (130, 130)
    auto* sibling = new ZuGraphicsItem(root);
    sibling->setGeometry(10, 10, 20, 20);
    auto* outside = new ZuGraphicsItem(root);
    outside->setGeometry(60, 0, 20, 20); // scene (160, 100): beyond the parent

    EXPECT_EQ(child->mapToScene(ZuPointF{0, 0}), (ZuPointF{110, 110}));
    EXPECT_EQ(child->mapFromScene(ZuPointF{115, 112}), (ZuPointF{5, 2}));
    EXPECT_EQ(scene.itemsAt({115, 115}), ptrs({sibling, child, root}))
        << "children before parent, later sibling first";
    EXPECT_EQ(scene.itemsAt({105, 105}), ptrs({root}));
    EXPECT_EQ(scene.itemsAt({165, 105}), ptrs({outside})) << "children outside an unclipped parent are hit";
    EXPECT_TRUE(scene.itemsAt({99, 99}).empty());

    root->setItemFlag(ZuGraphicsItem::ClipsChildren, true);
    scene.invalidateItemsAtCache();
    EXPECT_TRUE(scene.itemsAt({165, 105}).empty()) << "a clipping parent that is not hit hides its children";

    root->setPos(0, 0); // the whole subtree moves
    EXPECT_EQ(scene.itemsAt({15, 15}), ptrs({sibling, child, root})) << "the cache follows the move";
    sibling->setVisible(false);
    EXPECT_EQ(scene.itemsAt({15, 15}), ptrs({child, root})) << "invisible items are skipped";
}

TEST(ZuGraphicsItem, CachesAreInvalidatedByEveryChange) {
    ZuGraphicsItem root;
    auto* mid = new ZuGraphicsItem(&root);
    auto* leaf = new ZuGraphicsItem(mid);
    mid->setGeometry(10, 10, 10, 10);
    leaf->setGeometry(5, 5, 10, 10);
    EXPECT_EQ(leaf->sceneTransform(), (ZuPointF{15, 15}));
    EXPECT_EQ(root.childrenBoundingRect(), (ZuRectF{10, 10, 15, 15}));
    EXPECT_EQ(leaf->depth(), 2);

    mid->setPos(20, 10); // parent move: the leaf's transform and the root's children rect
    EXPECT_EQ(leaf->sceneTransform(), (ZuPointF{25, 15}));
    EXPECT_EQ(root.childrenBoundingRect(), (ZuRectF{20, 10, 15, 15}));

    leaf->resize(30, 10); // a grandchild's size reaches the root
    EXPECT_EQ(root.childrenBoundingRect(), (ZuRectF{20, 10, 35, 15}));

    ZuGraphicsItem other;
    other.setGeometry(100, 0, 1, 1);
    leaf->setParentItem(&other); // reparenting
    EXPECT_EQ(leaf->sceneTransform(), (ZuPointF{105, 5}));
    EXPECT_EQ(leaf->depth(), 1);
    EXPECT_EQ(root.childrenBoundingRect(), (ZuRectF{20, 10, 10, 10}));
    leaf->setParentItem(nullptr);
    EXPECT_EQ(leaf->sceneTransform(), (ZuPointF{5, 5}));
    EXPECT_EQ(leaf->depth(), 0);
    EXPECT_EQ(other.childrenBoundingRect(), (ZuRectF{}));
    delete leaf;
}

TEST(ZuGraphicsItem, VisibilityAndEnabledAreInherited) {
    ZuGraphicsItem root;
    auto* mid = new ZuGraphicsItem(&root);
    auto* leaf = new ZuGraphicsItem(mid);
    EXPECT_TRUE(leaf->isVisibleTo(&root));
    mid->setVisible(false);
    EXPECT_TRUE(leaf->isVisible()) << "its own bit is untouched";
    EXPECT_FALSE(leaf->isVisibleTo(&root));
    EXPECT_TRUE(leaf->isVisibleTo(leaf));
    EXPECT_FALSE(leaf->isVisibleTo(nullptr)) << "up to the root";
    mid->setVisible(true);

    auto* handler = new ZuItemEventHandler;
    leaf->setEnabled(false);
    leaf->setEventHandler(handler);
    EXPECT_FALSE(handler->isEnabled()) << "a new handler takes the item's state";
    leaf->setEnabled(true);
    EXPECT_TRUE(handler->isEnabled());
}

TEST(ZuGraphicsItem, DeletingAParentDeletesChildrenLastToFirst) {
    std::vector<std::string> log;
    auto* parent = new Probe(nullptr, nullptr, "parent");
    parent->log = &log;
    for (const char* name : {"a", "b", "c"}) {
        auto* child = new Probe(parent, nullptr, name);
        child->log = &log;
    }
    Listener listener;
    listener.log = &log;
    parent->childItems()[0]->addChangeListener(&listener);
    delete parent;
    EXPECT_EQ(log, (std::vector<std::string>{"~parent", "~c", "~b", "~a", "destroyed 1"}));
    EXPECT_EQ(listener.detachCount, 1);
}

TEST(ZuGraphicsItem, FocusProxyRefusesLoopsAndIsClearedByDeletion) {
    ZuGraphicsItem a, b;
    a.setFocusProxy(&b);
    EXPECT_EQ(a.focusProxy(), &b);
    b.setFocusProxy(&a);
    EXPECT_EQ(b.focusProxy(), nullptr) << "a loop is refused";
    a.setFocusProxy(&a);
    EXPECT_EQ(a.focusProxy(), &b);
    ZuGraphicsScene scene;
    auto* inScene = new ZuGraphicsItem(nullptr, &scene);
    a.setFocusProxy(inScene);
    EXPECT_EQ(a.focusProxy(), &b) << "an item of another scene is refused";
    auto* proxy = new ZuGraphicsItem;
    a.setFocusProxy(proxy);
    delete proxy;
    EXPECT_EQ(a.focusProxy(), nullptr);
    delete inScene;
}

TEST(ZuGraphicsItem, PropertiesClassThenDynamic) {
    ZuGraphicsItem item;
    item.setProperty("opacity", ZuVariant(0.25));
    EXPECT_DOUBLE_EQ(item.opacity(), 0.25) << "the class property goes through setOpacity";
    EXPECT_DOUBLE_EQ(item.property("opacity").toDouble(), 0.25);
    EXPECT_FALSE(item.hasProperty("colour"));
    EXPECT_FALSE(item.property("colour").isValid());
    item.setProperty("colour", ZuVariant(7));
    EXPECT_TRUE(item.hasProperty("colour"));
    EXPECT_EQ(item.property("colour").toInt(), 7);
}

TEST(ZuGraphicsItem, ObjectPathAndClipRect) {
    ZuGraphicsItem root;
    root.setObjectName(L"frameWindow");
    auto* child = new ZuGraphicsItem(&root);
    child->setObjectName(L"icon");
    EXPECT_TRUE(child->objectPath().equals(L"frameWindow.icon"));
    child->resize(20, 10);
    child->setClipRect({0, 0, 0, 5});
    EXPECT_EQ(child->clipRect(), (ZuRectF{0, 0, 20, 10})) << "a clip of width 0 means the bounding rect";
    child->setClipRect({1, 1, 5, 5});
    EXPECT_EQ(child->clipRect(), (ZuRectF{1, 1, 5, 5}));
}

TEST(ZuWidgetItem, Defaults) {
    ZuWidgetItem widget;
    EXPECT_EQ(widget.classRecord()->tag(), ZU_TAG('W', 'T', 'I', 'M'));
    EXPECT_EQ(widget.acceptedMouseButtons(), ZuGraphicsItem::LeftButton);
    EXPECT_EQ(widget.focusPolicy(), ZuGraphicsItem::ClickFocus);
    EXPECT_TRUE(widget.hasItemFlag(ZuGraphicsItem::BlocksMouse | ZuGraphicsItem::Focusable |
                                   ZuGraphicsItem::AcceptsHover | ZuGraphicsItem::StopsClickFocus |
                                   ZuGraphicsItem::ChildrenInside | ZuGraphicsItem::HasNoContents |
                                   ZuGraphicsItem::WidgetFlag));
    EXPECT_EQ(widget.windowDragMode(), 0);
    ASSERT_NE(widget.background(), nullptr);
    EXPECT_TRUE(widget.background()->objectName().equals(L"background"));
    EXPECT_EQ(widget.background()->parentItem(), &widget);
    EXPECT_NE(zu_cast<ZuWidgetEventHandler>(widget.eventHandler()), nullptr);
    widget.setGeometry(5, 5, 40, 30);
    EXPECT_EQ(widget.background()->geometry(), (ZuRectF{0, 0, 40, 30})) << "the background fills the widget";
    ASSERT_NE(widget.signals(), nullptr);
    EXPECT_EQ(widget.signals(), widget.signals()) << "created once";
}

#include "DebugCapture.h"

#include "ui/layout/ZuAnchors.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using A = ZuAnchors;

namespace {

// Counts the geometry notifications of one item.
class GeometryCounter : public ZuItemChangeListener {
public:
    GeometryCounter() : ZuItemChangeListener(ZuGraphicsItem::GeometryChanged) {}
    void itemNotify(uint32_t, ZuGraphicsItem*, const ZuVariant&, const ZuVariant&) override { ++count; }
    int count = 0;
};

// A parent of 200 x 100, a sibling at (20, 10, 50, 30) and the item at (0, 0, 40, 20).
struct Family {
    Family() {
        parent->setObjectName(L"page");
        parent->setGeometry(0, 0, 200, 100);
        sibling->setGeometry(20, 10, 50, 30);
        item->setGeometry(0, 0, 40, 20);
        item->setObjectName(L"item");
    }
    std::unique_ptr<ZuGraphicsItem> parent{new ZuGraphicsItem};
    ZuGraphicsItem* sibling = new ZuGraphicsItem(parent.get());
    ZuGraphicsItem* item = new ZuGraphicsItem(parent.get());
    A* anchors() { return A::of(item); }
};

} // namespace

TEST(ZuAnchors, EdgesCentresMarginsFill) {
    struct Case {
        const char* name;
        std::function<void(Family&)> anchor;
        ZuRectF expected;
    };
    const Case cases[] = {
        {"left + margin",
         [](Family& f) { f.anchors()->setLeftMargin(10), f.anchors()->setLeft(f.parent.get()); },
         {10, 0, 40, 20}},
        {"right + margin",
         [](Family& f) { f.anchors()->setRightMargin(5), f.anchors()->setRight(f.parent.get()); },
         {155, 0, 40, 20}},
        {"hcenter + offset",
         [](Family& f) {
             f.anchors()->setHorizontalCenterOffset(3), f.anchors()->setHorizontalCenter(f.parent.get());
         },
         {83, 0, 40, 20}},
        {"top + margin",
         [](Family& f) { f.anchors()->setTopMargin(7), f.anchors()->setTop(f.parent.get()); },
         {0, 7, 40, 20}},
        {"bottom", [](Family& f) { f.anchors()->setBottom(f.parent.get()); }, {0, 80, 40, 20}},
        {"vcenter", [](Family& f) { f.anchors()->setVerticalCenter(f.parent.get()); }, {0, 40, 40, 20}},
        {"left and right stretch",
         [](Family& f) {
             f.anchors()->setLeftMargin(10);
             f.anchors()->setRightMargin(10);
             f.anchors()->setLeft(f.parent.get());
             f.anchors()->setRight(f.parent.get());
         },
         {10, 0, 180, 20}},
        {"top and bottom stretch",
         [](Family& f) {
             f.anchors()->setTop(f.parent.get());
             f.anchors()->setBottomMargin(30);
             f.anchors()->setBottom(f.parent.get());
         },
         {0, 0, 40, 70}},
        {"left and hcenter",
         [](Family& f) {
             f.anchors()->setLeftMargin(10);
             f.anchors()->setLeft(f.parent.get());
             f.anchors()->setHorizontalCenter(f.parent.get());
         },
         {10, 0, 180, 20}},
        {"right and hcenter",
         [](Family& f) {
             f.anchors()->setRight(f.parent.get());
             f.anchors()->setHorizontalCenter(f.parent.get());
         },
         {0, 0, 200, 20}},
        {"left to a sibling's right",
         [](Family& f) { f.anchors()->setLeft(f.sibling, A::Right); },
         {70, 0, 40, 20}},
        {"top to a sibling's bottom",
         [](Family& f) { f.anchors()->setTopMargin(2), f.anchors()->setTop(f.sibling, A::Bottom); },
         {0, 42, 40, 20}},
        {"baseline to a sibling's top",
         [](Family& f) { f.anchors()->setBaselineOffset(3), f.anchors()->setBaseline(f.sibling, A::Top); },
         {0, 13, 40, 20}},
        {"fill the parent",
         [](Family& f) { f.anchors()->setMargins(4), f.anchors()->setFill(f.parent.get()); },
         {4, 4, 192, 92}},
        {"fill a sibling", [](Family& f) { f.anchors()->setFill(f.sibling); }, {20, 10, 50, 30}},
        {"centre in the parent",
         [](Family& f) { f.anchors()->setCenterIn(f.parent.get()); },
         {80, 40, 40, 20}},
        {"centre in a sibling", [](Family& f) { f.anchors()->setCenterIn(f.sibling); }, {25, 15, 40, 20}},
    };
    for (const Case& c : cases) {
        Family f;
        c.anchor(f);
        EXPECT_EQ(f.item->geometry(), c.expected) << c.name;
    }
}

TEST(ZuAnchors, OddSizesCentreOnTheLargerHalf) {
    Family f;
    f.parent->resize(10, 10);
    f.item->resize(5, 4);
    f.anchors()->setCenterIn(f.parent.get());
    EXPECT_EQ(f.item->pos().x, 2.0) << "half of 5 is 3";
    EXPECT_EQ(f.item->pos().y, 3.0);
    EXPECT_EQ(A::half(7.5), 4.25);
    EXPECT_EQ(A::half(8.5), 4.25);
}

TEST(ZuAnchors, FollowsASiblingThatMovesLaterAndItsOwnSize) {
    Family f;
    f.anchors()->setLeft(f.sibling, A::Right);
    f.anchors()->setTop(f.sibling, A::Bottom);
    f.sibling->setX(100);
    EXPECT_EQ(f.item->pos().x, 150.0);
    f.sibling->setWidth(60);
    EXPECT_EQ(f.item->pos().x, 160.0);
    f.sibling->setGeometry(0, 50, 10, 10);
    EXPECT_EQ(f.item->geometry(), (ZuRectF{10, 60, 40, 20}));

    Family centred;
    centred.anchors()->setHorizontalCenter(centred.parent.get());
    centred.item->setWidth(60);
    EXPECT_EQ(centred.item->pos().x, 70.0) << "a centred item that grows stays centred";
}

TEST(ZuAnchors, AParentResizeLaysOutEveryAnchoredChildOnce) {
    Family f;
    auto* stretched = new ZuGraphicsItem(f.parent.get());
    auto* filled = new ZuGraphicsItem(f.parent.get());
    auto* centred = new ZuGraphicsItem(f.parent.get());
    centred->resize(20, 10);
    A::of(stretched)->setMargins(10);
    A::of(stretched)->setLeft(f.parent.get());
    A::of(stretched)->setRight(f.parent.get());
    A::of(stretched)->setTop(f.parent.get());
    A::of(stretched)->setBottom(f.parent.get());
    A::of(filled)->setFill(f.parent.get());
    A::of(centred)->setCenterIn(f.parent.get());
    GeometryCounter counters[3];
    ZuGraphicsItem* children[3] = {stretched, filled, centred};
    for (int i = 0; i < 3; ++i)
        children[i]->addChangeListener(&counters[i]);

    f.parent->resize(300, 150);
    EXPECT_EQ(stretched->geometry(), (ZuRectF{10, 10, 280, 130}));
    EXPECT_EQ(filled->geometry(), (ZuRectF{0, 0, 300, 150}));
    EXPECT_EQ(centred->geometry(), (ZuRectF{140, 70, 20, 10}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(counters[i].count, 1) << "child " << i;

    f.parent->setPos(ZuPointF{40, 40});
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(counters[i].count, 1) << "moving the parent moves nothing inside it";
    for (int i = 0; i < 3; ++i)
        children[i]->removeChangeListener(&counters[i]);
}

TEST(ZuAnchors, IllegalAnchorsAreRefusedAndChangeNothing) {
    using Step = std::function<void(Family&, ZuGraphicsItem * cousin)>;
    struct Case {
        const char* name;
        Step setup;
        Step refused;
        const wchar_t* message;
    };
    const Step none = [](Family&, ZuGraphicsItem*) {};
    const Case cases[] = {
        {"null target", none, [](Family& f, ZuGraphicsItem*) { f.anchors()->setLeft(nullptr); },
         L"Cannot anchor to a null item."},
        {"cousin", none, [](Family& f, ZuGraphicsItem* cousin) { f.anchors()->setLeft(cousin, A::Right); },
         L"Cannot anchor to an item that isn't a parent or sibling."},
        {"fill a cousin", none, [](Family& f, ZuGraphicsItem* cousin) { f.anchors()->setFill(cousin); },
         L"Cannot anchor to an item that isn't a parent or sibling."},
        {"centre in a cousin", none,
         [](Family& f, ZuGraphicsItem* cousin) { f.anchors()->setCenterIn(cousin); },
         L"Cannot anchor to an item that isn't a parent or sibling."},
        {"self", none, [](Family& f, ZuGraphicsItem*) { f.anchors()->setLeft(f.item, A::Right); },
         L"Cannot anchor item to self."},
        {"horizontal to vertical", none,
         [](Family& f, ZuGraphicsItem*) { f.anchors()->setLeft(f.sibling, A::Bottom); },
         L"Cannot anchor a horizontal edge to a vertical edge."},
        {"vertical to horizontal", none,
         [](Family& f, ZuGraphicsItem*) { f.anchors()->setTop(f.sibling, A::Right); },
         L"Cannot anchor a vertical edge to a horizontal edge."},
        {"left, right and hcenter",
         [](Family& f, ZuGraphicsItem*) {
             f.anchors()->setLeft(f.sibling, A::Left);
             f.anchors()->setRight(f.sibling, A::Right);
         },
         [](Family& f, ZuGraphicsItem*) { f.anchors()->setHorizontalCenter(f.parent.get()); },
         L"Cannot specify left, right, and hcenter anchors."},
        {"top, bottom and vcenter",
         [](Family& f, ZuGraphicsItem*) {
             f.anchors()->setTop(f.sibling, A::Top);
             f.anchors()->setBottom(f.sibling, A::Bottom);
         },
         [](Family& f, ZuGraphicsItem*) { f.anchors()->setVerticalCenter(f.parent.get()); },
         L"Cannot specify top, bottom, and vcenter anchors."},
        {"baseline with top", [](Family& f, ZuGraphicsItem*) { f.anchors()->setTop(f.sibling, A::Top); },
         [](Family& f, ZuGraphicsItem*) { f.anchors()->setBaseline(f.parent.get(), A::Bottom); },
         L"Baseline anchor cannot be used in conjunction with top, bottom, or vcenter anchors."},
    };
    for (const Case& c : cases) {
        Family f;
        auto* uncle = new ZuGraphicsItem(f.parent.get());
        auto* cousin = new ZuGraphicsItem(uncle);
        cousin->setGeometry(60, 60, 10, 10);
        c.setup(f, cousin);
        ZuRectF before = f.item->geometry();
        int usedBefore = f.anchors()->usedLines();
        DebugCapture debug;
        c.refused(f, cousin);
        EXPECT_TRUE(debug.contains(c.message)) << c.name;
        EXPECT_TRUE(debug.contains(L"page.item: ")) << c.name << ": the item's path comes first";
        EXPECT_EQ(f.item->geometry(), before) << c.name;
        EXPECT_EQ(f.anchors()->usedLines(), usedBefore) << c.name;
        f.parent->resize(300, 300);
        EXPECT_EQ(f.item->geometry(), before) << c.name << ": nothing ties it to the parent";
    }
}

TEST(ZuAnchors, LoopsAreRefusedUpFront) {
    Family f;
    auto* other = new ZuGraphicsItem(f.parent.get());
    other->setGeometry(100, 0, 30, 30);
    A::of(other)->setLeft(f.item, A::Right);
    EXPECT_EQ(other->pos().x, 40.0);
    DebugCapture debug;
    f.anchors()->setLeft(other, A::Right);
    EXPECT_TRUE(debug.contains(L"Possible anchor loop detected on horizontal anchor."));
    EXPECT_EQ(f.item->geometry(), (ZuRectF{0, 0, 40, 20}));
    EXPECT_EQ(f.anchors()->usedLines(), 0);

    // Through a third item, and by fill.
    auto* third = new ZuGraphicsItem(f.parent.get());
    A::of(third)->setTop(other, A::Bottom);
    A::of(other)->setTop(f.item, A::Bottom);
    debug.clear();
    f.anchors()->setTop(third, A::Bottom);
    EXPECT_TRUE(debug.contains(L"Possible anchor loop detected on vertical anchor."));
    debug.clear();
    f.anchors()->setFill(other);
    EXPECT_TRUE(debug.contains(L"Possible anchor loop detected on fill."));
    EXPECT_EQ(f.anchors()->fill(), nullptr);
    EXPECT_EQ(f.item->geometry(), (ZuRectF{0, 0, 40, 20}));

    // Ties along different directions are no loop.
    auto* side = new ZuGraphicsItem(f.parent.get());
    side->setGeometry(0, 50, 10, 10);
    A::of(side)->setLeft(f.item, A::Right);
    debug.clear();
    f.anchors()->setTop(side, A::Bottom);
    EXPECT_TRUE(debug.text().empty()) << "the horizontal tie does not stop a vertical one the other way";
    EXPECT_EQ(f.item->pos().y, 60.0);
}

TEST(ZuAnchors, FillWinsOverEdgesUntilCleared) {
    Family f;
    f.anchors()->setLeftMargin(15);
    f.anchors()->setFill(f.sibling);
    f.anchors()->setLeft(f.parent.get());
    EXPECT_EQ(f.item->geometry(), (ZuRectF{35, 10, 35, 30})) << "fill of the sibling, with the left margin";
    f.anchors()->setFill(nullptr);
    EXPECT_EQ(f.item->pos().x, 15.0) << "the left anchor takes over";
}

TEST(ZuAnchors, CommonMarginsKeepTheOnesSetApart) {
    Family f;
    f.anchors()->setLeftMargin(7);
    f.anchors()->setMargins(4);
    EXPECT_EQ(f.anchors()->leftMargin(), 7.0);
    EXPECT_EQ(f.anchors()->rightMargin(), 4.0);
    EXPECT_EQ(f.anchors()->topMargin(), 4.0);
    EXPECT_EQ(f.anchors()->bottomMargin(), 4.0);
    f.anchors()->setBottomMargin(9);
    f.anchors()->setMargins(6);
    EXPECT_EQ(f.anchors()->rightMargin(), 6.0);
    EXPECT_EQ(f.anchors()->bottomMargin(), 9.0);
    EXPECT_EQ(f.anchors()->leftMargin(), 7.0);
}

TEST(ZuAnchors, ADestroyedTargetLetsGo) {
    Family f;
    f.anchors()->setLeft(f.sibling, A::Right);
    f.anchors()->setFill(nullptr);
    delete f.sibling;
    EXPECT_EQ(f.anchors()->usedLines(), 0);
    EXPECT_EQ(f.anchors()->lineTarget(A::Left), nullptr);
    f.parent->resize(50, 50);
    EXPECT_EQ(f.item->pos().x, 70.0) << "stays where it was";

    // Clearing the anchors unhooks them from their targets.
    f.anchors()->setRight(f.parent.get());
    EXPECT_EQ(f.item->pos().x, 10.0);
    f.item->clearAnchors();
    f.parent->resize(100, 50);
    EXPECT_EQ(f.item->pos().x, 10.0);
    EXPECT_EQ(A::existing(f.item), nullptr);
}

#include "ui/core/ZuApplication.h"
#include "ui/core/ZuTimerService.h"
#include "ui/paint/ZuPainter.h"
#include "ui/scene/ZuGraphicsItem.h"
#include "ui/scene/ZuGraphicsScene.h"
#include "ui/scene/ZuGraphicsView.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Fills its rectangle with one opaque colour.
class Swatch : public ZuGraphicsItem {
    ZU_DECLARE_CLASS(Swatch)
public:
    Swatch(ZuGraphicsItem* parent, ZuGraphicsScene* scene, ZuRectF geometry, ZuColor colour)
        : ZuGraphicsItem(parent, scene), colour(colour) {
        setGeometry(geometry);
    }
    void paint(ZuPainter* painter, const void*) override {
        ++paints;
        painter->fillRect(boundingRect(), colour);
    }
    ZuColor colour;
    int paints = 0;
};

uint8_t alphaOf(uint32_t argb) {
    return uint8_t(argb >> 24);
}
uint8_t redOf(uint32_t argb) {
    return uint8_t(argb >> 16);
}

// Runs the UI thread's messages (the update timer) until `done` or a second passes.
template <typename F> void pumpUntil(F done) {
    DWORD start = GetTickCount();
    while (!done() && GetTickCount() - start < 1000) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(2);
    }
}
void pumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    pumpUntil([&] { return GetTickCount() - start >= ms; });
}

class ScenePaintTest : public ::testing::Test {
protected:
    void SetUp() override {
        scene.setFlag(ZuGraphicsScene::OwnsTopLevelItems, true);
        view.setSceneRect({0, 0, 40, 40});
        view.setViewport({0, 0, 40, 40});
    }
    // Paints the whole view into a fresh transparent layer.
    void paintInto(ZuLayer& layer) {
        ZuPainter painter(&layer);
        view.drawViewPort(&painter, ZuRectF{});
    }
    ZuApplication app;
    ZuGraphicsScene scene;
    ZuGraphicsView view{&scene};
};

} // namespace

ZU_DEFINE_CLASS(Swatch, ZuGraphicsItem, 0)

TEST_F(ScenePaintTest, OpacityIsComposedThroughALayer) {
    auto* parent = new Swatch(nullptr, &scene, {0, 0, 40, 40}, ZuColor::rgba(0, 0, 255));
    parent->setItemFlag(ZuGraphicsItem::HasNoContents, true);
    parent->setOpacity(0.5);
    auto* child = new Swatch(parent, nullptr, {10, 10, 10, 10}, ZuColor::rgba(255, 0, 0));
    child->setOpacity(0.5);
    ZuLayer layer(40, 40);
    ASSERT_TRUE(layer.isValid());
    paintInto(layer);
    EXPECT_EQ(parent->paints, 0) << "an item without contents is not painted";
    EXPECT_EQ(child->paints, 1);
    uint32_t inside = layer.pixel(15, 15);
    EXPECT_NEAR(alphaOf(inside), 64, 2) << "0.5 times 0.5 of an opaque red";
    EXPECT_EQ(redOf(inside), 255);
    EXPECT_EQ(alphaOf(layer.pixel(5, 5)), 0) << "nothing outside the child";
    EXPECT_EQ(alphaOf(layer.pixel(20, 20)), 0) << "the layer is the child's size, placed at its origin";
}

TEST_F(ScenePaintTest, ZeroOpacityHidesTheSubtreeAndDisabledChildrenLookTheSame) {
    auto* parent = new Swatch(nullptr, &scene, {0, 0, 20, 20}, ZuColor::rgba(0, 0, 255));
    auto* child = new Swatch(parent, nullptr, {5, 5, 5, 5}, ZuColor::rgba(255, 0, 0));
    {
        ZuLayer layer(40, 40);
        paintInto(layer);
        EXPECT_EQ(layer.pixel(7, 7), 0xFFFF0000u);
        EXPECT_EQ(layer.pixel(2, 2), 0xFF0000FFu);
    }
    child->setEnabled(false);
    {
        ZuLayer layer(40, 40);
        paintInto(layer);
        EXPECT_EQ(layer.pixel(7, 7), 0xFFFF0000u) << "a disabled child paints through a layer, unchanged";
    }
    parent->setOpacity(0);
    child->paints = 0;
    {
        ZuLayer layer(40, 40);
        paintInto(layer);
        EXPECT_EQ(child->paints, 0) << "opacity 0 hides the children";
        EXPECT_EQ(layer.pixel(7, 7), 0u);
    }
    parent->setOpacity(1);
    parent->setEnabled(false);
    parent->paints = 0;
    {
        ZuLayer layer(40, 40);
        paintInto(layer);
        EXPECT_EQ(parent->paints, 0) << "a disabled top-level item is not painted";
    }
}

TEST_F(ScenePaintTest, OneRepaintOfTheUnionPerTick) {
    auto* a = new Swatch(nullptr, &scene, {2, 2, 4, 4}, ZuColor::rgba(255, 0, 0));
    auto* b = new Swatch(nullptr, &scene, {20, 10, 5, 5}, ZuColor::rgba(255, 0, 0));
    new Swatch(nullptr, &scene, {0, 0, 40, 40}, ZuColor::rgba(0, 0, 0, 0)); // fixes the scene rectangle
    pumpUntil([&] { return !scene.updateTimer().isActive(); });
    std::vector<ZuRect> invalidated;
    view.setInvalidator([&](const ZuRect& rect) { invalidated.push_back(rect); });
    view.drawViewPort(nullptr, ZuRectF{}); // nothing pending
    for (int i = 0; i < 20; ++i) {
        a->update();
        b->update({1, 1, 2, 2});
    }
    EXPECT_TRUE(scene.updateTimer().isActive());
    EXPECT_EQ(scene.updateTimer().interval(), 16);
    EXPECT_TRUE(invalidated.empty()) << "nothing before the tick";
    pumpUntil([&] { return !invalidated.empty(); });
    pumpFor(60);
    ASSERT_EQ(invalidated.size(), 1u) << "one repaint for the whole burst";
    EXPECT_EQ(invalidated[0], (ZuRect{2, 2, 21, 11})) << "the union of (2, 2, 4, 4) and (21, 11, 2, 2)";
    RECT pending = view.pendingUpdateRect();
    EXPECT_EQ(pending.left, 2);
    EXPECT_EQ(pending.right, 22);
    EXPECT_EQ(pending.bottom, 12);
    EXPECT_FALSE(scene.updateTimer().isActive()) << "the tick stops its timer";
    EXPECT_EQ(a->state() & ZuGraphicsItem::QueuedForRepaint, 0u);
}

TEST(SceneIdle, AnIdleSceneSchedulesNoTimer) {
    ZuGraphicsScene scene;
    ZuGraphicsView view(&scene);
    scene.setFlag(ZuGraphicsScene::OwnsTopLevelItems, true);
    auto* item = new ZuGraphicsItem(nullptr, &scene);
    item->setGeometry(0, 0, 10, 10);
    pumpUntil([&] { return !scene.updateTimer().isActive(); });
    EXPECT_FALSE(scene.updateTimer().isActive());
    EXPECT_EQ(ZuTimerService::instance()->timerCount(), 0u) << "no timer of scene or view runs";
    EXPECT_EQ(ZuTimerService::instance()->window(), nullptr) << "so not even the timer window exists";
    item->setOpacity(1.0);
    item->setPos(0, 0);
    item->setZValue(0);
    EXPECT_EQ(ZuTimerService::instance()->timerCount(), 0u) << "changes that change nothing schedule nothing";
    item->setPos(1, 0);
    EXPECT_EQ(ZuTimerService::instance()->timerCount(), 1u);
}

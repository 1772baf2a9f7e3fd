#include "DebugCapture.h"

#include "ui/layout/ZuAnchors.h"
#include "ui/layout/ZuPositioners.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
ZuGraphicsItem* child(ZuGraphicsItem* parent, double width, double height) {
    auto* item = new ZuGraphicsItem(parent);
    item->resize(width, height);
    return item;
}
} // namespace

TEST(ZuPositioners, RowWithSpacingAndAHiddenChild) {
    std::unique_ptr<ZuRowPositioner> row(new ZuRowPositioner);
    EXPECT_EQ(row->kind(), ZuBasePositioner::Row);
    EXPECT_TRUE(row->hasItemFlag(ZuGraphicsItem::HasNoContents));
    row->setSpacing(10);
    ZuGraphicsItem* first = child(row.get(), 30, 20);
    ZuGraphicsItem* second = child(row.get(), 40, 25);
    second->setVisible(false);
    EXPECT_EQ(row->width(), 30.0);
    EXPECT_EQ(row->height(), 20.0);
    EXPECT_EQ(first->pos().x, 0.0);

    second->setVisible(true);
    EXPECT_EQ(row->width(), 80.0);
    EXPECT_EQ(second->pos().x, 40.0);
    EXPECT_EQ(row->height(), 25.0);
    EXPECT_EQ(row->implicitWidth(), 80.0);

    first->setWidth(50);
    EXPECT_EQ(second->pos().x, 60.0) << "a child that grows pushes the next one";
    row->setSpacing(0);
    EXPECT_EQ(second->pos().x, 50.0);
    EXPECT_EQ(row->width(), 90.0);

    delete first;
    EXPECT_EQ(second->pos().x, 0.0) << "a removed child leaves no gap";
    EXPECT_EQ(row->width(), 40.0);
    delete second;
    EXPECT_EQ(row->width(), 0.0) << "an empty row is empty, not negative";
}

TEST(ZuPositioners, ColumnSkipsHiddenAndEmptyChildren) {
    std::unique_ptr<ZuColumnPositioner> column(new ZuColumnPositioner);
    column->setSpacing(5);
    ZuGraphicsItem* a = child(column.get(), 30, 20);
    ZuGraphicsItem* empty = child(column.get(), 0, 0);
    ZuGraphicsItem* b = child(column.get(), 60, 10);
    EXPECT_EQ(b->pos().y, 25.0);
    EXPECT_EQ(column->height(), 35.0);
    EXPECT_EQ(column->width(), 60.0);

    empty->resize(10, 10);
    EXPECT_EQ(empty->pos().y, 25.0) << "a child that gets a size takes its place";
    EXPECT_EQ(b->pos().y, 40.0);
    a->setVisible(false);
    EXPECT_EQ(empty->pos().y, 0.0);
    EXPECT_EQ(b->pos().y, 15.0);
    EXPECT_EQ(column->height(), 25.0);

    ZuGraphicsItem* late = child(column.get(), 10, 10);
    EXPECT_EQ(late->pos().y, 30.0) << "a child added later goes at the end";
}

TEST(ZuPositioners, FixedSizeAndNestedPositioners) {
    std::unique_ptr<ZuColumnPositioner> column(new ZuColumnPositioner);
    auto* row = new ZuRowPositioner(column.get());
    child(row, 20, 10);
    child(row, 30, 15);
    ZuGraphicsItem* below = child(column.get(), 5, 5);
    EXPECT_EQ(row->width(), 50.0);
    EXPECT_EQ(below->pos().y, 15.0) << "the row's own size places it in the column";
    child(row, 10, 40);
    EXPECT_EQ(below->pos().y, 40.0);

    column->setAutoWidth(false);
    column->resize(500, column->height());
    child(row, 100, 1);
    EXPECT_EQ(column->width(), 500.0) << "a fixed width stays";
    EXPECT_EQ(column->implicitWidth(), 160.0);
}

TEST(ZuPositioners, AnchorsThatFightThePositionerAreReported) {
    std::unique_ptr<ZuRowPositioner> row(new ZuRowPositioner);
    row->setObjectName(L"buttons");
    row->resize(100, 20);
    ZuGraphicsItem* a = child(row.get(), 10, 10);
    DebugCapture debug;
    ZuAnchors::of(a)->setTop(row.get());
    EXPECT_FALSE(debug.contains(L"inside Row")) << "vertical anchors are fine in a row";
    ZuAnchors::of(a)->setLeftMargin(5);
    ZuAnchors::of(a)->setLeft(row.get());
    EXPECT_TRUE(debug.contains(L"buttons: Cannot specify left, right, horizontalCenter, fill or centerIn "
                               L"anchors for items inside Row"));

    std::unique_ptr<ZuColumnPositioner> column(new ZuColumnPositioner);
    ZuGraphicsItem* b = child(column.get(), 10, 10);
    debug.clear();
    ZuAnchors::of(b)->setTopMargin(3);
    ZuAnchors::of(b)->setTop(column.get());
    EXPECT_TRUE(debug.contains(
        L"Cannot specify top, bottom, verticalCenter, fill or centerIn anchors for items inside Column"));
}

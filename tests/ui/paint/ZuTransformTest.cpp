#include "ui/paint/ZuTransform.h"

#include <gtest/gtest.h>

namespace {

void expectPoint(ZuPointF actual, ZuPointF expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

TEST(ZuTransformTest, TypeFollowsTheStrongestPart) {
    struct Case {
        ZuTransform transform;
        ZuTransform::Type type;
    } cases[] = {
        {ZuTransform(), ZuTransform::Identity},
        {ZuTransform::fromTranslate(3, 0), ZuTransform::Translate},
        {ZuTransform::fromScale(2, 1), ZuTransform::Scale},
        {ZuTransform::fromScale(2, 2) * ZuTransform::fromTranslate(1, 1), ZuTransform::Scale},
        {ZuTransform::fromRotate(30), ZuTransform::Rotate},
        {ZuTransform(1, 0, 0.5, 1, 0, 0), ZuTransform::Shear},
        {ZuTransform(1, 0, 0.001, 0, 1, 0, 0, 0, 1), ZuTransform::Project},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.transform.type(), c.type);
}

TEST(ZuTransformTest, CachedTypeIsRecomputedAfterAChange) {
    ZuTransform t;
    EXPECT_EQ(t.type(), ZuTransform::Identity);
    t.translate(4, 0);
    EXPECT_EQ(t.type(), ZuTransform::Translate);
    t.rotate(90);
    EXPECT_EQ(t.type(), ZuTransform::Rotate);
}

TEST(ZuTransformTest, MultiplicationAppliesTheLeftOperandFirst) {
    ZuTransform scaleThenMove = ZuTransform::fromScale(2, 3) * ZuTransform::fromTranslate(10, 20);
    expectPoint(scaleThenMove.map({1, 1}), {12, 23});
    ZuTransform moveThenScale = ZuTransform::fromTranslate(10, 20) * ZuTransform::fromScale(2, 3);
    expectPoint(moveThenScale.map({1, 1}), {22, 63});
    // Rotation by 90 degrees turns x into y on screen.
    expectPoint(ZuTransform::fromRotate(90).map({1, 0}), {0, 1});
}

TEST(ZuTransformTest, MapsRectanglesToTheirBoundsAndPolygonsPointwise) {
    ZuRectF bounds = ZuTransform::fromRotate(90).mapRect({0, 0, 4, 2});
    EXPECT_NEAR(bounds.x, -2, 1e-9);
    EXPECT_NEAR(bounds.y, 0, 1e-9);
    EXPECT_NEAR(bounds.width, 2, 1e-9);
    EXPECT_NEAR(bounds.height, 4, 1e-9);
    EXPECT_EQ(ZuTransform::fromTranslate(1, 2).mapRect({1, 1, 3, 3}), (ZuRectF{2, 3, 3, 3}));
    auto polygon = ZuTransform::fromScale(2, 2).mapPolygon({{1, 1}, {2, 0}});
    ASSERT_EQ(polygon.size(), 2u);
    expectPoint(polygon[1], {4, 0});
    // Projection divides by w.
    ZuTransform project(1, 0, 0, 0, 1, 0, 0, 0, 2);
    expectPoint(project.map({4, 6}), {2, 3});
}

TEST(ZuTransformTest, InversionByTypeUndoesTheMapping) {
    ZuTransform cases[] = {
        ZuTransform(),
        ZuTransform::fromTranslate(-3, 7),
        ZuTransform::fromScale(4, 0.5) * ZuTransform::fromTranslate(2, 2),
        ZuTransform::fromRotate(33) * ZuTransform::fromTranslate(5, -1),
        ZuTransform(1, 0.2, 0.7, 1, 3, 4),
        ZuTransform(2, 0, 0.01, 0, 1, 0.02, 3, 1, 1),
    };
    for (const ZuTransform& t : cases) {
        bool ok = false;
        ZuTransform inverse = t.inverted(&ok);
        EXPECT_TRUE(ok) << "type " << t.type();
        expectPoint(inverse.map(t.map({3, -2})), {3, -2});
        EXPECT_TRUE(t * inverse == ZuTransform());
    }
}

TEST(ZuTransformTest, SingularMatricesGiveTheIdentityAndFalse) {
    ZuTransform cases[] = {
        ZuTransform::fromScale(1e-13, 2), ZuTransform(1, 2, 2, 4, 5, 5), // shear with determinant 0
        ZuTransform(1, 2, 0.5, 2, 4, 1, 1, 2, 0.5),                      // projective, rows dependent
    };
    for (const ZuTransform& t : cases) {
        bool ok = true;
        ZuTransform inverse = t.inverted(&ok);
        EXPECT_FALSE(ok) << "type " << t.type();
        EXPECT_TRUE(inverse.isIdentity());
    }
}

} // namespace

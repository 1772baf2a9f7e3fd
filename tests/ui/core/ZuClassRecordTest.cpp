#include "ui/core/ZuPropertyRegistry.h"
#include "ui/core/ZuRttiObject.h"
#include "ui/core/ZuTimer.h"
#include "ui/core/ZuVariant.h"

#include <gtest/gtest.h>

#include <cstring>

// A small tree: Shape > Box > Crate, Shape > Ball; two counter-tag classes.
class Shape : public ZuRttiObject {
    ZU_DECLARE_CLASS(Shape)
public:
    double opacity = 1.0;
    int payload[3] = {1, 2, 3};
};
class Box : public Shape {
    ZU_DECLARE_CLASS(Box)
};
class Crate : public Box {
    ZU_DECLARE_CLASS(Crate)
};
class Ball : public Shape {
    ZU_DECLARE_CLASS(Ball)
};
class FirstCounted : public ZuRttiObject {
    ZU_DECLARE_CLASS(FirstCounted)
};
class SecondCounted : public ZuRttiObject {
    ZU_DECLARE_CLASS(SecondCounted)
};

ZU_DEFINE_CLASS(FirstCounted, ZuRttiObject, 0)
ZU_DEFINE_CLASS(SecondCounted, ZuRttiObject, 0)
ZU_DEFINE_CLASS(Shape, ZuRttiObject, ZU_TAG('S', 'H', 'P', 'E'))
ZU_DEFINE_CLASS(Box, Shape, ZU_TAG('B', 'O', 'X', ' '))
ZU_DEFINE_CLASS(Crate, Box, ZU_TAG('C', 'R', 'A', 'T'))
ZU_DEFINE_CLASS(Ball, Shape, ZU_TAG('B', 'A', 'L', 'L'))

TEST(ZuClassRecord, TagsPackLettersAndCountersStartAtOne) {
    EXPECT_EQ(ZU_TAG('I', 'T', 'E', 'M'), 0x4954454D);
    int32_t tag = ZU_TAG('I', 'T', 'E', 'M');
    EXPECT_EQ(memcmp(&tag, "METI", 4), 0);
    EXPECT_EQ(FirstCounted::staticRecord()->tag(), 1) << "first class built with tag 0";
    EXPECT_EQ(SecondCounted::staticRecord()->tag(), 2);
    EXPECT_EQ(ZuTimer::staticRecord()->tag(), ZU_TAG('T', 'I', 'M', 'R'));
}

TEST(ZuClassRecord, RecordsCarryNameParentSizeAndAreRegistered) {
    const ZuClassRecord* crate = Crate::staticRecord();
    EXPECT_STREQ(crate->name(), "Crate");
    EXPECT_EQ(crate->parent(), Box::staticRecord());
    EXPECT_EQ(crate->instanceSize(), sizeof(Crate));
    EXPECT_EQ(ZuRttiObject::staticRecord()->parent(), nullptr);
    EXPECT_EQ(recordByName("Crate"), crate);
    EXPECT_EQ(ZuClassRegistry::instance()->recordByTag(ZU_TAG('C', 'R', 'A', 'T')), crate);
    EXPECT_EQ(recordByName("NoSuchClass"), nullptr);
    EXPECT_EQ(recordByName(nullptr), nullptr);
}

TEST(ZuClassRecord, FirstRecordOfANameOrTagWins) {
    auto* sameName = new ZuClassRecord("Box", ZU_TAG('B', 'O', 'X', '2'), nullptr, nullptr, 8);
    auto* sameTag = new ZuClassRecord("Box2", ZU_TAG('B', 'O', 'X', ' '), nullptr, nullptr, 8);
    EXPECT_EQ(recordByName("Box"), Box::staticRecord());
    EXPECT_EQ(ZuClassRegistry::instance()->recordByTag(ZU_TAG('B', 'O', 'X', ' ')), Box::staticRecord());
    EXPECT_EQ(ZuClassRegistry::instance()->recordByTag(ZU_TAG('B', 'O', 'X', '2')), nullptr);
    EXPECT_EQ(recordByName("Box2"), nullptr);
    auto* counted = new ZuClassRecord("Counted3", 0, nullptr, nullptr, 8);
    auto* counted2 = new ZuClassRecord("Counted4", 0, nullptr, nullptr, 8);
    EXPECT_EQ(counted2->tag(), counted->tag() + 1);
    EXPECT_EQ(recordByName("Counted3"), counted);
    (void)sameName;
    (void)sameTag;
}

TEST(ZuClassRecord, IsAInheritsAndCheckedCasts) {
    Crate crate;
    Ball ball;
    ZuRttiObject* c = &crate;
    EXPECT_TRUE(c->isA(Crate::staticRecord()));
    EXPECT_TRUE(c->isA(Box::staticRecord()));
    EXPECT_TRUE(c->isA(ZuRttiObject::staticRecord()));
    EXPECT_FALSE(c->isA(Ball::staticRecord())) << "sibling";
    EXPECT_FALSE(c->isA(nullptr));
    EXPECT_TRUE(c->inherits("Shape"));
    EXPECT_FALSE(c->inherits("Nope"));
    EXPECT_EQ(zu_cast<Box>(c), &crate);
    EXPECT_EQ(zu_cast<Box>(static_cast<ZuRttiObject*>(&ball)), nullptr);
    EXPECT_EQ(zu_cast<Box>(static_cast<ZuRttiObject*>(nullptr)), nullptr);
    ZuTimer timer; // ZuObject is its first base: the cast must adjust the pointer
    ZuRttiObject* t = &timer;
    EXPECT_EQ(zu_cast<ZuTimer>(t), &timer);
    EXPECT_EQ(zu_cast<Shape>(t), nullptr);
}

TEST(ZuClassRecord, InstancesComeFromThePoolWithTheRecordSize) {
    ZuRttiObject* made = createInstance(Crate::staticRecord());
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->classRecord(), Crate::staticRecord());
    EXPECT_TRUE(quor::processMemPool().owns(made));
    EXPECT_EQ(mp_size(made), quor::MemPool::blockSizeOf(quor::MemPool::classOf(sizeof(Crate))));
    delete made;
    EXPECT_TRUE(quor::processMemPool().isFreeBlock(made));
    EXPECT_EQ(createInstance(ZuRttiObject::staticRecord()), nullptr) << "no factory";
    EXPECT_EQ(createInstance(nullptr), nullptr);
    auto* timer = new ZuTimer;
    EXPECT_TRUE(quor::processMemPool().owns(timer)) << "the full object, not a base part";
    delete static_cast<ZuRttiObject*>(timer);
}

TEST(ZuPropertyRegistry, RegisterSetGetAndReplace) {
    ZuPropertyRegistry* registry = ZuPropertyRegistry::instance();
    EXPECT_EQ(registry, ZuPropertyRegistry::instance());
    EXPECT_FALSE(registry->hasClassProperty("opacity"));
    ZuPropertyAccessor opacity;
    opacity.setter = [](ZuRttiObject* o, const ZuVariant& v) { zu_cast<Shape>(o)->opacity = v.toDouble(); };
    opacity.getter = [](const ZuRttiObject* o) { return ZuVariant(zu_cast<Shape>(o)->opacity); };
    EXPECT_TRUE(registry->registerProperty("opacity", opacity));
    EXPECT_TRUE(registry->hasClassProperty("opacity"));
    Ball ball;
    EXPECT_TRUE(registry->setClassProperty(&ball, "opacity", ZuVariant(0.25)));
    EXPECT_EQ(ball.opacity, 0.25);
    EXPECT_EQ(registry->classProperty(&ball, "opacity").toDouble(), 0.25);
    ZuPropertyAccessor halved = opacity;
    halved.setter = [](ZuRttiObject* o, const ZuVariant& v) {
        zu_cast<Shape>(o)->opacity = v.toDouble() / 2;
    };
    registry->registerProperty("opacity", halved);
    registry->setClassProperty(&ball, "opacity", ZuVariant(1.0));
    EXPECT_EQ(ball.opacity, 0.5) << "the accessor was replaced";
    EXPECT_FALSE(registry->setClassProperty(&ball, "width", ZuVariant(3)));
    EXPECT_FALSE(registry->classProperty(&ball, "width").isValid());
    EXPECT_FALSE(registry->setClassProperty(nullptr, "opacity", ZuVariant(1)));
}

TEST(ZuVariant, KindsAndInlineValues) {
    EXPECT_FALSE(ZuVariant().isValid());
    struct Case {
        ZuVariant value;
        ZuVariant::Kind kind;
        double number;
    } cases[] = {{ZuVariant('a'), ZuVariant::Char, 97},
                 {ZuVariant(static_cast<unsigned char>(200)), ZuVariant::UChar, 200},
                 {ZuVariant(true), ZuVariant::Bool, 1},
                 {ZuVariant(-5), ZuVariant::Int, -5},
                 {ZuVariant(7u), ZuVariant::UInt, 7},
                 {ZuVariant(2.5), ZuVariant::Double, 2.5},
                 {ZuVariant(1.5f), ZuVariant::Float, 1.5},
                 {ZuVariant(1LL << 40), ZuVariant::Int64, 1099511627776.0},
                 {ZuVariant(3ULL), ZuVariant::UInt64, 3}};
    for (const Case& c : cases) {
        EXPECT_TRUE(c.value.isValid());
        EXPECT_EQ(c.value.kind(), c.kind);
        EXPECT_EQ(c.value.toDouble(), c.number) << c.kind;
        EXPECT_EQ(c.value.payloadBlock(), nullptr) << "inline kind " << c.kind;
    }
    Ball ball;
    EXPECT_EQ(ZuVariant(static_cast<ZuRttiObject*>(&ball)).toObject(), &ball);
}

TEST(ZuVariant, BlockKindsOwnTheirPayload) {
    ZuVariant rect(ZuRectF{1, 2, 3, 4});
    EXPECT_EQ(rect.kind(), ZuVariant::RectF);
    EXPECT_EQ(rect.toRectF(), (ZuRectF{1, 2, 3, 4}));
    const void* block = rect.payloadBlock();
    ASSERT_NE(block, nullptr);
    ZuVariant other(ZuRectF{5, 6, 7, 8});
    rect = other;
    EXPECT_EQ(rect.payloadBlock(), block) << "same kind reuses the block";
    EXPECT_EQ(rect.toRectF(), (ZuRectF{5, 6, 7, 8}));
    EXPECT_NE(other.payloadBlock(), block);
    rect = ZuVariant(2.0);
    EXPECT_EQ(rect.kind(), ZuVariant::Double);
    EXPECT_EQ(rect.payloadBlock(), nullptr);
    EXPECT_TRUE(quor::processMemPool().isFreeBlock(block)) << "the rectangle block was released";

    EXPECT_EQ(ZuVariant(ZuRect{1, 2, 3, 4}).toRect(), (ZuRect{1, 2, 3, 4}));
    EXPECT_EQ(ZuVariant(ZuPointF{1.5, 2}).toPointF(), (ZuPointF{1.5, 2}));
    EXPECT_EQ(ZuVariant(ZuPoint{3, 4}).toPoint(), (ZuPoint{3, 4}));
    EXPECT_EQ(ZuVariant(ZuSizeF{5, 6}).toSizeF(), (ZuSizeF{5, 6}));
    EXPECT_EQ(ZuVariant(ZuSize{7, 8}).kind(), ZuVariant::Size);
    EXPECT_EQ(ZuVariant(ZuMargins{1, 2, 3, 4}).toMargins(), (ZuMargins{1, 2, 3, 4}));
    EXPECT_EQ(ZuVariant(ZuMargins{}).toRect(), ZuRect{}) << "another kind reads as empty";

    ZuString text(L"opacity");
    ZuVariant s(text);
    EXPECT_EQ(s.kind(), ZuVariant::String);
    EXPECT_TRUE(s.toString().sharesBlockWith(text));
    ZuVariant copy = s;
    EXPECT_NE(copy.payloadBlock(), s.payloadBlock());
    EXPECT_TRUE(copy.toString().equals(L"opacity"));
    s = ZuVariant(1);
    EXPECT_EQ(text.referenceCount(), 2) << "text and copy's payload";
}

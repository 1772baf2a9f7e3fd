#include "ui/core/ZuRttiObject.h"
#include "ui/core/ZuWeakRef.h"

#include <gtest/gtest.h>

#include <vector>

// Alone in its program: the sweep bookkeeping is process-wide.
TEST(ZuWeakRefSweep, ThresholdDoublesWhenNothingIsFreedAndFollowsWhatRemains) {
    ZuWeakRefRegistry* registry = ZuWeakRefRegistry::instance();
    ASSERT_EQ(registry->deadCells(), 0u);
    ASSERT_EQ(registry->threshold(), 1000u);

    std::vector<ZuWeakRef> firstRefs;
    for (int i = 0; i < 1001; ++i) {
        auto* object = new ZuRttiObject;
        firstRefs.emplace_back(object);
        delete object;
    }
    EXPECT_EQ(registry->deadCells(), 1001u);
    EXPECT_EQ(registry->threshold(), 2000u) << "the sweep freed nothing: every cell is still referenced";

    // 1000 live objects with references on fresh cells, then 600 old references dropped.
    std::vector<ZuRttiObject*> alive;
    std::vector<ZuWeakRef> secondRefs;
    for (int i = 0; i < 1000; ++i) {
        alive.push_back(new ZuRttiObject);
        secondRefs.emplace_back(alive.back());
    }
    firstRefs.erase(firstRefs.begin(), firstRefs.begin() + 600);
    for (ZuRttiObject* object : alive)
        delete object;
    EXPECT_EQ(registry->deadCells(), 1401u) << "2001 dead cells, 600 unreferenced ones freed";
    EXPECT_EQ(registry->threshold(), 1401u);
    for (const ZuWeakRef& ref : secondRefs)
        EXPECT_TRUE(ref.isNull());

    // An unreferenced dead cell is reused before a new one is made.
    firstRefs.erase(firstRefs.begin());
    auto* object = new ZuRttiObject;
    ZuWeakRef reused(object);
    EXPECT_EQ(registry->deadCells(), 1400u);
    delete object;
    EXPECT_TRUE(reused.isNull());
}

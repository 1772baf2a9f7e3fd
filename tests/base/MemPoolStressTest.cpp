#include "base/MemPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

namespace {

std::atomic<int> g_reports{0};
void countReport(const wchar_t*) {
    ++g_reports;
}

struct Slot {
    uint8_t* p = nullptr;
    size_t n = 0;
    uint8_t fill = 0;
};

// One worker: keeps a window of live blocks of mixed sizes, each filled with
// its own byte pattern, and verifies a block completely before freeing it.
int churn(unsigned seed, int rounds) {
    std::vector<Slot> slots(512);
    int bad = 0;
    uint32_t state = seed;
    auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int i = 0; i < rounds; ++i) {
        Slot& s = slots[next() % slots.size()];
        if (s.p) {
            for (size_t k = 0; k < s.n; ++k)
                bad += s.p[k] != s.fill;
            if (next() % 4 == 0) {
                size_t grown = 1 + next() % 300;
                auto* q = static_cast<uint8_t*>(mp_realloc(s.p, grown));
                size_t kept = s.n < grown ? s.n : grown;
                for (size_t k = 0; k < kept; ++k)
                    bad += q[k] != s.fill;
                memset(q, s.fill, grown);
                s.p = q;
                s.n = grown;
                continue;
            }
            mp_free(s.p);
            s.p = nullptr;
        } else {
            s.n = next() % 300; // crosses every class and the heap boundary
            s.fill = static_cast<uint8_t>(next());
            s.p = static_cast<uint8_t*>(mp_alloc(s.n));
            memset(s.p, s.fill, s.n);
        }
    }
    for (Slot& s : slots) {
        for (size_t k = 0; k < s.n && s.p; ++k)
            bad += s.p[k] != s.fill;
        mp_free(s.p);
    }
    return bad;
}

} // namespace

TEST(MemPoolStress, TwoThreadsFindNoCorruption) {
    auto previous = quor::MemPool::setReporter(countReport);
    ASSERT_TRUE(quor::processMemPool().enabled()); // first pool call before the second thread
    int badA = 0, badB = 0;
    std::thread a([&] { badA = churn(1, 3000000); });
    std::thread b([&] { badB = churn(2, 3000000); });
    a.join();
    b.join();
    quor::MemPool::setReporter(previous);
    EXPECT_EQ(badA, 0);
    EXPECT_EQ(badB, 0);
    EXPECT_EQ(g_reports.load(), 0);
}

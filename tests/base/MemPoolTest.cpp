#include "base/MemPool.h"

#include "tests/support/Process.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using quor::MemPool;

namespace {

std::vector<std::wstring> g_reports;
void recordReport(const wchar_t* message) {
    g_reports.push_back(message);
}

std::wstring hexPointer(const void* p) {
    wchar_t text[32];
    _snwprintf(text, 31, L"0x%08I64X", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(p)));
    text[31] = 0;
    return text;
}

// Each test gets its own pool (released afterwards) and a recording reporter.
class MemPoolTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_reports.clear();
        m_previous = MemPool::setReporter(recordReport);
    }
    void TearDown() override { MemPool::setReporter(m_previous); }
    std::unique_ptr<MemPool> pool = std::make_unique<MemPool>(L"test.exe");
    MemPool::Reporter m_previous = nullptr;
};

} // namespace

TEST(MemPoolClasses, RequestSizesMapToTheirBlockSizes) {
    struct Case {
        size_t request;
        int cls;
        uint32_t block;
    } cases[] = {{0, 0, 8},     {1, 0, 8},     {8, 0, 8},      {9, 1, 16},     {32, 3, 32},
                 {33, 4, 48},   {48, 4, 48},   {49, 5, 64},    {96, 7, 96},    {97, 8, 128},
                 {128, 8, 128}, {129, 9, 160}, {224, 11, 224}, {225, 12, 256}, {256, 12, 256}};
    for (const Case& c : cases) {
        EXPECT_EQ(MemPool::classOf(c.request), c.cls) << c.request;
        EXPECT_EQ(MemPool::blockSizeOf(c.cls), c.block) << c.request;
    }
    EXPECT_EQ(MemPool::classOf(257), -1);
}

TEST_F(MemPoolTest, BlocksComeFromTheirClassAndLargeOnesFromTheHeap) {
    for (size_t n : {0u, 32u, 33u, 97u, 256u}) {
        void* p = pool->alloc(n);
        ASSERT_TRUE(pool->owns(p)) << n;
        EXPECT_EQ(pool->size(p), MemPool::blockSizeOf(MemPool::classOf(n))) << n;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 4, 0u);
        pool->free(p);
    }
    void* big = pool->alloc(257);
    EXPECT_FALSE(pool->owns(big));
    EXPECT_GE(pool->size(big), 257u);
    pool->free(big); // a runtime free, no report
    EXPECT_TRUE(g_reports.empty());
}

TEST_F(MemPoolTest, FirstChunkHoldsTheExpectedBlocksThenChunksDouble) {
    EXPECT_EQ(MemPool::blocksPerChunk(0x20000, 8), 10922u);
    std::vector<void*> blocks;
    blocks.push_back(pool->alloc(8));
    ASSERT_EQ(pool->chunkCount(), 1u);
    MemPool::Chunk first = pool->chunk(0);
    EXPECT_EQ(first.size, 0x20000u);
    EXPECT_EQ(first.blockSize, 8u);
    EXPECT_EQ(blocks[0], first.base + 4) << "the first block follows the 2 unused bytes and its header";
    for (int i = 1; i < 10922; ++i)
        blocks.push_back(pool->alloc(8));
    EXPECT_EQ(pool->chunkCount(), 1u) << "10922 blocks fit in the first chunk";
    EXPECT_EQ(static_cast<uint8_t*>(blocks.back()), first.base + 4 + 10921 * 12)
        << "handed out in address order";
    blocks.push_back(pool->alloc(8));
    ASSERT_EQ(pool->chunkCount(), 2u);
    EXPECT_EQ(pool->chunk(1).size, 0x40000u);
    EXPECT_EQ(pool->lastChunkSize(0), 0x40000u);
    for (void* p : blocks)
        pool->free(p);
    EXPECT_TRUE(g_reports.empty());
}

TEST_F(MemPoolTest, FreedBlockIsReusedFirst) {
    void* a = pool->alloc(20);
    pool->free(a);
    EXPECT_TRUE(pool->isFreeBlock(a));
    EXPECT_EQ(pool->alloc(24), a);
    pool->free(nullptr); // ignored
    EXPECT_TRUE(g_reports.empty());
}

TEST_F(MemPoolTest, DoubleFreeIsReportedAndNotChainedTwice) {
    void* a = pool->alloc(16);
    pool->free(a);
    pool->free(a);
    ASSERT_EQ(g_reports.size(), 1u);
    EXPECT_EQ(g_reports[0], L"mp_free - repeat free block " + hexPointer(a) + L"!");
    void* x = pool->alloc(16);
    void* y = pool->alloc(16);
    EXPECT_EQ(x, a);
    EXPECT_NE(y, a) << "the block was in the free list only once";
    EXPECT_EQ(g_reports.size(), 1u);
}

TEST_F(MemPoolTest, WritingPastTheBlockIsReportedAtFreeButNotWithinIt) {
    auto* a = static_cast<uint8_t*>(pool->alloc(5));
    memset(a, 0x55, 8); // inside the 8-byte block: undetectable and harmless
    pool->free(a);
    EXPECT_TRUE(g_reports.empty());
    auto* b = static_cast<uint8_t*>(pool->alloc(5));
    ASSERT_EQ(b, a);
    b[8] = 0; // the first guard byte
    pool->free(b);
    ASSERT_EQ(g_reports.size(), 1u);
    EXPECT_EQ(g_reports[0], L"mp_free - detect block " + hexPointer(b) + L" corrupt!");
    // The guard was rewritten by the free: the next round is clean.
    void* c = pool->alloc(5);
    pool->free(c);
    EXPECT_EQ(g_reports.size(), 1u);
}

TEST_F(MemPoolTest, OverwrittenGuardOfAFreeBlockIsReportedAtAllocation) {
    auto* a = static_cast<uint8_t*>(pool->alloc(40));
    pool->free(a);
    a[48] = 0x11; // guard of a free block
    void* again = pool->alloc(40);
    ASSERT_EQ(again, a);
    ASSERT_EQ(g_reports.size(), 1u);
    EXPECT_EQ(g_reports[0], L"mp_alloc - detect block " + hexPointer(a) + L" corrupt!");
}

TEST_F(MemPoolTest, ReallocStaysInPlaceOrMovesToALargerClass) {
    auto* p = static_cast<char*>(pool->alloc(10));
    strcpy(p, "abcdefghi");
    EXPECT_EQ(pool->realloc(p, 16), p) << "16 bytes still fit the block";
    EXPECT_EQ(pool->realloc(p, 1), p);
    auto* q = static_cast<char*>(pool->realloc(p, 100));
    ASSERT_NE(q, p);
    EXPECT_TRUE(pool->owns(q));
    EXPECT_EQ(pool->size(q), 128u);
    EXPECT_STREQ(q, "abcdefghi");
    EXPECT_TRUE(pool->isFreeBlock(p)) << "the old block went back to its class";
    auto* r = static_cast<char*>(pool->realloc(q, 1000));
    EXPECT_FALSE(pool->owns(r));
    EXPECT_STREQ(r, "abcdefghi");
    auto* s = static_cast<char*>(pool->realloc(r, 2000)); // runtime realloc of a runtime block
    EXPECT_STREQ(s, "abcdefghi");
    void* t = pool->realloc(nullptr, 12);
    EXPECT_TRUE(pool->owns(t));
    pool->free(s);
    pool->free(t);
    EXPECT_TRUE(g_reports.empty());
}

TEST_F(MemPoolTest, ReallocOfAFreedBlockIsReported) {
    void* p = pool->alloc(10);
    pool->free(p);
    EXPECT_EQ(pool->realloc(p, 12), p);
    ASSERT_EQ(g_reports.size(), 1u);
    EXPECT_EQ(g_reports[0], L"mp_free - detect block " + hexPointer(p) + L" corrupt!");
}

TEST_F(MemPoolTest, ForeignPointersAreNotPoolBlocks) {
    void* p = pool->alloc(64);
    EXPECT_FALSE(pool->owns(static_cast<char*>(p) + 4)) << "inside a block";
    EXPECT_FALSE(pool->owns(static_cast<char*>(p) + 1)) << "unaligned";
    int local = 0;
    EXPECT_FALSE(pool->owns(&local));
    EXPECT_FALSE(pool->owns(nullptr));
    EXPECT_EQ(pool->size(nullptr), 0u);
    pool->free(p);
}

TEST(MemPoolSwitch, AnyCaseOfTheSwitchTurnsThePoolOff) {
    struct Case {
        const wchar_t* commandLine;
        bool off;
    } cases[] = {{L"setup.exe /disablemempool", true},
                 {L"setup.exe /DisableMemPool -silence", true},
                 {L"\"C:\\a b\\setup.exe\" /DISABLEMEMPOOL", true},
                 {L"setup.exe -disablemempool", false},
                 {L"setup.exe /disablemem", false},
                 {L"setup.exe", false}};
    for (const Case& c : cases) {
        EXPECT_EQ(MemPool::commandLineDisablesPool(c.commandLine), c.off) << c.commandLine;
        MemPool pool(c.commandLine);
        void* p = pool.alloc(16);
        EXPECT_EQ(pool.owns(p), !c.off) << c.commandLine;
        EXPECT_EQ(pool.enabled(), !c.off);
        pool.free(p);
    }
    // Only the first 259 characters are searched.
    std::wstring late = L"setup.exe " + std::wstring(260, L'x') + L" /disablemempool";
    EXPECT_FALSE(MemPool::commandLineDisablesPool(late.c_str()));
}

// Runs in a child started with the switch in mixed case (see the next test).
TEST(MemPoolSwitch, ChildWithSwitchUsesTheRuntimeHeap) {
    if (!wcsstr(GetCommandLineW(), L"/DisAbleMemPOOL"))
        GTEST_SKIP() << "only meaningful in the child process";
    EXPECT_FALSE(quor::processMemPool().enabled());
    void* p = mp_alloc(16);
    EXPECT_FALSE(quor::processMemPool().owns(p));
    EXPECT_EQ(mp_size(p), _msize(p));
    p = mp_realloc(p, 24);
    mp_free(p);
}

TEST(MemPoolSwitch, ProcessPoolHonoursTheSwitchOnItsCommandLine) {
    if (wcsstr(GetCommandLineW(), L"/DisAbleMemPOOL"))
        GTEST_SKIP();
    void* p = mp_alloc(16);
    EXPECT_TRUE(quor::processMemPool().owns(p));
    mp_free(p);
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    ProcessResult child = runProgram(
        self, L"--gtest_filter=MemPoolSwitch.ChildWithSwitchUsesTheRuntimeHeap /DisAbleMemPOOL", 60000);
    ASSERT_TRUE(child.ended);
    EXPECT_EQ(child.code(), 0);
}

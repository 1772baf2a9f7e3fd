#include "setup/BlockDecoder.h"
#include "setup/CMemoryInStream.h"
#include "setup/ExtractArchive.h"

#include "tests/support/Payloads.h"

#include <7zAlloc.h>
#include <7zCrc.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

const ISzAlloc g_Alloc = {SzAlloc, SzFree};

// An archive opened with the SDK alone: which block holds which entry, and the
// packed bytes of each block, to check the engine against.
class OpenArchive {
public:
    explicit OpenArchive(const std::string& bytes) : m_memory(bytes.data(), bytes.size()) {
        LookToRead2_CreateVTable(&m_look, False);
        m_look.buf = m_lookBuffer;
        m_look.bufSize = sizeof m_lookBuffer;
        m_look.realStream = &m_memory.vt;
        LookToRead2_INIT(&m_look);
        CrcGenerateTable();
        SzArEx_Init(&db);
        ok = SzArEx_Open(&db, &m_look.vt, &g_Alloc, &g_Alloc) == SZ_OK;
    }
    ~OpenArchive() { SzArEx_Free(&db, &g_Alloc); }
    UInt32 blockOf(UInt32 file) const { return db.FileToFolder[file]; }
    // Offset of a block's first packed byte in the archive.
    size_t packedStart(UInt32 folder) const {
        return static_cast<size_t>(db.dataPos + db.db.PackPositions[db.db.FoStartPackStreamIndex[folder]]);
    }
    size_t packedEnd(UInt32 folder) const {
        return static_cast<size_t>(db.dataPos + db.db.PackPositions[db.db.FoStartPackStreamIndex[folder + 1]]);
    }
    std::string decodeWithSdk(UInt32 folder) {
        std::string out(static_cast<size_t>(SzAr_GetFolderUnpackSize(&db.db, folder)), '\0');
        EXPECT_EQ(SzAr_DecodeFolder(&db.db, folder, &m_look.vt, db.dataPos, reinterpret_cast<Byte*>(&out[0]),
                                    out.size(), &g_Alloc),
                  SZ_OK);
        return out;
    }

    CSzArEx db;
    bool ok = false;

private:
    CMemoryInStream m_memory;
    CLookToRead2 m_look;
    Byte m_lookBuffer[1 << 14];
};

struct Entry {
    std::wstring name;
    bool isDirectory;
    std::string data;
};

class RecordingOutput : public IDecompressOutput, public IDecompressCancel {
public:
    bool accept(const wchar_t*) override { return true; }
    bool output(const wchar_t* name, bool isDirectory, const unsigned char* data, size_t size) override {
        entries.push_back(
            {name, isDirectory, std::string(reinterpret_cast<const char*>(data), data ? size : 0)});
        return true;
    }
    bool shouldContinue() override { return true; }
    void progress(int index, int count) override { steps.push_back({index, count}); }
    bool isStopRequested() override { return !entries.empty() && entries.back().name == stopAfterName; }

    std::vector<Entry> entries;
    std::vector<std::pair<int, int>> steps;
    std::wstring stopAfterName;
};

std::string archiveBytes(const wchar_t* name) {
    bool ok = false;
    std::string bytes = readFileBytes(testPayloadDirectory() + name, &ok);
    EXPECT_TRUE(ok) << "missing test payload";
    return bytes;
}

std::wstring backslashed(std::wstring name) {
    for (wchar_t& c : name)
        if (c == L'/')
            c = L'\\';
    return name;
}

std::wstring fileName(const CSzArEx& db, UInt32 index) {
    std::vector<UInt16> name(SzArEx_GetFileNameUtf16(&db, index, nullptr));
    SzArEx_GetFileNameUtf16(&db, index, name.data());
    return std::wstring(reinterpret_cast<const wchar_t*>(name.data()));
}

std::string treeFile(const std::wstring& name) {
    return readFileBytes(testPayloadDirectory() + L"blocks\\" + backslashed(name));
}

} // namespace

struct PackingCase {
    const wchar_t* archive;
    UInt32 minBlocks;
    UInt32 maxBlocks;
};

class BlockPacking : public ::testing::TestWithParam<PackingCase> {};

// Many small files, empty files, the program's block and a large one: every
// entry arrives once, in archive order, byte-identical, with one progress step.
TEST_P(BlockPacking, EveryEntryArrivesInOrderByteIdentical) {
    std::string archive = archiveBytes(GetParam().archive);
    OpenArchive facts(archive);
    ASSERT_TRUE(facts.ok);
    EXPECT_GE(facts.db.db.NumFolders, GetParam().minBlocks);
    EXPECT_LE(facts.db.db.NumFolders, GetParam().maxBlocks);

    RecordingOutput out;
    ASSERT_TRUE(extractArchive(archive.data(), archive.size(), out, &out));
    ASSERT_EQ(out.entries.size(), facts.db.NumFiles);
    ASSERT_EQ(out.steps.size(), out.entries.size());
    size_t empty = 0;
    for (UInt32 i = 0; i < facts.db.NumFiles; ++i) {
        const Entry& e = out.entries[i];
        EXPECT_EQ(e.name, fileName(facts.db, i));
        if (e.isDirectory)
            continue;
        EXPECT_EQ(e.data, treeFile(e.name)) << "entry " << i;
        if (e.data.empty())
            ++empty;
        EXPECT_EQ(out.steps[i], std::make_pair(static_cast<int>(i), static_cast<int>(facts.db.NumFiles)));
    }
    EXPECT_EQ(empty, 10u);
    EXPECT_GE(facts.db.NumFiles, 250u);
}

INSTANTIATE_TEST_SUITE_P(Packings, BlockPacking,
                         ::testing::Values(PackingCase{L"blocks.7z", 10, 1000}, PackingCase{L"blocks-one.7z", 1, 2}));

// Whatever the number of threads, each block comes out as the SDK decodes it.
TEST(BlockDecoder, AnyThreadCountGivesEveryBlockAsTheSdkDecodesIt) {
    std::string archive = archiveBytes(L"blocks.7z");
    OpenArchive facts(archive);
    ASSERT_TRUE(facts.ok);
    std::vector<std::string> expected;
    for (UInt32 f = 0; f < facts.db.db.NumFolders; ++f)
        expected.push_back(facts.decodeWithSdk(f));
    for (unsigned threads : {1u, 2u, 3u, 8u}) {
        BlockDecoder decoder(facts.db, archive.data(), archive.size(), threads);
        for (UInt32 f = 0; f < facts.db.db.NumFolders; ++f) {
            const Byte* data = nullptr;
            size_t size = 0;
            ASSERT_EQ(decoder.acquire(f, &data, &size), SZ_OK) << threads << " threads, block " << f;
            ASSERT_EQ(std::string(reinterpret_cast<const char*>(data), size), expected[f])
                << threads << " threads, block " << f;
            // Asking again for the block in hand gives it again.
            const Byte* again = nullptr;
            ASSERT_EQ(decoder.acquire(f, &again, &size), SZ_OK);
            EXPECT_EQ(again, data);
        }
    }
}

// The writer may skip blocks (entries it does not accept); the later ones still come.
TEST(BlockDecoder, SkippedBlocksAreNotNeededForLaterOnes) {
    std::string archive = archiveBytes(L"blocks.7z");
    OpenArchive facts(archive);
    ASSERT_TRUE(facts.ok);
    const UInt32 last = facts.db.db.NumFolders - 1;
    std::string expected = facts.decodeWithSdk(last);
    BlockDecoder decoder(facts.db, archive.data(), archive.size(), 2);
    const Byte* data = nullptr;
    size_t size = 0;
    ASSERT_EQ(decoder.acquire(last, &data, &size), SZ_OK);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size), expected);
    EXPECT_EQ(decoder.acquire(0, &data, &size), SZ_ERROR_FAIL) << "a released block is gone";
}

// A damaged second block: every entry of the first block is handed over intact;
// of the damaged block at most the entries decoded and checked before the damage,
// and those intact; nothing after it, even though later blocks were decoded
// ahead on other threads; the extraction fails.
TEST(BlockDecoder, DamagedSecondBlockKeepsTheFirstBlocksEntriesOnly) {
    std::string archive = archiveBytes(L"blocks.7z");
    OpenArchive facts(archive);
    ASSERT_TRUE(facts.ok);
    ASSERT_GE(facts.db.db.NumFolders, 3u);
    const size_t start = facts.packedStart(1), end = facts.packedEnd(1);
    ASSERT_GT(end - start, 32u);
    std::string damaged = archive;
    for (size_t i = start + (end - start) / 2; i < start + (end - start) / 2 + 16; ++i)
        damaged[i] = static_cast<char>(damaged[i] ^ 0x5A);

    RecordingOutput out;
    EXPECT_FALSE(extractArchive(damaged.data(), damaged.size(), out, nullptr));
    size_t firstBlockFiles = 0, damagedBlockFiles = 0, damagedBlockHanded = 0;
    for (UInt32 i = 0; i < facts.db.NumFiles; ++i) {
        const UInt32 block = facts.blockOf(i);
        const bool handed = i < out.entries.size();
        if (handed && !out.entries[i].isDirectory) {
            EXPECT_EQ(out.entries[i].data, treeFile(out.entries[i].name)) << "entry " << i;
        }
        if (block == 0) {
            EXPECT_TRUE(handed) << "entry " << i << " of the first block";
            ++firstBlockFiles;
        } else if (block == 1) {
            ++damagedBlockFiles;
            damagedBlockHanded += handed ? 1 : 0;
        } else if (block != static_cast<UInt32>(-1)) {
            EXPECT_FALSE(handed) << "entry " << i << " of block " << block;
        }
    }
    EXPECT_GT(firstBlockFiles, 0u);
    EXPECT_LT(damagedBlockHanded, damagedBlockFiles) << "the damaged entry itself is never handed over";
}

// A block can be handed out in part: the first bytes are there once decoded,
// and they are the bytes the SDK decodes.
TEST(BlockDecoder, PartOfABlockComesOutAsTheSdkDecodesIt) {
    std::string archive = archiveBytes(L"blocks-one.7z");
    OpenArchive facts(archive);
    ASSERT_TRUE(facts.ok);
    UInt32 largest = 0;
    for (UInt32 f = 1; f < facts.db.db.NumFolders; ++f)
        if (SzAr_GetFolderUnpackSize(&facts.db.db, f) > SzAr_GetFolderUnpackSize(&facts.db.db, largest))
            largest = f;
    std::string expected = facts.decodeWithSdk(largest);
    ASSERT_GT(expected.size(), 4u << 20);
    BlockDecoder decoder(facts.db, archive.data(), archive.size(), 2);
    for (size_t needed : {size_t(1), size_t(4096), expected.size() / 2, expected.size()}) {
        const Byte* data = nullptr;
        size_t size = 0;
        ASSERT_EQ(decoder.acquireBytes(largest, needed, &data, &size), SZ_OK);
        ASSERT_GE(size, needed);
        ASSERT_LE(size, expected.size());
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size), expected.substr(0, size));
    }
}

// A stop requested while the large block is being decoded ends the extraction
// after the current entry, as failure, without handing over anything more.
TEST(BlockDecoder, StopDuringALargeBlockEndsAfterTheCurrentEntry) {
    std::string archive = archiveBytes(L"blocks.7z");
    OpenArchive facts(archive);
    ASSERT_TRUE(facts.ok);
    UInt32 large = facts.db.NumFiles;
    for (UInt32 i = 0; i < facts.db.NumFiles; ++i)
        if (backslashed(fileName(facts.db, i)) == L"InstallDir\\large.dat")
            large = i;
    ASSERT_LT(large, facts.db.NumFiles);
    ASSERT_GT(large, 0u) << "the large file must not be the first entry";

    RecordingOutput out;
    out.stopAfterName = fileName(facts.db, large - 1);
    EXPECT_FALSE(extractArchive(archive.data(), archive.size(), out, &out));
    ASSERT_EQ(out.entries.size(), large);
    EXPECT_EQ(out.entries.back().name, out.stopAfterName);
    EXPECT_EQ(out.steps.size(), out.entries.size());
}

#include "setup/ExtractArchive.h"
#include "setup/CMemoryInStream.h"

#include "tests/support/Payloads.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct Entry {
    std::wstring name;
    bool isDirectory;
    std::string data;
};

// Records what the extraction hands over; can refuse an entry or stop the run.
class RecordingOutput : public IDecompressOutput, public IDecompressCancel {
public:
    bool accept(const wchar_t* name) override { return std::wstring(name) != skipName; }
    bool output(const wchar_t* name, bool isDirectory, const unsigned char* data, size_t size) override {
        entries.push_back(
            {name, isDirectory, std::string(reinterpret_cast<const char*>(data), data ? size : 0)});
        if (!isDirectory && size) {
            EXPECT_NE(data, nullptr);
        }
        return static_cast<int>(entries.size()) != failAt;
    }
    bool shouldContinue() override { return true; }
    void progress(int index, int count) override { steps.push_back({index, count}); }
    bool isStopRequested() override { return static_cast<int>(entries.size()) >= stopAfter; }

    std::vector<Entry> entries;
    std::vector<std::pair<int, int>> steps;
    std::wstring skipName;
    int failAt = -1;
    int stopAfter = 1 << 30;
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

} // namespace

TEST(ExtractArchive, HandsOverEveryEntryOfTheTreeByteIdenticalWithOneStepEach) {
    std::string archive = archiveBytes(L"roots.7z");
    RecordingOutput out;
    ASSERT_TRUE(extractArchive(archive.data(), archive.size(), out, &out));

    std::vector<TreeFile> tree = listTree(testPayloadDirectory() + L"roots\\");
    ASSERT_EQ(out.entries.size(), tree.size());
    std::map<std::wstring, bool> expected;
    for (const TreeFile& f : tree)
        expected[f.relative] = f.isDirectory;
    for (const Entry& e : out.entries) {
        std::wstring name = backslashed(e.name);
        ASSERT_EQ(expected.count(name), 1u) << "unexpected entry";
        EXPECT_EQ(e.isDirectory, expected[name]);
        if (!e.isDirectory)
            EXPECT_EQ(e.data, readFileBytes(testPayloadDirectory() + L"roots\\" + name));
        else
            EXPECT_TRUE(e.data.empty());
    }
    ASSERT_EQ(out.steps.size(), out.entries.size());
    for (size_t i = 0; i < out.steps.size(); ++i) {
        EXPECT_EQ(out.steps[i].first, static_cast<int>(i));
        EXPECT_EQ(out.steps[i].second, static_cast<int>(tree.size()));
    }
}

TEST(ExtractArchive, NotAcceptedEntryIsNeitherWrittenNorCounted) {
    std::string archive = archiveBytes(L"roots.7z");
    RecordingOutput out;
    out.skipName = L"loose.txt";
    ASSERT_TRUE(extractArchive(archive.data(), archive.size(), out, nullptr));
    for (const Entry& e : out.entries)
        EXPECT_NE(e.name, L"loose.txt");
    EXPECT_EQ(out.steps.size(), out.entries.size());
}

TEST(ExtractArchive, FailedOutputStopsTheLoop) {
    std::string archive = archiveBytes(L"roots.7z");
    RecordingOutput out;
    out.failAt = 3;
    EXPECT_FALSE(extractArchive(archive.data(), archive.size(), out, nullptr));
    EXPECT_EQ(out.entries.size(), 3u);
    EXPECT_EQ(out.steps.size(), 2u) << "the failed entry gets no progress step";
}

TEST(ExtractArchive, StopRequestEndsAfterTheCurrentEntryAsFailure) {
    std::string archive = archiveBytes(L"roots.7z");
    RecordingOutput out;
    out.stopAfter = 2;
    EXPECT_FALSE(extractArchive(archive.data(), archive.size(), out, &out));
    EXPECT_EQ(out.entries.size(), 2u);
    EXPECT_EQ(out.steps.size(), 2u);
}

TEST(ExtractArchive, DamagedLastBlockFailsAfterTheEarlierEntries) {
    std::string archive = archiveBytes(L"roots-damage.7z");
    RecordingOutput out;
    EXPECT_FALSE(extractArchive(archive.data(), archive.size(), out, nullptr));
    size_t files = 0;
    for (const Entry& e : out.entries)
        if (!e.isDirectory) {
            ++files;
            EXPECT_EQ(e.data, readFileBytes(testPayloadDirectory() + L"roots\\" + backslashed(e.name)))
                << "a damaged block must never be handed over";
        }
    EXPECT_GT(files, 0u);
}

TEST(ExtractArchive, TruncatedOrForeignBytesFailWithoutEntries) {
    std::string archive = archiveBytes(L"roots.7z");
    const size_t cuts[] = {0, 1, 31, 32, 33, archive.size() / 2, archive.size() - 1};
    for (size_t cut : cuts) {
        RecordingOutput out;
        std::string part = archive.substr(0, cut);
        EXPECT_FALSE(extractArchive(part.data(), part.size(), out, nullptr)) << "cut at " << cut;
        EXPECT_TRUE(out.entries.empty()) << "cut at " << cut;
    }
    std::string foreign(4096, 'x');
    RecordingOutput out;
    EXPECT_FALSE(extractArchive(foreign.data(), foreign.size(), out, nullptr));
}

TEST(MemoryInStream, ReadsInPlaceAndRefusesToReadPastTheEnd) {
    const char bytes[] = "0123456789";
    CMemoryInStream stream(bytes, 10);
    char buffer[16] = {};
    size_t size = 4;
    ASSERT_EQ(stream.vt.Read(&stream.vt, buffer, &size), SZ_OK);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    size = 7;
    EXPECT_EQ(stream.vt.Read(&stream.vt, buffer, &size), SZ_ERROR_ARCHIVE);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(stream.position, 4u);

    Int64 offset = 0;
    ASSERT_EQ(stream.vt.Seek(&stream.vt, &offset, SZ_SEEK_END), SZ_OK);
    EXPECT_EQ(offset, 10);
    offset = -3;
    ASSERT_EQ(stream.vt.Seek(&stream.vt, &offset, SZ_SEEK_CUR), SZ_OK);
    EXPECT_EQ(offset, 7);
    size = 3;
    ASSERT_EQ(stream.vt.Read(&stream.vt, buffer, &size), SZ_OK);
    EXPECT_EQ(std::string(buffer, 3), "789");
    offset = 2;
    ASSERT_EQ(stream.vt.Seek(&stream.vt, &offset, SZ_SEEK_SET), SZ_OK);
    EXPECT_EQ(offset, 2);
}

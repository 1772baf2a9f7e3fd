#include "ui/resource/ZuPixmap.h"
#include "artwork/ArtworkTables.h"
#include "ui/core/ZuApplication.h"
#include "ui/resource/ZuAssignLib.h"
#include "ui/resource/ZuImageCache.h"
#include "ui/resource/ZuResourceLib.h"
#include "ui/resource/ZuResourceMapping.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The generator's test table: bytes of an entry by name.
std::string testEntry(const char* name) {
    size_t offset = 0;
    for (int i = 0; i < zuArtworkTestTable.count; ++i) {
        if (std::strcmp(zuArtworkTestTable.names[i], name) == 0)
            return std::string(reinterpret_cast<const char*>(zuArtworkTestTable.block) + offset,
                               zuArtworkTestTable.sizes[i]);
        offset += zuArtworkTestTable.sizes[i];
    }
    return {};
}

class PixmapTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app.gdiplusStarted());
        registerResourceTable(zuArtworkTestTable.count, zuArtworkTestTable.names, zuArtworkTestTable.block,
                              zuArtworkTestTable.sizes);
    }
    ZuApplication app;
};

TEST_F(PixmapTest, ToolkitPicturesAreFoundBeforeAnyProgramTable) {
    ZuPixmap shadow = loadPixmap(L"zugui:shadow.png");
    ASSERT_FALSE(shadow.isNull());
    EXPECT_EQ(shadow.size(), (ZuSize{66, 66}));
    EXPECT_EQ(shadow.image()->address(), L"dll:///theme/gui/shadow.png");
    EXPECT_TRUE(loadPixmap(L"setup:title.png").isNull()); // no such alias, no such table yet
}

TEST_F(PixmapTest, TheSameIdTwiceSharesOneImage) {
    ZuPixmap first = loadPixmap(L"zugui:button_normal.png");
    ZuPixmap second = loadPixmap(L"dll:///theme/gui/button_normal.png");
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.image(), second.image());
    int refs = first.image()->refCount();
    {
        ZuPixmap copy = first;
        EXPECT_EQ(first.image()->refCount(), refs + 1);
    }
    EXPECT_EQ(first.image()->refCount(), refs);
    EXPECT_EQ(ZuImageCache::instance()->findById(first.image()->id()), first.image());
    first.image()->release(); // the reference findById handed out
}

TEST_F(PixmapTest, EmptyOrZeroLedEntriesAreNotRegistered) {
    const uint8_t block[] = {'x', 'y', 0, 'a', 'b', 'c'};
    const char* const names[] = {"probe/empty.png", "probe/zero.png", "probe/text.txt"};
    const uint32_t sizes[] = {0, 3, 3};
    ASSERT_TRUE(registerResourceTable(3, names, block, sizes));
    ZuResourceMapping* dll = ZuResourceLib::instance()->mapping(L"dll");
    ASSERT_NE(dll, nullptr);
    EXPECT_FALSE(dll->contains(ZuUrl(L"dll:///probe/empty.png")));
    // Entry 1 starts at offset 0 (after an empty entry 0) with 'x': registered; its
    // first byte would be 0 only if the offsets were wrong.
    EXPECT_TRUE(dll->contains(ZuUrl(L"dll:///probe/zero.png")));
    EXPECT_EQ(dll->data(ZuUrl(L"dll:///probe/text.txt")).size(), 3u);
    EXPECT_EQ(dll->data(ZuUrl(L"dll:///probe/text.txt")).data()[0], 'a');

    const uint8_t zeroLed[] = {0, 'P', 'N', 'G'};
    const char* const zeroNames[] = {"probe/zero_led.png"};
    const uint32_t zeroSizes[] = {4};
    registerResourceTable(1, zeroNames, zeroLed, zeroSizes);
    EXPECT_FALSE(dll->contains(ZuUrl(L"dll:///probe/zero_led.png")));
    EXPECT_TRUE(loadPixmap(L"dll:///probe/zero_led.png").isNull());
    EXPECT_TRUE(loadPixmap(L"dll:///probe/empty.png").isNull());
}

TEST_F(PixmapTest, AFailedDecodeIsNotCached) {
    size_t before = ZuImageCache::instance()->size();
    EXPECT_TRUE(loadPixmap(L"dll:///test/not_a_picture.png").isNull());
    EXPECT_EQ(ZuImageCache::instance()->size(), before);
    // Once real bytes are there, the same address decodes.
    ZuResourceMapping* dll = ZuResourceLib::instance()->mapping(L"dll");
    std::string png = testEntry("test/solid.png");
    dll->add(ZuUrl(L"dll:///test/not_a_picture.png"),
             ZuByteArray::fromTableEntry(reinterpret_cast<const uint8_t*>(png.data()), png.size()));
    ZuPixmap now = loadPixmap(L"dll:///test/not_a_picture.png");
    EXPECT_EQ(now.size(), (ZuSize{3, 2}));
    EXPECT_EQ(ZuImageCache::instance()->size(), before + 1);
}

TEST_F(PixmapTest, AnimatedGifHasItsFramesAndDelays) {
    ZuPixmap gif = loadPixmap(L"dll:///test/three_frames.gif");
    ASSERT_FALSE(gif.isNull());
    ZuImage* image = gif.image();
    EXPECT_EQ(image->frameCount(), 3);
    EXPECT_EQ(image->currentFrame(), 0);
    EXPECT_EQ(image->currentFrameDelay(), 100);
    image->setActiveFrame(1);
    EXPECT_EQ(image->currentFrameDelay(), 200);
    image->setActiveFrame(5); // modulo the count
    EXPECT_EQ(image->currentFrame(), 2);
    EXPECT_EQ(image->currentFrameDelay(), 300);
    // The selected frame is what the bitmap shows: the third frame is blue.
    Gdiplus::ARGB pixel = 0;
    zuGdip()->GdipBitmapGetPixel(image->bitmap(), 2, 2, &pixel);
    EXPECT_EQ(pixel, 0xFF0000FFu);
}

TEST_F(PixmapTest, SingleFramePictureIgnoresFrameSelection) {
    ZuPixmap png = loadPixmap(L"dll:///test/solid.png");
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.image()->frameCount(), 1);
    png.image()->setActiveFrame(3);
    EXPECT_EQ(png.image()->currentFrame(), 0);
    EXPECT_EQ(png.image()->currentFrameDelay(), 0);
}

TEST_F(PixmapTest, FilesLoadThroughEitherSlashAsOneAddress) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    std::wstring path =
        std::wstring(dir) + L"zu_pixmap_probe_" + std::to_wstring(GetCurrentProcessId()) + L".png";
    std::string png = testEntry("test/solid.png");
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, png.data(), static_cast<DWORD>(png.size()), &written, nullptr);
    CloseHandle(file);

    std::wstring forward = path;
    for (wchar_t& c : forward)
        if (c == L'\\')
            c = L'/';
    ZuResourceMapping* files = ZuResourceLib::instance()->mapping(L"file");
    ASSERT_NE(files, nullptr);
    EXPECT_TRUE(files->contains(ZuUrl(path)));
    ZuPixmap a = loadPixmap(path);
    ZuPixmap b = loadPixmap(forward);
    ASSERT_FALSE(a.isNull());
    EXPECT_EQ(a.image(), b.image());
    EXPECT_EQ(a.image()->address(), L"file:///" + forward);
    DeleteFileW(path.c_str());
    EXPECT_FALSE(files->contains(ZuUrl(path)));
    EXPECT_TRUE(loadPixmap(path + L".missing").isNull());
    EXPECT_TRUE(loadPixmap(L"nosuchscheme://x/y.png").isNull());
}

TEST_F(PixmapTest, RegistryRefusesATakenSchemeAndAForeignObject) {
    ZuResourceLib* registry = ZuResourceLib::instance();
    ZuRttiObject* extra = createInstance(ZuResourceMappingDLL::staticRecord());
    EXPECT_FALSE(registry->registerMapping(L"dll", extra));
    ZuRttiObject* notAMapping = createInstance(ZuRttiObject::staticRecord());
    EXPECT_FALSE(registry->registerMapping(L"odd", notAMapping));
    EXPECT_EQ(registry->mapping(L"odd"), nullptr);
    delete notAMapping;
    EXPECT_TRUE(registry->registerMapping(L"mem", extra));
    EXPECT_EQ(registry->mapping(L"mem"), extra);
    EXPECT_EQ(registry->mapping(L"file")->classRecord(), ZuResourceMappingFile::staticRecord());
    EXPECT_FALSE(registry->mapping(L"file")->isWritable(ZuUrl(L"C:/x")));
}

TEST_F(PixmapTest, EntrySlotIsCreatedEmptyAndAddReplaces) {
    ZuResourceMapping* dll = ZuResourceLib::instance()->mapping(L"dll");
    ZuUrl url(L"dll:///probe/slot.bin");
    EXPECT_FALSE(dll->contains(url));
    EXPECT_TRUE(dll->entry(url).isEmpty());
    EXPECT_TRUE(dll->contains(url)); // the slot exists now, still empty
    const uint8_t one[] = {'1'}, two[] = {'2', '2'};
    EXPECT_TRUE(dll->add(url, ZuByteArray::fromTableEntry(one, 1)));
    EXPECT_TRUE(dll->add(url, ZuByteArray::fromTableEntry(two, 2)));
    EXPECT_EQ(dll->data(url).size(), 2u);
    EXPECT_TRUE(dll->data(url).sharesWith(dll->entry(url)));
}

TEST(PixmapLifetimeTest, APixmapOutlivingTheApplicationReadsAsEmpty) {
    ZuPixmap kept;
    {
        ZuApplication app;
        kept = loadPixmap(L"zugui:icon.png");
        ASSERT_FALSE(kept.isNull());
    }
    EXPECT_TRUE(kept.isNull());
    EXPECT_EQ(kept.width(), 0);
    ZuApplication again;
    ZuPixmap fresh = loadPixmap(L"zugui:icon.png");
    EXPECT_FALSE(fresh.isNull()); // decoded again in the new session
    EXPECT_NE(fresh.image(), kept.image());
}

} // namespace

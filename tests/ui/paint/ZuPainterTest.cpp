#include "ui/paint/ZuPainter.h"
#include "artwork/ArtworkTables.h"
#include "ui/core/ZuApplication.h"
#include "ui/resource/ZuResourceLib.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, maxAlpha = 0, count = 0;
};

Ink inkOf(const ZuPaintSurface& surface) {
    Ink ink;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x) {
            int alpha = static_cast<int>(surface.pixel(x, y) >> 24);
            if (!alpha)
                continue;
            ++ink.count;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
            ink.maxAlpha = std::max(ink.maxAlpha, alpha);
        }
    return ink;
}

std::string hex(uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(v));
    return text;
}
#define EXPECT_PIXEL(surface, x, y, argb)                                                                    \
    EXPECT_EQ(hex((surface).pixel(x, y)), hex(argb)) << "at " << (x) << "," << (y)

class PainterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app.gdiplusStarted());
        registerResourceTable(zuArtworkTestTable.count, zuArtworkTestTable.names, zuArtworkTestTable.block,
                              zuArtworkTestTable.sizes);
    }
    ZuApplication app;
};

TEST_F(PainterTest, FillsOnALayerAndABackBuffer) {
    ZuLayer layer(20, 10);
    ASSERT_TRUE(layer.isValid());
    ZuPainter onLayer(&layer);
    onLayer.fillRect({2, 3, 5, 4}, ZuColor::fromArgb(kRed));
    EXPECT_PIXEL(layer, 2, 3, kRed);
    EXPECT_PIXEL(layer, 6, 6, kRed);
    EXPECT_PIXEL(layer, 7, 6, 0u);
    EXPECT_PIXEL(layer, 6, 7, 0u);
    EXPECT_PIXEL(layer, 1, 3, 0u);

    ZuBackBuffer buffer;
    ASSERT_TRUE(buffer.resize(20, 10));
    ASSERT_TRUE(buffer.begin());
    ZuPainter onBuffer(&buffer);
    onBuffer.fillRect({0, 0, 20, 10}, ZuColor::fromArgb(kBlue));
    onBuffer.fillRect({10, 0, 10, 10}, ZuColor::rgba(255, 0, 0, 128));
    buffer.end();
    EXPECT_PIXEL(buffer, 0, 0, kBlue);
    EXPECT_PIXEL(buffer, 9, 9, kBlue);
    // Half red over opaque blue: opaque, half of each (premultiplied words).
    uint32_t mixed = buffer.pixel(15, 5);
    EXPECT_EQ(mixed >> 24, 0xFFu);
    EXPECT_NEAR(static_cast<int>((mixed >> 16) & 0xFF), 128, 2);
    EXPECT_NEAR(static_cast<int>(mixed & 0xFF), 127, 2);
}

TEST_F(PainterTest, BackBufferKeepsTranslucencyPremultiplied) {
    ZuBackBuffer buffer;
    ASSERT_TRUE(buffer.resize(8, 8));
    ASSERT_TRUE(buffer.begin());
    EXPECT_PIXEL(buffer, 3, 3, 0u); // cleared to transparent on creation
    ZuPainter painter(&buffer);
    painter.fillRect({0, 0, 8, 8}, ZuColor::rgba(255, 255, 255, 128));
    buffer.end();
    uint32_t v = buffer.pixel(4, 4);
    EXPECT_EQ(v >> 24, 128u);
    EXPECT_NEAR(static_cast<int>((v >> 16) & 0xFF), 128, 1);
}

TEST_F(PainterTest, ClearRectEmptiesOnlyItsRectangleAndAnInvalidOneEverything) {
    ZuBackBuffer buffer;
    ASSERT_TRUE(buffer.resize(10, 10));
    buffer.clearRect({0, 0, 10, 10}); // before the graphics object exists: nothing happens, no crash
    ASSERT_TRUE(buffer.begin());
    ZuPainter painter(&buffer);
    painter.fillRect({0, 0, 10, 10}, ZuColor::fromArgb(kGreen));
    buffer.clearRect({2, 2, 3, 3});
    EXPECT_PIXEL(buffer, 2, 2, 0u);
    EXPECT_PIXEL(buffer, 4, 4, 0u);
    EXPECT_PIXEL(buffer, 5, 5, kGreen);
    EXPECT_PIXEL(buffer, 1, 2, kGreen);
    buffer.clearRect({0, 0, 0, 0});
    EXPECT_PIXEL(buffer, 9, 9, 0u);
    buffer.end();
}

TEST_F(PainterTest, ResizedBackBufferStartsTransparentWithAnEmptyStateStack) {
    ZuBackBuffer buffer;
    ASSERT_TRUE(buffer.resize(6, 6));
    ASSERT_TRUE(buffer.begin());
    ZuPainter painter(&buffer);
    painter.fillRect({0, 0, 6, 6}, ZuColor::fromArgb(kRed));
    painter.save();
    EXPECT_EQ(buffer.savedStates().size(), 1u);
    buffer.end();
    ASSERT_TRUE(buffer.resize(12, 4));
    ASSERT_TRUE(buffer.begin());
    EXPECT_TRUE(buffer.savedStates().empty());
    EXPECT_EQ(buffer.width(), 12);
    EXPECT_PIXEL(buffer, 2, 2, 0u);
    ZuPainter again(&buffer);
    again.fillRect({10, 0, 2, 4}, ZuColor::fromArgb(kGreen));
    buffer.end();
    EXPECT_PIXEL(buffer, 11, 3, kGreen);
    EXPECT_PIXEL(buffer, 12, 3, 0u); // outside reads as 0
}

TEST_F(PainterTest, LinesAndOutlinesAreOnePixelWide) {
    ZuLayer layer(20, 12);
    ZuPainter painter(&layer);
    painter.drawLine({2, 5}, {12, 5}, ZuColor::fromArgb(kRed));
    for (int x = 3; x <= 11; ++x)
        EXPECT_PIXEL(layer, x, 5, kRed);
    EXPECT_PIXEL(layer, 7, 4, 0u);
    EXPECT_PIXEL(layer, 7, 6, 0u);

    ZuLayer box(20, 12);
    ZuPainter outline(&box);
    outline.drawRect({2, 2, 10, 6}, ZuColor::fromArgb(kBlue));
    EXPECT_PIXEL(box, 2, 4, kBlue);  // left edge
    EXPECT_PIXEL(box, 12, 4, kBlue); // right edge at x + width
    EXPECT_PIXEL(box, 6, 2, kBlue);  // top
    EXPECT_PIXEL(box, 6, 8, kBlue);  // bottom at y + height
    EXPECT_PIXEL(box, 6, 5, 0u);     // inside stays empty
    EXPECT_PIXEL(box, 13, 4, 0u);
}

// The probe picture is 10 by 10 with margins 3: corners (160 + 20 right + 40
// bottom, 0, 0); top and bottom strips (0, 30 + 60 * column, 0); left and
// right strips (0, 0, 30 + 60 * row); a yellow centre.
uint32_t cornerColour(bool right, bool bottom) {
    return 0xFF000000u | (uint32_t(160 + 20 * right + 40 * bottom) << 16);
}
uint32_t topStrip(int column) {
    return 0xFF000000u | (uint32_t(30 + 60 * column) << 8);
}
uint32_t sideStrip(int row) {
    return 0xFF000000u | uint32_t(30 + 60 * row);
}

TEST_F(PainterTest, NineSliceKeepsCornersAndTilesEdgesAtSeveralSizes) {
    ZuPixmap probe = loadPixmap(L"dll:///test/nine_slice.png");
    ASSERT_EQ(probe.width(), 10);
    for (ZuSize size : {ZuSize{10, 10}, ZuSize{25, 14}, ZuSize{17, 31}, ZuSize{7, 7}}) {
        SCOPED_TRACE(::testing::Message() << size.width << "x" << size.height);
        ZuLayer layer(40, 40);
        ZuPainter painter(&layer);
        ZuEdgeRect dest = ZuEdgeRect::fromXywh(1, 2, size.width, size.height);
        painter.drawBorderImage(dest, probe, {3, 3, 3, 3});
        // Corners at 1:1, not scaled.
        EXPECT_PIXEL(layer, dest.left, dest.top, cornerColour(false, false));
        EXPECT_PIXEL(layer, dest.left + 2, dest.top + 2, cornerColour(false, false));
        EXPECT_PIXEL(layer, dest.right, dest.top, cornerColour(true, false));
        EXPECT_PIXEL(layer, dest.right - 2, dest.top + 2, cornerColour(true, false));
        EXPECT_PIXEL(layer, dest.left, dest.bottom, cornerColour(false, true));
        EXPECT_PIXEL(layer, dest.right, dest.bottom, cornerColour(true, true));
        // Edges tiled: column k of the free width shows source column k mod 4.
        int freeWidth = size.width - 6, freeHeight = size.height - 6;
        for (int k = 0; k < freeWidth; ++k) {
            EXPECT_PIXEL(layer, dest.left + 3 + k, dest.top + 1, topStrip(k % 4));
            EXPECT_PIXEL(layer, dest.left + 3 + k, dest.bottom - 1, topStrip(k % 4));
        }
        for (int k = 0; k < freeHeight; ++k) {
            EXPECT_PIXEL(layer, dest.left + 1, dest.top + 3 + k, sideStrip(k % 4));
            EXPECT_PIXEL(layer, dest.right - 1, dest.top + 3 + k, sideStrip(k % 4));
        }
        // The centre is left alone, and nothing lands outside the rectangle.
        if (freeWidth > 0 && freeHeight > 0) {
            EXPECT_PIXEL(layer, dest.left + 3, dest.top + 3, 0u);
        }
        EXPECT_PIXEL(layer, dest.right + 1, dest.top + 1, 0u);
        EXPECT_PIXEL(layer, dest.left + 1, dest.bottom + 1, 0u);
    }
}

TEST_F(PainterTest, NineSliceWithoutMarginsDrawsNothing) {
    ZuPixmap probe = loadPixmap(L"dll:///test/nine_slice.png");
    ZuLayer layer(30, 30);
    ZuPainter painter(&layer);
    painter.drawBorderImage(ZuEdgeRect::fromXywh(0, 0, 25, 25), probe, {0, 0, 0, 0});
    EXPECT_EQ(inkOf(layer).count, 0);
}

TEST_F(PainterTest, PicturesScaleIntoTheirRectangleAndPartsCopyOneToOne) {
    ZuPixmap solid = loadPixmap(L"dll:///test/solid.png");
    ASSERT_EQ(solid.size(), (ZuSize{3, 2}));
    ZuLayer layer(20, 20);
    ZuPainter painter(&layer);
    painter.drawPixmap(4, 4, 9, 6, solid);
    // Low-quality interpolation softens the outer pixels; the middle is
    // exact and nothing lands outside the rectangle.
    EXPECT_PIXEL(layer, 8, 6, 0xFF0A141Eu);
    Ink ink = inkOf(layer);
    EXPECT_EQ(ink.left, 4);
    EXPECT_EQ(ink.top, 4);
    EXPECT_EQ(ink.right, 12);
    EXPECT_EQ(ink.bottom, 9);

    ZuPixmap probe = loadPixmap(L"dll:///test/nine_slice.png");
    ZuLayer part(20, 20);
    ZuPainter partPainter(&part);
    partPainter.drawPixmapPart(ZuEdgeRect::fromXywh(5, 5, 4, 1), probe, ZuEdgeRect::fromXywh(3, 0, 4, 1));
    for (int k = 0; k < 4; ++k)
        EXPECT_PIXEL(part, 5 + k, 5, topStrip(k));
    EXPECT_PIXEL(part, 9, 5, 0u);
}

TEST_F(PainterTest, ClipReplacesOrIntersects) {
    ZuLayer layer(20, 20);
    ZuPainter painter(&layer);
    painter.setClipRect({0, 0, 10, 10}, ZuClipReplace);
    painter.setClipRect({5, 5, 10, 10}, ZuClipIntersect);
    painter.fillRect({0, 0, 20, 20}, ZuColor::fromArgb(kRed));
    EXPECT_PIXEL(layer, 5, 5, kRed);
    EXPECT_PIXEL(layer, 9, 9, kRed);
    EXPECT_PIXEL(layer, 4, 4, 0u);
    EXPECT_PIXEL(layer, 10, 10, 0u);

    painter.setClipRect({12, 12, 4, 4}, ZuClipReplace);
    painter.fillRect({0, 0, 20, 20}, ZuColor::fromArgb(kBlue));
    EXPECT_PIXEL(layer, 13, 13, kBlue);
    EXPECT_PIXEL(layer, 7, 7, kRed); // outside the replaced clip: untouched

    painter.setClipRect({0, 0, 2, 2}, ZuClipReplace);
    painter.setClipRect({18, 18, 2, 2}, ZuClipUnion);
    painter.fillRect({0, 0, 20, 20}, ZuColor::fromArgb(kGreen));
    EXPECT_PIXEL(layer, 1, 1, kGreen);
    EXPECT_PIXEL(layer, 19, 19, kGreen);
    EXPECT_PIXEL(layer, 7, 7, kRed);
}

TEST_F(PainterTest, RoundedRegionClipsTheCorners) {
    ZuLayer layer(20, 20);
    ZuPainter painter(&layer);
    ZuRegion region = ZuRegion::roundRect({0, 0, 18, 18}, 8, 8);
    ASSERT_FALSE(region.isNull());
    EXPECT_TRUE(region.contains(9, 9));
    EXPECT_FALSE(region.contains(0, 0));
    ZuRegion copy = region; // items own copies
    painter.setClipRegion(copy, ZuClipReplace);
    painter.fillRect({0, 0, 20, 20}, ZuColor::fromArgb(kRed));
    EXPECT_PIXEL(layer, 0, 0, 0u);
    EXPECT_PIXEL(layer, 9, 0, kRed);
    EXPECT_PIXEL(layer, 9, 9, kRed);
}

TEST_F(PainterTest, WorldTransformAndSaveRestore) {
    ZuLayer layer(30, 30);
    ZuPainter painter(&layer);
    painter.save();
    ZuTransform t = ZuTransform::fromScale(2, 3) * ZuTransform::fromTranslate(5, 4);
    painter.setTransform(t);
    painter.fillRect({0, 0, 2, 2}, ZuColor::fromArgb(kRed)); // to (5, 4)..(9, 10)
    painter.restore();
    painter.fillRect({0, 0, 1, 1}, ZuColor::fromArgb(kBlue)); // identity again
    EXPECT_PIXEL(layer, 5, 4, kRed);
    EXPECT_PIXEL(layer, 8, 9, kRed);
    EXPECT_PIXEL(layer, 9, 9, 0u);
    EXPECT_PIXEL(layer, 8, 10, 0u);
    EXPECT_PIXEL(layer, 4, 4, 0u);
    EXPECT_PIXEL(layer, 0, 0, kBlue);
    EXPECT_PIXEL(layer, 1, 1, 0u);
}

TEST_F(PainterTest, LayerCompositesWithItsOpacity) {
    ZuLayer layer(6, 6);
    ZuPainter intoLayer(&layer);
    intoLayer.fillRect({0, 0, 6, 6}, ZuColor::fromArgb(kRed));
    layer.setOpacity(0.5);
    ZuBackBuffer buffer;
    ASSERT_TRUE(buffer.resize(10, 10));
    ASSERT_TRUE(buffer.begin());
    ZuPainter target(&buffer);
    target.setTransform(ZuTransform::fromTranslate(2, 2));
    target.compositeLayer(layer);
    buffer.end();
    uint32_t v = buffer.pixel(4, 4);
    EXPECT_NEAR(static_cast<int>(v >> 24), 128, 2);
    EXPECT_NEAR(static_cast<int>((v >> 16) & 0xFF), 128, 2); // premultiplied red
    EXPECT_PIXEL(buffer, 1, 1, 0u);
    EXPECT_PIXEL(buffer, 8, 8, 0u);
}

TEST_F(PainterTest, PainterWithoutGraphicsDrawsNothing) {
    ZuBackBuffer buffer; // no DIB, no graphics object
    ZuPainter painter(&buffer);
    EXPECT_FALSE(painter.isActive());
    painter.fillRect({0, 0, 5, 5}, ZuColor::fromArgb(kRed));
    painter.drawText({0, 0, 50, 20}, ZuString(L"x"), ZuFont());
    ZuPainter none(nullptr);
    none.drawLine({0, 0}, {4, 4}, ZuColor::fromArgb(kRed));
    EXPECT_EQ(buffer.pixel(0, 0), 0u);
}

// ---- text ----

std::wstring presentFamily() {
    for (const wchar_t* name :
         {L"WenQuanYi Micro Hei", L"Noto Sans CJK SC", L"SimSun", L"Tahoma", L"Arial"}) {
        ZuFont font;
        font.family = name;
        if (ZuDefaultFont::isFontFamilyAvailable(font))
            return name;
    }
    return {};
}

TEST_F(PainterTest, OpaqueTextArrivesWithAlpha254AndTranslucentTextKeepsItsAlpha) {
    std::wstring family = presentFamily();
    ASSERT_FALSE(family.empty());
    ZuFont font;
    font.family = family;
    font.size = 24;
    ZuLayer opaque(80, 40);
    ZuPainter painter(&opaque);
    painter.drawText({0, 0, 80, 40}, ZuString(L"HM"), font);
    EXPECT_EQ(inkOf(opaque).maxAlpha, 254);

    zuSetFontColor(font, ZuColor::rgba(0, 0, 0, 128));
    ZuLayer half(80, 40);
    ZuPainter halfPainter(&half);
    halfPainter.drawText({0, 0, 80, 40}, ZuString(L"HM"), font);
    EXPECT_NEAR(inkOf(half).maxAlpha, 128, 1);
}

TEST_F(PainterTest, ChineseTextFallsBackWhenTheFamilyIsMissing) {
    ZuFont font;
    font.family = L"Microsoft YaHei";
    font.size = 16;
    ASSERT_FALSE(ZuDefaultFont::isFontFamilyAvailable(font))
        << "this check needs a system without that family";
    Gdiplus::GpFont* gpFont = ZuPainter::createFont(font);
    ASSERT_NE(gpFont, nullptr);
    zuGdip()->GdipDeleteFont(gpFont);

    ZuLayer layer(120, 30);
    ZuPainter painter(&layer);
    painter.drawText({0, 0, 120, 30}, ZuString(L"欢迎安装"), font);
    Ink ink = inkOf(layer);
    EXPECT_GT(ink.count, 40);
    EXPECT_GT(ink.right - ink.left, 30); // four glyphs, not one dot

    // Measuring takes no fallback: a missing family measures as nothing.
    EXPECT_EQ(ZuPainter::measureText(ZuString(L"欢迎安装"), font), (ZuRectF{}));
    EXPECT_EQ(ZuPainter::measureTextWrapped(ZuString(L"欢迎安装"), font, 100), (ZuRectF{}));
}

TEST_F(PainterTest, WrappedMeasureCoversTheDrawnText) {
    ZuFont font;
    font.family = presentFamily();
    font.size = 14;
    ZuString text(L"欢迎使用 Quor，安装前请阅读许可协议");
    ZuRectF single = ZuPainter::measureText(text, font);
    ZuRectF wrapped = ZuPainter::measureTextWrapped(text, font, 90);
    ASSERT_GT(single.width, 90);
    EXPECT_EQ(wrapped.x, 0);
    EXPECT_EQ(wrapped.y, 0);
    EXPECT_LE(wrapped.width, 90);
    EXPECT_EQ(wrapped.width, static_cast<double>(static_cast<int>(wrapped.width))); // whole pixels
    EXPECT_GT(wrapped.height, single.height * 1.5);                                 // wrapped onto more lines

    ZuLayer layer(200, 200);
    ZuPainter painter(&layer);
    painter.drawText({0, 0, 90, 200}, text, font);
    Ink ink = inkOf(layer);
    ASSERT_GT(ink.count, 0);
    EXPECT_LT(ink.right, wrapped.width + 1);
    EXPECT_LT(ink.bottom, wrapped.height + 1);
    EXPECT_GT(ink.bottom, wrapped.height / 2); // the last line is drawn where it was measured
}

} // namespace

#include "artwork/ArtworkTables.h"
#include "ui/core/ZuApplication.h"
#include "ui/resource/ZuPixmap.h"
#include "ui/resource/ZuResourceLib.h"
#include "ui/resource/ZuResourceMapping.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {

struct Expected {
    const char* name;
    int width, height;
};

// The window layouts take their sizes from these pictures.
const Expected kToolkit[] = {
    {"btn_4word_hover.png", 60, 20},
    {"btn_4word_normal.png", 60, 20},
    {"btn_4word_pushed.png", 60, 20},
    {"button_disable.png", 15, 22},
    {"button_focus.png", 15, 22},
    {"button_hover.png", 15, 22},
    {"button_normal.png", 15, 22},
    {"button_pressdown.png", 15, 22},
    {"checkbox_default_disable.png", 16, 16},
    {"checkbox_default_hover.png", 16, 16},
    {"checkbox_default_normal.png", 16, 16},
    {"checkbox_default_pressdown.png", 16, 16},
    {"checkbox_selected_disable.png", 16, 16},
    {"checkbox_selected_hover.png", 16, 16},
    {"checkbox_selected_normal.png", 16, 16},
    {"checkbox_selected_pressdown.png", 16, 16},
    {"checkbox_normal.png", 16, 16},
    {"checkbox_selected.png", 14, 14},
    {"close_down.png", 44, 22},
    {"close_hover.png", 44, 22},
    {"close_normal.png", 44, 22},
    {"edit_disable.png", 17, 24},
    {"edit_focus.png", 17, 24},
    {"edit_hover.png", 17, 24},
    {"edit_normal.png", 28, 16},
    {"edit_pressdown.png", 17, 24},
    {"head.png", 40, 40},
    {"icon_background_hover.png", 20, 20},
    {"icon_background_pressdown.png", 20, 20},
    {"icon_notice.png", 16, 16},
    {"mask_dialog.png", 225, 225},
    {"mask_mainframe.png", 210, 510},
    {"mask_popup.png", 150, 150},
    {"max_down.png", 28, 22},
    {"max_hover.png", 28, 22},
    {"max_normal.png", 28, 22},
    {"min_down.png", 28, 22},
    {"min_hover.png", 28, 22},
    {"min_normal.png", 28, 22},
    {"restore_down.png", 28, 22},
    {"restore_hover.png", 28, 22},
    {"restore_normal.png", 28, 22},
    {"shadow.png", 66, 66},
    {"icon.png", 16, 16},
    {"slider_hover.png", 2, 48},
    {"scroll_bk.png", 10, 11},
    {"slider_pressdown.png", 2, 48},
    {"slider_normal.png", 2, 48},
};

#define SHARED_PICTURES                                                                                      \
    {"button_click.png", 37, 30}, {"button_hover.png", 37, 30}, {"button_normal.png", 37, 30},               \
        {"button_disable.png", 37, 30}, {"hover_close.png", 30, 30}, {"normal_close.png", 30, 30},           \
        {"press_close.png", 30, 30}, {"min_press.png", 30, 30}, {"min_normal.png", 30, 30},                  \
        {"min_hover.png", 30, 30}, {"progressbar.png", 24, 2}, {"progressbar_bk.png", 34, 2},                \
        {"background.png", 520, 326}, {"title.png", 35, 10}, {"prompt_bk.png", 340, 200},                    \
        {"cancel_disable.png", 39, 30}, {"cancel_down.png", 39, 30}, {"cancel_hover.png", 39, 30}, {         \
        "cancel_normal.png", 39, 30                                                                          \
    }

const Expected kSetup[] = {
    SHARED_PICTURES,
    {"button_click_custom.png", 43, 36},
    {"button_hover_custom.png", 43, 36},
    {"button_normal_custom.png", 43, 36},
    {"button_disable_custom.png", 11, 28},
    {"Quor.png", 520, 276},
    {"customize_expand.png", 16, 16},
    {"customize_expand_hover.png", 16, 16},
    {"customize_expand_click.png", 16, 16},
    {"customize_collapse.png", 16, 16},
    {"customize_collapse_hover.png", 16, 16},
    {"customize_collapse_click.png", 16, 16},
    {"switch_in_decompress_background_zh-CN.png", 440, 279},
    {"switch_in_decompress_background_2_zh-CN.png", 440, 279},
    {"switch_in_decompress_background_3_zh-CN.png", 440, 279},
    {"install_normal.png", 183, 163},
    {"install_hover.png", 183, 163},
    {"install_down.png", 183, 163},
    {"install_disable.png", 183, 163},
    {"protocol_frame.png", 35, 63},
    {"line.png", 19, 1},
    {"browser_click.png", 10, 24},
    {"browser_hover.png", 10, 24},
    {"browser_normal.png", 10, 24},
};

const Expected kSetupExtra[] = {
    {"switch_in_decompress_zh-CN.png", 480, 246},
    {"switch_in_decompress_2_zh-CN.png", 480, 246},
    {"switch_in_decompress_3_zh-CN.png", 480, 246},
};

const Expected kUninstall[] = {
    SHARED_PICTURES,
    {"retry_icon.png", 64, 64},
    {"recycle.png", 240, 250},
    {"confirm_uninstall.png", 182, 157},
    {"uninstall_done.png", 162, 156},
    {"uninstalling.png", 176, 157},
};

std::set<std::string> namesOf(const ZuCompiledTable& table) {
    std::set<std::string> names;
    for (int i = 0; i < table.count; ++i)
        names.insert(table.names[i]);
    return names;
}

void register_(const ZuCompiledTable& table) {
    registerResourceTable(table.count, table.names, table.block, table.sizes);
}

// Every expected picture is in the table under `prefix` with its size, and
// the table holds nothing else (besides `extraNames`).
template <size_t N>
void checkTable(const ZuCompiledTable& table, const Expected (&expected)[N], const char* prefix,
                std::set<std::string> extraNames = {}) {
    std::set<std::string> names = namesOf(table);
    EXPECT_EQ(names.size(), static_cast<size_t>(table.count)) << "duplicate names";
    EXPECT_EQ(static_cast<size_t>(table.count), N + extraNames.size());
    for (const Expected& e : expected) {
        std::string name = std::string(prefix) + e.name;
        EXPECT_TRUE(names.count(name)) << name;
        std::wstring address = L"dll:///" + std::wstring(name.begin(), name.end());
        ZuPixmap pixmap = loadPixmap(address);
        ASSERT_FALSE(pixmap.isNull()) << name;
        EXPECT_EQ(pixmap.width(), e.width) << name;
        EXPECT_EQ(pixmap.height(), e.height) << name;
        EXPECT_EQ(pixmap.image()->frameCount(), 1) << name;
    }
    for (const std::string& extra : extraNames)
        EXPECT_TRUE(names.count(extra)) << extra;
}

class ArtworkTablesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app.gdiplusStarted()); }
    ZuApplication app;
};

TEST_F(ArtworkTablesTest, ToolkitPicturesHaveTheirLayoutSizes) {
    EXPECT_EQ(zuGuiTable.count, 48);
    loadPixmap(L"zugui:shadow.png"); // registers the toolkit's table
    checkTable(zuGuiTable, kToolkit, "theme/gui/");
}

TEST_F(ArtworkTablesTest, InstallerPicturesHaveTheirLayoutSizes) {
    EXPECT_EQ(quorSetupSkinTable.count, 42);
    EXPECT_EQ(quorSetupExtraTable.count, 4);
    register_(quorSetupSkinTable);
    register_(quorSetupExtraTable);
    checkTable(quorSetupSkinTable, kSetup, "res/");
    checkTable(quorSetupExtraTable, kSetupExtra, "res/", {"res/licence_zh-CN.txt"});
}

TEST_F(ArtworkTablesTest, UninstallerPicturesHaveTheirLayoutSizes) {
    EXPECT_EQ(quorUninstallSkinTable.count, 24);
    register_(quorUninstallSkinTable);
    checkTable(quorUninstallSkinTable, kUninstall, "res/");
}

TEST_F(ArtworkTablesTest, StatePicturesDiffer) {
    register_(quorSetupSkinTable);
    loadPixmap(L"zugui:shadow.png");
    ZuResourceMapping* dll = ZuResourceLib::instance()->mapping(L"dll");
    const char* groups[][4] = {
        {"theme/gui/button_normal.png", "theme/gui/button_hover.png", "theme/gui/button_pressdown.png",
         "theme/gui/button_disable.png"},
        {"theme/gui/checkbox_default_normal.png", "theme/gui/checkbox_default_hover.png",
         "theme/gui/checkbox_default_pressdown.png", "theme/gui/checkbox_default_disable.png"},
        {"res/install_normal.png", "res/install_hover.png", "res/install_down.png",
         "res/install_disable.png"},
        {"res/cancel_normal.png", "res/cancel_hover.png", "res/cancel_down.png", "res/cancel_disable.png"},
    };
    for (auto& group : groups) {
        std::set<std::string> contents;
        for (const char* name : group) {
            ZuByteArray bytes = dll->data(ZuUrl(L"dll:///" + std::wstring(name, name + strlen(name))));
            ASSERT_FALSE(bytes.isEmpty()) << name;
            contents.insert(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        }
        EXPECT_EQ(contents.size(), 4u) << group[0];
    }
}

TEST_F(ArtworkTablesTest, LicenceIsChineseUtf8WithoutByteOrderMark) {
    register_(quorSetupExtraTable);
    ZuByteArray text = ZuResourceLib::instance()->data(ZuUrl(L"setup:licence_zh-CN.txt") /* no alias yet */);
    EXPECT_TRUE(text.isEmpty());
    text = ZuResourceLib::instance()->data(ZuUrl(L"dll:///res/licence_zh-CN.txt"));
    ASSERT_GT(text.size(), 4000u);
    const uint8_t* p = text.data();
    EXPECT_FALSE(p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF);
    int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(p),
                                   static_cast<int>(text.size()), nullptr, 0);
    ASSERT_GT(wide, 0) << "not valid UTF-8";
    std::wstring decoded(wide, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, reinterpret_cast<const char*>(p), static_cast<int>(text.size()),
                        decoded.data(), wide);
    int han = 0;
    for (wchar_t c : decoded)
        han += c >= 0x4E00 && c <= 0x9FFF;
    EXPECT_GT(han, 1500);
    EXPECT_NE(decoded.find(L"软件许可"), std::wstring::npos);
    EXPECT_NE(decoded.find(L"Quor"), std::wstring::npos);
}

} // namespace

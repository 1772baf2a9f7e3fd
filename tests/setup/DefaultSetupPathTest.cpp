#include "setup/DefaultSetupPath.h"

#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

const wchar_t* kKey = L"Software\\belvane\\quor";

struct SavedValue {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
};

// Takes the installer's registry key away for a test and puts back exactly what
// was there before: its existence and every value.
class DefaultSetupPath : public testing::Test {
protected:
    void SetUp() override {
        HKEY key;
        m_existed = RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (m_existed) {
            DWORD subkeys = 0;
            RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr);
            m_hasSubkeys = subkeys != 0;
            for (DWORD i = 0;; ++i) {
                wchar_t name[16384];
                DWORD nameLength = 16384, type = 0, size = 0;
                if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
                    break;
                SavedValue value{name, type, std::vector<BYTE>(size)};
                DWORD got = size;
                RegQueryValueExW(key, name, nullptr, nullptr, value.data.data(), &got);
                m_values.push_back(value);
            }
            RegCloseKey(key);
        }
    }
    void TearDown() override {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"RootPath");
        if (!m_existed) {
            RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
            return;
        }
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        for (const SavedValue& v : m_values)
            RegSetValueExW(key, v.name.c_str(), 0, v.type, v.data.data(), static_cast<DWORD>(v.data.size()));
        RegCloseKey(key);
    }

    // Removes the key for a "no key" case; false when it holds sub-keys this fixture would lose.
    bool removeKey() {
        if (m_hasSubkeys)
            return false;
        LSTATUS rc = RegDeleteKeyW(HKEY_CURRENT_USER, kKey);
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    }
    static void setRootPath(const void* data, DWORD size, DWORD type = REG_SZ) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, L"RootPath", 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    static void setRootPath(const std::wstring& text) {
        setRootPath(text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    static std::wstring programFilesDefault() {
        wchar_t folder[MAX_PATH] = {};
        SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder);
        return std::wstring(folder) + L"\\belvane\\quor";
    }

private:
    bool m_existed = false;
    bool m_hasSubkeys = false;
    std::vector<SavedValue> m_values;
};

} // namespace

TEST_F(DefaultSetupPath, NoKeyGivesTheProgramFilesDefault) {
    ASSERT_TRUE(removeKey());
    EXPECT_EQ(defaultSetupPath(), programFilesDefault());
}

TEST_F(DefaultSetupPath, KeyWithoutValueGivesTheProgramFilesDefault) {
    setRootPath(L"D:\\Elsewhere");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"RootPath");
    EXPECT_EQ(defaultSetupPath(), programFilesDefault());
}

TEST_F(DefaultSetupPath, ValueOfThreeCharactersOrFewerIsIgnored) {
    for (const wchar_t* root : {L"D:\\", L"D:", L""}) {
        setRootPath(root);
        EXPECT_EQ(defaultSetupPath(), programFilesDefault()) << root;
    }
}

TEST_F(DefaultSetupPath, LongerValueIsUsedAsStored) {
    for (const wchar_t* stored : {L"D:\\a", L"d:/Games/Quor/", L"E:\\Program Files\\belvane\\quor"}) {
        setRootPath(stored);
        EXPECT_EQ(defaultSetupPath(), stored);
    }
}

TEST_F(DefaultSetupPath, ValueWithoutTerminatorIsReadToItsEnd) {
    const wchar_t text[] = {L'D', L':', L'\\', L'Q', L'u', L'o', L'r'};
    setRootPath(text, sizeof text);
    EXPECT_EQ(defaultSetupPath(), L"D:\\Quor");
}

TEST_F(DefaultSetupPath, ValueThatIsNotAStringIsIgnored) {
    DWORD number = 0x003A0044; // would read as "D:" if taken for text
    setRootPath(&number, sizeof number, REG_DWORD);
    EXPECT_EQ(defaultSetupPath(), programFilesDefault());
}

TEST_F(DefaultSetupPath, ValueTooLongForTheBufferGivesTheDefault) {
    setRootPath(L"D:\\" + std::wstring(1100, L'x'));
    EXPECT_EQ(defaultSetupPath(), programFilesDefault());
}

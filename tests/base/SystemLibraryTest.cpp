#include "base/SystemLibrary.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

namespace {

struct LoadCall {
    std::wstring name;
    DWORD flags;
};

// A stand-in for the system's loader: records each call and answers as the
// system under test would.
std::vector<LoadCall> g_calls;
DWORD g_flagError = 0;   // the error of a load with the search flag (0: it succeeds)
bool g_pathLoads = true; // whether a load by full path succeeds

HMODULE fakeModule() {
    return reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x10000));
}

HMODULE WINAPI fakeLoad(LPCWSTR name, HANDLE, DWORD flags) {
    g_calls.push_back({name, flags});
    if (flags & LOAD_LIBRARY_SEARCH_SYSTEM32) {
        if (g_flagError == 0)
            return fakeModule();
        SetLastError(g_flagError);
        return nullptr;
    }
    if (g_pathLoads)
        return fakeModule();
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

std::wstring lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(towlower(c));
    return text;
}

struct FallbackCase {
    DWORD flagError;
    bool pathLoads;
    bool loaded;
    bool triesFullPath;
};

class SystemLibraryFallback : public testing::TestWithParam<FallbackCase> {};

} // namespace

TEST_P(SystemLibraryFallback, FullSystemPathOnlyWhereTheFlagIsUnknown) {
    const FallbackCase c = GetParam();
    g_calls.clear();
    g_flagError = c.flagError;
    g_pathLoads = c.pathLoads;
    HMODULE module = quor::loadSystemLibrary(L"sxs.dll", fakeLoad);
    EXPECT_EQ(module != nullptr, c.loaded);
    ASSERT_GE(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].name, L"sxs.dll");
    EXPECT_EQ(g_calls[0].flags, static_cast<DWORD>(LOAD_LIBRARY_SEARCH_SYSTEM32));
    ASSERT_EQ(g_calls.size(), c.triesFullPath ? 2u : 1u);
    if (c.triesFullPath) {
        wchar_t system[MAX_PATH] = {};
        ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
        EXPECT_EQ(lower(g_calls[1].name), lower(std::wstring(system) + L"\\sxs.dll"));
        EXPECT_EQ(g_calls[1].flags & LOAD_LIBRARY_SEARCH_SYSTEM32, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, SystemLibraryFallback,
    testing::Values(FallbackCase{0, true, true, false},                        // the flag works
                    FallbackCase{ERROR_INVALID_PARAMETER, true, true, true},   // Windows 7 without the update
                    FallbackCase{ERROR_INVALID_PARAMETER, false, false, true}, // and the DLL is missing
                    FallbackCase{ERROR_MOD_NOT_FOUND, true, false, false})); // missing: no other place tried

TEST(SystemLibrary, LoadsTheSystemsOwnDllAndItsFunctions) {
    quor::SystemLibrary ws2(L"ws2_32.dll");
    ASSERT_TRUE(ws2);
    EXPECT_NE(ws2.function<FARPROC>("WSCSetApplicationCategory"), nullptr);
    EXPECT_EQ(ws2.function<FARPROC>("NoSuchFunction"), nullptr);
    wchar_t loaded[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(ws2.get(), loaded, MAX_PATH), 0u);
    EXPECT_EQ(lower(loaded), lower(quor::systemLibraryPath(L"ws2_32.dll")));
}

TEST(SystemLibrary, AnEmptyNameLoadsNothing) {
    g_calls.clear();
    EXPECT_EQ(quor::loadSystemLibrary(L"", fakeLoad), nullptr);
    EXPECT_EQ(quor::loadSystemLibrary(nullptr, fakeLoad), nullptr);
    EXPECT_TRUE(g_calls.empty());
}

#include "setup/EntryPath.h"

#include <gtest/gtest.h>

struct EntryPathCase {
    const wchar_t* relative;
    bool contained;
};

class EntryPath : public testing::TestWithParam<EntryPathCase> {};

TEST_P(EntryPath, RefusesWhatWouldLeaveTheTargetDirectory) {
    EXPECT_EQ(isContainedEntryPath(GetParam().relative), GetParam().contained);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EntryPath,
    testing::Values(EntryPathCase{L"Quor.exe", true}, EntryPathCase{L"8.17.0.0\\image\\a.ico", true},
                    EntryPathCase{L"a..b\\..c\\d..", true}, EntryPathCase{L"sub\\\\x", true},
                    EntryPathCase{L"", true}, EntryPathCase{L"..", false}, EntryPathCase{L"..\\x", false},
                    EntryPathCase{L"a\\..\\..\\x", false}, EntryPathCase{L"a\\..", false},
                    EntryPathCase{L"a\\...\\x", false}, EntryPathCase{L"a\\.. \\x", false},
                    EntryPathCase{L".\\x", false}, EntryPathCase{L"\\Windows\\x", false},
                    EntryPathCase{L"C:\\x", false}, EntryPathCase{L"C:x", false},
                    EntryPathCase{L"a\\file.txt:stream", false}));

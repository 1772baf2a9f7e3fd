#include "ui/resource/ZuAssignLib.h"
#include "ui/resource/ZuUrl.h"

#include <gtest/gtest.h>

namespace {

class AddressTest : public ::testing::Test {
protected:
    void SetUp() override { ZuAssignLib::instance()->clear(); }
    void TearDown() override { ZuAssignLib::instance()->clear(); }
    ZuAssignLib& aliases = *ZuAssignLib::instance();
};

TEST_F(AddressTest, ResolvesAliasesSlashesAndDriveLetters) {
    aliases.addAlias(L"setup", L"dll:///res");
    aliases.addAlias(L"skin", L"setup:skin"); // an alias of an alias
    aliases.addAlias(L"bare", L"mem:");       // ends in ":": joined without "/"
    aliases.addAlias(L"rooted", L"mem:/");    // ends in ":/": joined without "/"
    aliases.addAlias(L"gone", L"");           // empty replacement empties the text
    aliases.addAlias(L"C", L"dll:///never");  // one letter before ":" is a drive
    struct Case {
        const wchar_t* id;
        const wchar_t* resolved;
    } cases[] = {
        {L"zugui:shadow.png", L"dll:///theme/gui/shadow.png"},
        {L"setup:title.png", L"dll:///res/title.png"},
        {L"skin:a.png", L"dll:///res/skin/a.png"},
        {L"bare:x.png", L"mem:x.png"},
        {L"rooted:x.png", L"mem:/x.png"},
        {L"gone:x.png", L""},
        {L"C:\\dir\\x.png", L"C:/dir/x.png"},
        {L"C:/dir/x.png/", L"C:/dir/x.png"},
        {L"setup:dir\\sub\\", L"dll:///res/dir/sub"},
        {L"unknown:x.png", L"unknown:x.png"},
        {L":x.png", L":x.png"},
        {L"plain.png", L"plain.png"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(aliases.resolve(c.id), c.resolved) << c.id;
}

TEST_F(AddressTest, AddingAnAliasAgainReplacesIt) {
    aliases.addAlias(L"setup", L"dll:///res");
    aliases.addAlias(L"setup", L"dll:///other");
    EXPECT_EQ(aliases.resolve(L"setup:a.png"), L"dll:///other/a.png");
}

TEST_F(AddressTest, ACycleEndsInsteadOfLoopingForEver) {
    aliases.addAlias(L"ping", L"pong:");
    aliases.addAlias(L"pong", L"ping:");
    std::wstring resolved = aliases.resolve(L"ping:x");
    EXPECT_TRUE(resolved == L"ping:x" || resolved == L"pong:x") << resolved;
}

TEST_F(AddressTest, BuiltInAliasesComeBackAfterClear) {
    aliases.addAlias(L"setup", L"dll:///res");
    aliases.clear();
    EXPECT_FALSE(aliases.hasAlias(L"setup"));
    EXPECT_TRUE(aliases.hasAlias(L"zugui"));
    EXPECT_TRUE(aliases.hasAlias(L"home"));
    EXPECT_EQ(aliases.resolve(L"bin:x"), aliases.resolve(L"root:x"));
    EXPECT_EQ(aliases.resolve(L"bin:x").rfind(L"file:///", 0), 0u);
}

TEST_F(AddressTest, HomeSkipsABuildFolder) {
    struct Case {
        const wchar_t* directory;
        const wchar_t* home;
    } cases[] = {
        {L"C:\\Program Files\\Quor", L"file:///C:/Program Files/Quor"},
        {L"C:\\src\\Release", L"file:///C:/src"},
        {L"C:\\src\\debug", L"file:///C:/src"},
        {L"C:\\src\\Win32", L"file:///C:/src"},
        {L"C:\\src\\Rel", L"file:///C:/src"},       // first 3 letters match "Release"
        {L"C:\\src\\Releases2", L"file:///C:/src"}, // only the first 5 count
        {L"C:\\src\\Debut", L"file:///C:/src/Debut"},
        {L"C:\\src\\bin", L"file:///C:/src/bin"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZuAssignLib::homeFor(c.directory), c.home) << c.directory;
}

TEST_F(AddressTest, ParsesAddressesIntoTheirParts) {
    struct Case {
        const wchar_t* text;
        bool valid;
        const wchar_t *scheme, *user, *host, *port, *path, *fragment, *query, *string;
    } cases[] = {
        {L"zugui:shadow.png", true, L"dll", L"", L"", L"", L"theme/gui/shadow.png", L"", L"",
         L"dll:///theme/gui/shadow.png"},
        {L"C:\\dir\\x.png", true, L"file", L"", L"", L"", L"C:/dir/x.png", L"", L"", L"file:///C:/dir/x.png"},
        {L"relative/x.png", true, L"file", L"", L"", L"", L"relative/x.png", L"", L"",
         L"file:///relative/x.png"},
        {L"file:///C:/dir/x.png", true, L"file", L"", L"", L"", L"C:/dir/x.png", L"", L"",
         L"file:///C:/dir/x.png"},
        {L"http://me@host:8080/a/b?q=1", true, L"http", L"me", L"host", L"8080", L"a/b", L"", L"q=1",
         L"http://me@host:8080/a/b?q=1"},
        {L"http://host:8080/a", true, L"http", L"", L"host:8080", L"", L"a", L"", L"", L"http://host:8080/a"},
        {L"dll:///res/a.png#frag", true, L"dll", L"", L"", L"", L"res/a.png", L"frag", L"",
         L"dll:///res/a.png#frag"},
        {L"dll://hostonly", true, L"dll", L"", L"hostonly", L"", L"", L"", L"", L"dll://hostonly"},
        {L"mem:x.png", false, L"mem", L"", L"", L"", L"", L"", L"", L"mem://"},
    };
    for (const Case& c : cases) {
        ZuUrl url(c.text);
        SCOPED_TRACE(::testing::Message() << "text " << std::string(c.text, c.text + wcslen(c.text)));
        EXPECT_EQ(url.isValid(), c.valid);
        EXPECT_EQ(url.scheme(), c.scheme);
        EXPECT_EQ(url.user(), c.user);
        EXPECT_EQ(url.host(), c.host);
        EXPECT_EQ(url.port(), c.port);
        EXPECT_EQ(url.path(), c.path);
        EXPECT_EQ(url.fragment(), c.fragment);
        EXPECT_EQ(url.query(), c.query);
        EXPECT_EQ(url.toString(), c.string);
    }
}

TEST_F(AddressTest, ForwardAndBackwardSlashesGiveOneFileAddress) {
    EXPECT_EQ(ZuUrl(L"D:/pictures/a.png").toString(), ZuUrl(L"D:\\pictures\\a.png").toString());
    EXPECT_EQ(ZuUrl(L"D:\\pictures\\a.png").path(), L"D:/pictures/a.png");
}

} // namespace

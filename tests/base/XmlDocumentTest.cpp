#include "base/XmlDocument.h"

#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

using quor::XmlDocument;

namespace {

// Launcher.xml as the payload writes it: UTF-8 with a byte-order mark, CRLF lines.
const char kLauncherXml[] =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
    "<LauncherInfo>\r\n"
    "\t<VersionInfo No=\"8.15.0.0\" quorPath=\"8.15.0.0\" Enable=\"0\" First=\"0\" Index=\"0\"/>\r\n"
    "\t<VersionInfo No=\"8.17.0.0\" quorPath=\"8.17.0.0\" Enable=\"1\" First=\"1\" Index=\"1\"/>\r\n"
    "</LauncherInfo>\r\n";

std::vector<std::wstring> tagsAtCurrentLevel(XmlDocument& doc) {
    std::vector<std::wstring> tags;
    while (doc.findElem())
        tags.push_back(doc.getTagName());
    return tags;
}

} // namespace

TEST(XmlDocument, ReadsLauncherXmlAsThePayloadWritesIt) {
    TempDir dir;
    std::wstring path = dir.path() + L"Launcher.xml";
    ASSERT_TRUE(writeFileBytes(path, std::string(kLauncherXml, sizeof kLauncherXml - 1)));
    XmlDocument doc;
    ASSERT_TRUE(doc.load(path)) << doc.getResult();
    // The byte-order mark is one character; everything else is ASCII.
    size_t bytes = sizeof kLauncherXml - 1;
    EXPECT_EQ(doc.getResult(),
              std::to_wstring(bytes) + L" bytes to " + std::to_wstring(bytes - 2) + L" wide chars");
    EXPECT_EQ(doc.getDoc()[0], L'\xFEFF');

    ASSERT_TRUE(doc.findElem(L"LauncherInfo"));
    ASSERT_TRUE(doc.intoElem());
    std::vector<std::wstring> paths;
    while (doc.findElem(L"VersionInfo"))
        paths.push_back(doc.getAttrib(L"quorPath"));
    EXPECT_EQ(paths, (std::vector<std::wstring>{L"8.15.0.0", L"8.17.0.0"}));
    EXPECT_TRUE(doc.outOfElem());
    EXPECT_EQ(doc.getTagName(), L"LauncherInfo");
}

TEST(XmlDocument, EmptyFileReportsZeroBytesAndEmptyDocument) {
    TempDir dir;
    ASSERT_TRUE(writeFileBytes(dir.path() + L"empty.xml", ""));
    XmlDocument doc;
    EXPECT_FALSE(doc.load(dir.path() + L"empty.xml"));
    EXPECT_EQ(doc.getResult(), L"0 bytes to 0 wide chars, Empty document");
}

TEST(XmlDocument, CountsBytesAndWideCharsOfMultiByteText) {
    TempDir dir;
    // "é" is two bytes, "😀" four bytes and two UTF-16 units.
    ASSERT_TRUE(writeFileBytes(dir.path() + L"a.xml", "<a v=\"\xC3\xA9\xF0\x9F\x98\x80\"/>"));
    XmlDocument doc;
    EXPECT_TRUE(doc.load(dir.path() + L"a.xml"));
    EXPECT_EQ(doc.getResult(), L"15 bytes to 12 wide chars");
    ASSERT_TRUE(doc.findElem(L"a"));
    EXPECT_EQ(doc.getAttrib(L"v"), L"\x00E9\xD83D\xDE00");
}

TEST(XmlDocument, InvalidUtf8BecomesQuestionMarks) {
    TempDir dir;
    // FF is no lead byte; C3 is followed by a byte without the top bit, which is read again.
    ASSERT_TRUE(writeFileBytes(dir.path() + L"bad.xml", "<a v=\"\xFFx\xC3\x41\"/>"));
    XmlDocument doc;
    EXPECT_TRUE(doc.load(dir.path() + L"bad.xml"));
    EXPECT_EQ(doc.getDoc(), L"<a v=\"?x?A\"/>");
}

TEST(XmlDocument, DecodingStopsAtNulAndAtATruncatedSequence) {
    TempDir dir;
    ASSERT_TRUE(writeFileBytes(dir.path() + L"zero.xml", std::string("<a/>\0<b/>", 9)));
    ASSERT_TRUE(writeFileBytes(dir.path() + L"cut.xml", "<a/>\xE2\x82"));
    XmlDocument doc;
    EXPECT_TRUE(doc.load(dir.path() + L"zero.xml"));
    EXPECT_EQ(doc.getDoc(), L"<a/>");
    EXPECT_EQ(doc.getResult(), L"9 bytes to 4 wide chars");
    EXPECT_TRUE(doc.load(dir.path() + L"cut.xml"));
    EXPECT_EQ(doc.getDoc(), L"<a/>");
}

TEST(XmlDocument, UnreadableFileKeepsThePreviousDocument) {
    TempDir dir;
    XmlDocument doc;
    ASSERT_TRUE(doc.setDoc(L"<root><x/></root>"));
    EXPECT_FALSE(doc.load(dir.path() + L"missing.xml"));
    EXPECT_EQ(doc.getResult(), L"No such file or directory");
    ASSERT_TRUE(doc.findElem(L"root"));
    ASSERT_TRUE(doc.intoElem());
    EXPECT_TRUE(doc.findElem(L"x"));
}

struct ParseCase {
    const wchar_t* text;
    bool wellFormed;
    const wchar_t* result;
};

class XmlParseResult : public testing::TestWithParam<ParseCase> {};

TEST_P(XmlParseResult, ReportsTheFirstProblem) {
    XmlDocument doc;
    EXPECT_EQ(doc.setDoc(GetParam().text), GetParam().wellFormed) << GetParam().text;
    EXPECT_EQ(doc.getResult(), GetParam().result) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XmlParseResult,
    testing::Values(
        ParseCase{L"", false, L"Empty document"}, ParseCase{nullptr, false, L"Empty document"},
        ParseCase{L"just text", false, L"No root element"},
        ParseCase{L"<a/><b/>", false, L"Root element has sibling"},
        ParseCase{L"<?xml version='1.0'?><!-- c > d --><a><![CDATA[<b>]]></a>", true, L""},
        ParseCase{L"<!DOCTYPE a [<!ELEMENT a ANY><!ATTLIST a x CDATA #IMPLIED><!-- > -->]><a/>", true, L""},
        ParseCase{L"<a x='1>2' y=\"/>\"/>", true, L""},
        ParseCase{L"<a></b></a>", true, L"No start tag for end tag 'b' at offset 3"},
        ParseCase{L"<a><1/></a>", true, L"Incorrect tag name character at offset 3"},
        ParseCase{L"<a><!x></a>", true, L"Incorrect ! tag at offset 3"},
        ParseCase{L"<a><!-x--></a>", true, L"Incorrect comment tag at offset 3"},
        ParseCase{L"<a><![x]]></a>", true, L"Incorrect tag at offset 3"},
        ParseCase{L"<!DOCTYPE a [<!DOCTYPE b>]><a/>", true, L"Incorrect ! tag at offset 13"},
        ParseCase{L"<!DOCTYPE a [<![CDATA[x]]>]><a/>", true, L"Incorrect ! tag at offset 13"},
        ParseCase{L"<a><!-- x", false, L"Comment at offset 3 unterminated"},
        ParseCase{L"<a><![CDATA[ x", false, L"CDATA Section at offset 3 unterminated"},
        ParseCase{L"<a><?pi x", false, L"Processing instruction at offset 3 unterminated"},
        ParseCase{L"<a></a", false, L"Element end tag at offset 3 unterminated"},
        ParseCase{L"<a><b x='>", false, L"Element tag at offset 3 unterminated"},
        ParseCase{L"<!DOCTYPE a [<!ENTITY e 'x'>", false, L"Doctype at offset 0 unterminated"},
        ParseCase{L"<a/><", true, L"tag at offset 4 unterminated"},
        ParseCase{L"<a/><!", true, L"tag at offset 4 unterminated"},
        ParseCase{L"<!ENTITY x", false, L"tag at offset 0 unterminated"},
        ParseCase{L"<a><b></a>", false, L"End tag 'a' at offset 7 does not match start tag 'b' at offset 3"},
        ParseCase{L"<a><b><c/>", false, L"Element 'b' at offset 3 not ended"},
        // An unquoted value keeps its slash, so the element is not empty.
        ParseCase{L"<a x=1/>", false, L"Element 'a' at offset 0 not ended"},
        // Only the first problem is reported.
        ParseCase{L"<1><a>", false, L"Incorrect tag name character at offset 0"},
        // Names of end tags stop at "=", "[" and "]" as well.
        ParseCase{L"<a></a=x>", true, L""}, ParseCase{L"<a b='1' ></a >", true, L""},
        // Non-ASCII, "_", ":" and "{" start names; digits, "-" and "." do not.
        ParseCase{L"<\x4E2D\x6587/>", true, L""}, ParseCase{L"<_a/>", true, L""},
        ParseCase{L"<{x}/>", true, L""},
        ParseCase{L"<-a/>", false, L"Incorrect tag name character at offset 0"}));

TEST(XmlDocument, TwoTopLevelElementsAreBothFound) {
    XmlDocument doc;
    EXPECT_FALSE(doc.setDoc(L"<first a='1'/>\n<second a='2'/>"));
    EXPECT_EQ(tagsAtCurrentLevel(doc), (std::vector<std::wstring>{L"first", L"second"}));
}

TEST(XmlDocument, ChildrenOfAnElementLeftOpenBecomeItsSiblings) {
    XmlDocument doc;
    EXPECT_FALSE(doc.setDoc(L"<root><open><x/><y><z/></y></root>"));
    EXPECT_EQ(doc.getResult(), L"End tag 'root' at offset 28 does not match start tag 'open' at offset 6");
    ASSERT_TRUE(doc.findElem(L"root"));
    ASSERT_TRUE(doc.intoElem());
    EXPECT_EQ(tagsAtCurrentLevel(doc), (std::vector<std::wstring>{L"open", L"x", L"y"}));
    // y was closed, so z stays inside it.
    EXPECT_EQ(doc.getTagName(), L"y");
    ASSERT_TRUE(doc.intoElem());
    EXPECT_EQ(tagsAtCurrentLevel(doc), std::vector<std::wstring>{L"z"});
}

TEST(XmlDocument, NestedOpenElementsFlattenInDocumentOrder) {
    XmlDocument doc;
    EXPECT_FALSE(doc.setDoc(L"<r><a><p/><b><q/><c><s/></r><t/>"));
    ASSERT_TRUE(doc.findElem(L"r"));
    ASSERT_TRUE(doc.intoElem());
    EXPECT_EQ(tagsAtCurrentLevel(doc), (std::vector<std::wstring>{L"a", L"p", L"b", L"q", L"c", L"s"}));
    doc.outOfElem();
    EXPECT_TRUE(doc.findElem(L"t")) << "the element after the closed root is a sibling";
}

TEST(XmlDocument, ElementsOpenAtTheEndMoveToTheTop) {
    XmlDocument doc;
    EXPECT_FALSE(doc.setDoc(L"<a><x/><b><c/>"));
    EXPECT_EQ(tagsAtCurrentLevel(doc), (std::vector<std::wstring>{L"a", L"x", L"b", L"c"}));
    XmlDocument again;
    again.setDoc(L"<a><x/><b><c/>");
    ASSERT_TRUE(again.findElem(L"a"));
    ASSERT_TRUE(again.intoElem());
    EXPECT_FALSE(again.findElem()) << "an element that is not ended has no children";
}

TEST(XmlDocument, WalksInAndOutAndRemembersTheChildPosition) {
    XmlDocument doc;
    ASSERT_TRUE(doc.setDoc(L"<r><a/><b><c/><c2/></b><d/></r>"));
    EXPECT_FALSE(doc.intoElem()) << "no current element yet";
    EXPECT_FALSE(doc.outOfElem()) << "no parent yet";
    ASSERT_TRUE(doc.findElem(L"r"));
    ASSERT_TRUE(doc.intoElem());
    EXPECT_FALSE(doc.findElem(L"c")) << "only the current level is searched";
    ASSERT_TRUE(doc.findElem(L"b"));
    ASSERT_TRUE(doc.intoElem());
    ASSERT_TRUE(doc.findElem(L"c"));
    ASSERT_TRUE(doc.outOfElem());
    EXPECT_EQ(doc.getTagName(), L"b");
    ASSERT_TRUE(doc.findElem());
    EXPECT_EQ(doc.getTagName(), L"d");
    ASSERT_TRUE(doc.outOfElem());
    EXPECT_EQ(doc.getTagName(), L"r");
    // Back into r: the current element is the one last left.
    ASSERT_TRUE(doc.intoElem());
    EXPECT_EQ(doc.getTagName(), L"d");
    EXPECT_FALSE(doc.findElem(L"a")) << "the search continues after the current element";
}

TEST(XmlDocument, FindElemComparesNamesExactly) {
    XmlDocument doc;
    ASSERT_TRUE(doc.setDoc(L"<r><Item/><itemX/><item/></r>"));
    doc.findElem(L"r");
    doc.intoElem();
    ASSERT_TRUE(doc.findElem(L"item"));
    EXPECT_EQ(doc.getTagName(), L"item");
    EXPECT_FALSE(doc.findElem(L"item"));
    EXPECT_EQ(doc.getTagName(), L"item") << "a failed search leaves the position alone";
}

struct AttributeCase {
    const wchar_t* tag;
    const wchar_t* name;
    const wchar_t* value;
};

class XmlAttribute : public testing::TestWithParam<AttributeCase> {};

TEST_P(XmlAttribute, DecodesTheValue) {
    XmlDocument doc;
    doc.setDoc(GetParam().tag);
    ASSERT_TRUE(doc.findElem());
    EXPECT_EQ(doc.getAttrib(GetParam().name), GetParam().value) << GetParam().tag;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XmlAttribute,
    testing::Values(AttributeCase{L"<a v='&#65;&#x41;'/>", L"v", L"AA"},
                    AttributeCase{L"<a v=\"&lt;&amp;&gt;&apos;&quot;\"/>", L"v", L"<&>'\""},
                    AttributeCase{L"<a v='&nbsp;&copy;'/>", L"v", L"&nbsp;&copy;"},
                    AttributeCase{L"<a v='&#0; &#; &#x;'/>", L"v", L"&#0; &#; &#x;"},
                    // The ";" must come within 7 characters of the digits.
                    AttributeCase{L"<a v='&#0000065;&#00000065;'/>", L"v", L"A&#00000065;"},
                    AttributeCase{L"<a v='&#65x;&#x1F600;&#x10041;'/>", L"v", L"A\xF600\x0041"},
                    AttributeCase{L"<a v='a & b &'/>", L"v", L"a & b &"},
                    AttributeCase{L"<a v='&#x10000;'/>", L"v", L"&#x10000;"},
                    AttributeCase{L"<a quorPath='x'/>", L"QuorPath", L""},
                    AttributeCase{L"<a quorPath='x'/>", L"quorPat", L""},
                    AttributeCase{L"<a x=1 y = \"two\" z='3'/>", L"y", L"two"},
                    AttributeCase{L"<a x=1 y=2>", L"y", L"2"}, AttributeCase{L"<a x=1/>", L"x", L"1/"},
                    AttributeCase{L"<a flag x='1'/>", L"x", L"1"},
                    AttributeCase{L"<a flag x='1'/>", L"flag", L""},
                    AttributeCase{L"<a x='1>2'/>", L"x", L"1>2"},
                    AttributeCase{L"<a x='v'></a><b x='w'/>", L"x", L"v"},
                    AttributeCase{L"<a\tx\r\n=\n'1'/>", L"x", L"1"}, AttributeCase{L"<a x=''/>", L"x", L""},
                    AttributeCase{L"<a x='1' y='>'/>", L"y", L">"}));

TEST(XmlDocument, NoAttributeWithoutACurrentElement) {
    XmlDocument doc;
    doc.setDoc(L"<a x='1'/>");
    EXPECT_EQ(doc.getAttrib(L"x"), L"");
    doc.findElem();
    EXPECT_EQ(doc.getAttrib(nullptr), L"");
    EXPECT_EQ(doc.getAttrib(L""), L"");
    doc.intoElem();
    EXPECT_EQ(doc.getAttrib(L"x"), L"") << "inside an element without children nothing is current";
}

TEST(XmlDocument, ManyElementsGrowTheIndexAcrossPages) {
    std::wstring text = L"<r>";
    const int count = 70000; // more than one page of 65536 records
    for (int i = 0; i < count; ++i)
        text += L"<e i='" + std::to_wstring(i) + L"'/>";
    text += L"</r>";
    XmlDocument doc;
    ASSERT_TRUE(doc.setDoc(text.c_str()));
    doc.findElem(L"r");
    doc.intoElem();
    int seen = 0;
    bool inOrder = true;
    while (doc.findElem(L"e"))
        inOrder = inOrder && doc.getAttrib(L"i") == std::to_wstring(seen++);
    EXPECT_EQ(seen, count);
    EXPECT_TRUE(inOrder);
}

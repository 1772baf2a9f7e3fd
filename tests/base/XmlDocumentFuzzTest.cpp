// Feeds truncated and mutated documents to the reader. This file and the
// reader are compiled with the library's checked containers (see
// CMakeLists.txt), so an access outside the text aborts the test.
#include "base/XmlDocument.h"

#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

using quor::XmlDocument;

namespace {

const wchar_t* const kSeeds[] = {
    L"\xFEFF<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<LauncherInfo>\r\n\t<VersionInfo No=\"8.17.0.0\" "
    L"quorPath=\"8.17.0.0\" Enable=\"1\" First=\"1\" Index=\"0\"/>\r\n</LauncherInfo>\r\n",
    L"<!DOCTYPE r [<!ELEMENT r ANY><!ENTITY e 'x'><!-- c -->]><r a='&#65;&lt;&#x42;'><![CDATA[<x>]]><?p "
    L"q?></r>",
    L"<r><a><b x=1/><c y='>'/></r></a><d/>",
    L"<a v=\"&amp;&quot;&#1234567;&#x;&\"><b/><c></b></c></a>",
    L"<r><a><b><c><d/><e x='1'></c><f></a><g/></b></r></x><h",
};

const wchar_t kSpecial[] = L"<>/!?-[]'\"&#;= xCDE\t";

std::wstring mutate(std::wstring text, std::mt19937& random) {
    int steps = 1 + random() % 4;
    for (int s = 0; s < steps; ++s) {
        size_t at = text.empty() ? 0 : random() % (text.size() + 1);
        switch (random() % 5) {
        case 0: // truncate
            text.resize(at);
            break;
        case 1: // replace one character
            if (at < text.size())
                text[at] = kSpecial[random() % (sizeof kSpecial / sizeof kSpecial[0] - 1)];
            break;
        case 2: // insert a special character
            text.insert(at, 1, kSpecial[random() % (sizeof kSpecial / sizeof kSpecial[0] - 1)]);
            break;
        case 3: { // delete a range
            size_t length = random() % 8;
            if (at < text.size())
                text.erase(at, length);
            break;
        }
        default: { // duplicate a range
            size_t length = random() % 16;
            if (at < text.size())
                text.insert(at, text.substr(at, length));
            break;
        }
        }
    }
    return text;
}

// Walks every element reachable by navigation and checks that what it reports
// lies inside the text. Returns the number of elements visited.
size_t walk(XmlDocument& doc, size_t textLength, int depth) {
    size_t visited = 0;
    while (doc.findElem()) {
        ++visited;
        EXPECT_LE(doc.getTagName().size(), textLength);
        for (const wchar_t* name : {L"quorPath", L"a", L"x", L"y", L"v", L"No"})
            EXPECT_LE(doc.getAttrib(name).size(), textLength);
        if (depth < 64 && doc.intoElem()) {
            visited += walk(doc, textLength, depth + 1);
            EXPECT_TRUE(doc.outOfElem());
        }
    }
    return visited;
}

size_t countOf(const std::wstring& text, wchar_t c) {
    size_t n = 0;
    for (wchar_t x : text)
        n += x == c;
    return n;
}

} // namespace

TEST(XmlDocumentFuzz, MutatedTextsNeverLeaveTheirBounds) {
    std::mt19937 random(20261211);
    XmlDocument doc;
    for (int i = 0; i < 20000; ++i) {
        std::wstring text = mutate(kSeeds[i % (sizeof kSeeds / sizeof kSeeds[0])], random);
        bool ok = doc.setDoc(text.c_str());
        size_t elements = walk(doc, text.size(), 0);
        // Every element starts at its own "<".
        ASSERT_LE(elements, countOf(text, L'<')) << i;
        if (ok) {
            // Well formed means exactly one element at the top.
            XmlDocument top;
            top.setDoc(text.c_str());
            ASSERT_TRUE(top.findElem()) << i;
            ASSERT_FALSE(top.findElem()) << i;
        }
    }
}

TEST(XmlDocumentFuzz, EveryPrefixOfTheSeedsParses) {
    XmlDocument doc;
    for (const wchar_t* seed : kSeeds) {
        std::wstring text = seed;
        for (size_t length = 0; length <= text.size(); ++length) {
            std::wstring prefix = text.substr(0, length);
            doc.setDoc(prefix.c_str());
            ASSERT_LE(walk(doc, prefix.size(), 0), countOf(prefix, L'<'));
        }
    }
}

TEST(XmlDocumentFuzz, MutatedBytesDecodeAndParseFromFiles) {
    TempDir dir;
    std::wstring path = dir.path() + L"fuzz.xml";
    std::mt19937 random(7);
    const std::string seed = "\xEF\xBB\xBF<r a='\xC3\xA9\xF0\x9F\x98\x80'><b/></r>";
    XmlDocument doc;
    for (int i = 0; i < 300; ++i) {
        std::string bytes = seed;
        for (int s = 0; s < 3; ++s) {
            size_t at = random() % bytes.size();
            if (random() % 3 == 0)
                bytes.resize(at);
            else if (!bytes.empty() && at < bytes.size())
                bytes[at] = static_cast<char>(random() & 0xFF);
            if (bytes.empty())
                break;
        }
        ASSERT_TRUE(writeFileBytes(path, bytes));
        doc.load(path);
        EXPECT_LE(doc.getDoc().size(), bytes.size()) << "never more units than bytes";
        walk(doc, doc.getDoc().size(), 0);
    }
}

#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quor {

// A small, lenient, read-only XML reader. The whole document is kept as one
// wide string and indexed without copying text; malformed parts are indexed as
// well as possible and the first problem is described by getResult(). It reads
// files users may have edited, so every access is bounded by the text.
class XmlDocument {
public:
    XmlDocument();

    // Reads a UTF-8 file. True when the document has exactly one root element
    // and every element is ended.
    bool load(const std::wstring& path);
    // Parses `text` instead (null: an empty document); same result as load.
    bool setDoc(const wchar_t* text);

    // Finds the next element at the current level named `name` (exact; null or
    // empty matches any element) and makes it current.
    bool findElem(const wchar_t* name = nullptr);
    bool intoElem();
    bool outOfElem();

    // The decoded value of the current element's attribute `name`; empty when
    // there is no current element or no such attribute.
    std::wstring getAttrib(const wchar_t* name) const;
    // The current element's tag name; empty when there is none.
    std::wstring getTagName() const;
    const std::wstring& getResult() const { return m_result; }
    const std::wstring& getDoc() const { return m_text; }

    // Element flags.
    static constexpr uint32_t kLevelMask = 0xFFFF;
    static constexpr uint32_t kFirstChild = 0x80000;
    static constexpr uint32_t kNotEnded = 0x100000;
    static constexpr uint32_t kDocumentNotEnded = 0x800000;

private:
    struct Element {
        uint32_t start;      // offset of the start tag's "<"
        uint32_t length;     // whole element, or the start tag when empty or not ended
        uint32_t tagLengths; // start tag in bits 0-21, end tag in bits 22-31
        uint32_t flags;
        uint32_t parent;
        uint32_t child; // first child
        uint32_t next;
        uint32_t prev; // for the first child: the last child
    };
    static constexpr uint32_t kPageSize = 65536;

    enum class NodeKind {
        None,
        Whitespace,
        Text,
        Element,
        EndTag,
        ProcessingInstruction,
        Comment,
        CData,
        Doctype,
        Declaration,
        Error
    };
    struct Node {
        NodeKind kind = NodeKind::None;
        size_t start = 0;
        size_t length = 0;
        bool empty = false; // an element tag that ends with "/>"
    };

    bool parse();
    Node scanNode(size_t at, bool inDoctype);
    size_t scanTagEnd(size_t at, bool* empty) const;
    size_t findText(size_t from, const wchar_t* what) const;
    void unendOpenElements(std::vector<uint32_t>& open, size_t keep);
    void recomputeLevels();
    uint32_t addElement(uint32_t parent, const Node& node, uint32_t level);
    void note(const std::wstring& message);
    std::wstring nameAt(size_t at) const;
    size_t nameLength(size_t at, const wchar_t* stops) const;
    bool wellFormed() const;
    std::wstring decodeValue(size_t from, size_t end) const;

    Element& element(uint32_t index) { return m_pages[index / kPageSize][index % kPageSize]; }
    const Element& element(uint32_t index) const { return m_pages[index / kPageSize][index % kPageSize]; }
    void reserveElements(uint32_t needed);
    static uint32_t startTagLength(const Element& e) { return e.tagLengths & 0x3FFFFF; }

    std::wstring m_text;
    std::wstring m_result;
    std::wstring m_parseMessage;
    std::vector<std::vector<Element>> m_pages;
    uint32_t m_used = 0;
    uint32_t m_capacity = 0;
    uint32_t m_parent = 0;
    uint32_t m_current = 0;
    uint32_t m_child = 0;
    bool m_currentIsElement = false;
};

} // namespace quor

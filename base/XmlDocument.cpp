#include "base/XmlDocument.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwchar>

namespace quor {

namespace {

// Files larger than this are refused: a launcher description is a few hundred
// bytes, and a huge file would only exhaust a 32-bit process.
constexpr size_t kMaxFileBytes = 64u * 1024 * 1024;
constexpr size_t kNone = std::wstring::npos;

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r';
}

bool startsElementName(wchar_t c) {
    if (c == L'_' || c == L':')
        return true;
    return !(c <= 0x40 || (c >= 0x5B && c <= 0x60));
}

std::wstring decodeUtf8(const unsigned char* data, size_t size) {
    std::wstring text;
    text.reserve(size);
    size_t i = 0;
    while (i < size) {
        uint32_t b = data[i];
        uint32_t code = b;
        if (b < 0x80) {
            ++i;
        } else {
            size_t followers;
            if (!(b & 0x20)) {
                followers = 1;
                code = b & 0x1F;
            } else if ((b & 0x38) == 0x30) {
                followers = 3;
                code = b & 0x07;
            } else if ((b & 0x30) == 0x20) {
                followers = 2;
                code = b & 0x0F;
            } else {
                text += L'?';
                ++i;
                continue;
            }
            if (i + followers >= size)
                break;
            size_t j = i + 1;
            bool valid = true;
            for (size_t k = 0; k < followers; ++k, ++j) {
                if (!(data[j] & 0x80)) {
                    valid = false;
                    break;
                }
                code = code << 6 | (data[j] & 0x3F);
            }
            i = j; // an invalid sequence's last byte is read again
            if (!valid) {
                text += L'?';
                continue;
            }
        }
        if (code == 0)
            break;
        if (code <= 0xFFFF) {
            text += static_cast<wchar_t>(code);
        } else if (code <= 0x10FFFF) {
            code -= 0x10000;
            text += static_cast<wchar_t>(0xD800 + (code >> 10));
            text += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
        } else {
            text += L'?';
        }
    }
    return text;
}

std::wstring runtimeErrorText(int error) {
    const wchar_t* message = _wcserror(error);
    std::wstring text = message ? message : L"";
    size_t cut = text.find_first_of(L"\r\n");
    if (cut != kNone)
        text.resize(cut);
    return text;
}

std::wstring at(const std::wstring& what, size_t offset) {
    return what + L" at offset " + std::to_wstring(offset);
}

} // namespace

XmlDocument::XmlDocument() {
    setDoc(nullptr);
}

bool XmlDocument::load(const std::wstring& path) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) {
        m_result = runtimeErrorText(errno);
        return false;
    }
    std::string bytes;
    char buffer[16384];
    size_t got;
    bool tooLarge = false;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (bytes.size() + got > kMaxFileBytes) {
            tooLarge = true;
            break;
        }
        bytes.append(buffer, got);
    }
    fclose(file);
    if (tooLarge) {
        m_result = runtimeErrorText(EFBIG);
        return false;
    }
    m_text = decodeUtf8(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    m_result =
        std::to_wstring(bytes.size()) + L" bytes to " + std::to_wstring(m_text.size()) + L" wide chars";
    parse();
    if (!m_parseMessage.empty())
        m_result += L", " + m_parseMessage;
    return wellFormed();
}

bool XmlDocument::setDoc(const wchar_t* text) {
    m_text = text ? text : L"";
    parse();
    m_result = m_parseMessage;
    return wellFormed();
}

void XmlDocument::note(const std::wstring& message) {
    if (m_parseMessage.empty())
        m_parseMessage = message;
}

bool XmlDocument::wellFormed() const {
    uint32_t root = element(0).child;
    return root && !element(root).next && !(element(0).flags & kDocumentNotEnded);
}

void XmlDocument::reserveElements(uint32_t needed) {
    if (needed <= m_capacity)
        return;
    uint32_t capacity = m_capacity ? m_capacity + m_used / 2 : static_cast<uint32_t>(m_text.size() / 64 + 8);
    if (capacity < needed)
        capacity = needed;
    for (uint32_t page = 0; page * static_cast<uint64_t>(kPageSize) < capacity; ++page) {
        uint32_t size = capacity - page * kPageSize;
        if (size > kPageSize)
            size = kPageSize;
        if (page >= m_pages.size())
            m_pages.emplace_back(size);
        else if (m_pages[page].size() < size)
            m_pages[page].resize(size);
    }
    m_capacity = capacity;
}

uint32_t XmlDocument::addElement(uint32_t parent, const Node& node, uint32_t level) {
    reserveElements(m_used + 1);
    uint32_t index = m_used++;
    Element& e = element(index);
    uint32_t length = static_cast<uint32_t>(node.length);
    e = Element{static_cast<uint32_t>(node.start),
                length,
                length > 0x3FFFFF ? 0x3FFFFFu : length,
                level & kLevelMask,
                parent,
                0,
                0,
                0};
    Element& p = element(parent);
    if (!p.child) {
        p.child = index;
        e.prev = index;
        e.flags |= kFirstChild;
    } else {
        Element& first = element(p.child);
        uint32_t last = first.prev;
        element(last).next = index;
        e.prev = last;
        first.prev = index;
    }
    return index;
}

size_t XmlDocument::nameLength(size_t start, const wchar_t* stops) const {
    size_t end = start;
    while (end < m_text.size() && !wcschr(stops, m_text[end]))
        ++end;
    return end - start;
}

std::wstring XmlDocument::nameAt(size_t tagStart) const {
    size_t start = tagStart + 1;
    if (start > m_text.size())
        return std::wstring();
    return m_text.substr(start, nameLength(start, L" \t\n\r/>"));
}

size_t XmlDocument::findText(size_t from, const wchar_t* what) const {
    return from > m_text.size() ? kNone : m_text.find(what, from);
}

size_t XmlDocument::scanTagEnd(size_t from, bool* empty) const {
    const size_t n = m_text.size();
    size_t q = from;
    while (q < n && !isBlank(m_text[q]) && m_text[q] != L'/' && m_text[q] != L'>')
        ++q;
    const size_t nameEnd = q;
    while (q < n) {
        wchar_t c = m_text[q];
        if (c == L'"' || c == L'\'') {
            size_t close = m_text.find(c, q + 1);
            if (close == kNone)
                return kNone;
            q = close + 1;
            continue;
        }
        if (c == L'>') {
            *empty = false;
            if (q > from && m_text[q - 1] == L'/') {
                size_t slash = q - 1;
                wchar_t before = m_text[slash - 1]; // slash > from >= 1, so this is inside the text
                if (slash == nameEnd || isBlank(before) || before == L'"' || before == L'\'')
                    *empty = true;
            }
            return q;
        }
        ++q;
    }
    return kNone;
}

XmlDocument::Node XmlDocument::scanNode(size_t from, bool inDoctype) {
    const size_t n = m_text.size();
    const std::wstring& t = m_text; // indexed, so checked builds check every access
    Node node;
    node.start = from;
    auto unterminated = [&](const wchar_t* kind) {
        note(at(kind, from) + L" unterminated");
        node.kind = NodeKind::Error;
        node.length = n - from;
        return node;
    };
    auto incorrect = [&](const wchar_t* what, size_t length) {
        note(L"Incorrect " + at(what, from));
        node.kind = NodeKind::Error;
        node.length = length;
        return node;
    };
    auto closedBy = [&](NodeKind kind, size_t close, size_t closeLength, const wchar_t* name) {
        if (close == kNone)
            return unterminated(name);
        node.kind = kind;
        node.length = close + closeLength - from;
        return node;
    };

    if (t[from] != L'<') {
        size_t end = m_text.find(L'<', from);
        if (end == kNone)
            end = n;
        bool blank = true;
        for (size_t i = from; i < end && blank; ++i)
            blank = isBlank(t[i]);
        node.kind = blank ? NodeKind::Whitespace : NodeKind::Text;
        node.length = end - from;
        return node;
    }
    if (from + 1 >= n)
        return unterminated(L"tag");
    wchar_t c = t[from + 1];
    if (c == L'/')
        return closedBy(NodeKind::EndTag, m_text.find(L'>', from + 2), 1, L"Element end tag");
    if (c == L'?')
        return closedBy(NodeKind::ProcessingInstruction, findText(from + 2, L"?>"), 2,
                        L"Processing instruction");
    if (c == L'!') {
        if (from + 2 >= n)
            return unterminated(L"tag");
        wchar_t c2 = t[from + 2];
        if (c2 == L'-') {
            if (from + 3 >= n)
                return unterminated(L"tag");
            if (t[from + 3] != L'-')
                return incorrect(L"comment tag", 3);
            return closedBy(NodeKind::Comment, findText(from + 4, L"-->"), 3, L"Comment");
        }
        if (inDoctype && (c2 == L'D' || c2 == L'['))
            return incorrect(L"! tag", 2);
        if (c2 == L'[') {
            if (from + 3 >= n)
                return unterminated(L"tag");
            if (t[from + 3] != L'C')
                return incorrect(L"tag", 3);
            return closedBy(NodeKind::CData, findText(from + 4, L"]]>"), 3, L"CDATA Section");
        }
        if (c2 == L'D') {
            // Nested declarations may contain ">" of their own.
            size_t q = from + 3;
            while (q < n) {
                if (t[q] == L'>') {
                    node.kind = NodeKind::Doctype;
                    node.length = q + 1 - from;
                    return node;
                }
                if (t[q] == L'<')
                    q += scanNode(q, true).length;
                else
                    ++q;
            }
            return unterminated(L"Doctype");
        }
        if (c2 == L'E' || c2 == L'A' || c2 == L'N')
            return closedBy(NodeKind::Declaration, m_text.find(L'>', from + 3), 1, L"tag");
        return incorrect(L"! tag", 2);
    }
    if (startsElementName(c)) {
        bool empty = false;
        size_t close = scanTagEnd(from + 1, &empty);
        if (close == kNone)
            return unterminated(L"Element tag");
        node.kind = NodeKind::Element;
        node.length = close + 1 - from;
        node.empty = empty;
        return node;
    }
    return incorrect(L"tag name character", 1);
}

void XmlDocument::unendOpenElements(std::vector<uint32_t>& open, size_t keep) {
    if (keep >= open.size())
        return;
    uint32_t parent = keep ? open[keep - 1] : 0;
    // Each open element is the last child of the one below it on the stack, so
    // the flattened order is: an unended element, its other children, the next
    // unended element, its children, and so on. Everything moves at once, so no
    // record is relinked more than once per call.
    std::vector<uint32_t> order;
    for (size_t i = keep; i < open.size(); ++i) {
        uint32_t inner = i + 1 < open.size() ? open[i + 1] : 0;
        order.push_back(open[i]);
        for (uint32_t c = element(open[i]).child; c; c = element(c).next)
            if (c != inner)
                order.push_back(c);
    }
    for (size_t i = keep; i < open.size(); ++i) {
        Element& e = element(open[i]);
        e.child = 0;
        e.length = startTagLength(e);
        e.flags |= kNotEnded;
    }
    for (size_t j = 1; j < order.size(); ++j) {
        Element& e = element(order[j]);
        e.parent = parent;
        e.flags &= ~kFirstChild;
        e.next = 0;
        e.prev = order[j - 1];
        element(order[j - 1]).next = order[j];
    }
    element(order.back()).next = 0;
    element(element(parent).child).prev = order.back();
    element(0).flags |= kDocumentNotEnded;
    open.resize(keep);
}

void XmlDocument::recomputeLevels() {
    uint32_t index = element(0).child;
    uint32_t depth = 0;
    while (index) {
        Element& e = element(index);
        e.flags = (e.flags & ~kLevelMask) | (depth & kLevelMask);
        if (e.child) {
            index = e.child;
            ++depth;
            continue;
        }
        while (index && !element(index).next) {
            index = element(index).parent;
            if (depth)
                --depth;
        }
        if (index)
            index = element(index).next;
    }
}

bool XmlDocument::parse() {
    m_pages.clear();
    m_used = 0;
    m_capacity = 0;
    m_parent = m_current = m_child = 0;
    m_currentIsElement = false;
    m_parseMessage.clear();
    reserveElements(1);
    element(0) = Element{0, static_cast<uint32_t>(m_text.size()), 0, 0, 0, 0, 0, 0};
    m_used = 1;
    if (m_text.empty()) {
        note(L"Empty document");
        return false;
    }
    if (m_text.size() > 0x7FFFFFFF) {
        note(L"Document too large");
        return false;
    }

    std::vector<uint32_t> open;
    bool moved = false;
    size_t offset = 0;
    while (offset < m_text.size()) {
        Node node = scanNode(offset, false);
        offset += node.length;
        if (node.kind == NodeKind::Element) {
            uint32_t parent = open.empty() ? 0 : open.back();
            uint32_t index = addElement(parent, node, static_cast<uint32_t>(open.size()));
            if (!node.empty)
                open.push_back(index);
        } else if (node.kind == NodeKind::EndTag) {
            size_t nameStart = node.start + 2;
            size_t nameLen = nameLength(nameStart, L" \t\n\r=/[]>");
            size_t match = open.size();
            for (size_t i = open.size(); i-- > 0;) {
                const Element& e = element(open[i]);
                size_t elementNameLen = nameLength(e.start + 1, L" \t\n\r/>");
                if (elementNameLen == nameLen &&
                    !wmemcmp(&m_text[e.start + 1], &m_text[nameStart], nameLen)) {
                    match = i;
                    break;
                }
            }
            std::wstring endName = m_text.substr(nameStart, nameLen);
            if (match == open.size()) {
                note(L"No start tag for end tag '" + endName + L"' at offset " + std::to_wstring(node.start));
                continue;
            }
            if (match + 1 < open.size()) {
                const Element& inner = element(open.back());
                note(L"End tag '" + endName + L"' at offset " + std::to_wstring(node.start + 1) +
                     L" does not match start tag '" + nameAt(inner.start) + L"' at offset " +
                     std::to_wstring(inner.start));
                unendOpenElements(open, match + 1);
                moved = true;
            }
            Element& closing = element(open.back());
            closing.length = static_cast<uint32_t>(node.start + node.length - closing.start);
            uint32_t endLength = node.length > 0x3FF ? 0x3FFu : static_cast<uint32_t>(node.length);
            closing.tagLengths = (closing.tagLengths & 0x3FFFFF) | endLength << 22;
            open.pop_back();
        }
    }
    if (!open.empty()) {
        const Element& inner = element(open.back());
        note(L"Element '" + nameAt(inner.start) + L"' at offset " + std::to_wstring(inner.start) +
             L" not ended");
        unendOpenElements(open, 0);
        moved = true;
    }
    if (moved)
        recomputeLevels();
    uint32_t root = element(0).child;
    if (!root)
        note(L"No root element");
    else if (element(root).next)
        note(L"Root element has sibling");
    return wellFormed();
}

bool XmlDocument::findElem(const wchar_t* name) {
    uint32_t index = m_current ? element(m_current).next : element(m_parent).child;
    size_t wanted = name ? wcslen(name) : 0;
    for (; index; index = element(index).next) {
        const Element& e = element(index);
        if (wanted) {
            size_t length = nameLength(e.start + 1, L" \t\n\r/>");
            if (length != wanted || wmemcmp(&m_text[e.start + 1], name, wanted))
                continue;
        }
        m_current = index;
        m_child = 0;
        m_currentIsElement = true;
        return true;
    }
    return false;
}

bool XmlDocument::intoElem() {
    if (!m_current || !m_currentIsElement)
        return false;
    m_parent = m_current;
    m_current = m_child;
    m_child = 0;
    m_currentIsElement = m_current != 0;
    return true;
}

bool XmlDocument::outOfElem() {
    if (!m_parent)
        return false;
    m_child = m_current;
    m_current = m_parent;
    m_parent = element(m_parent).parent;
    m_currentIsElement = true;
    return true;
}

std::wstring XmlDocument::getTagName() const {
    if (!m_current || !m_currentIsElement)
        return std::wstring();
    return nameAt(element(m_current).start);
}

std::wstring XmlDocument::getAttrib(const wchar_t* name) const {
    if (!m_current || !m_currentIsElement || !name || !*name)
        return std::wstring();
    const Element& e = element(m_current);
    const std::wstring& t = m_text; // indexed, so checked builds check every access
    size_t end = e.start + static_cast<size_t>(startTagLength(e));
    if (end > m_text.size())
        end = m_text.size();
    size_t wanted = wcslen(name);
    size_t q = e.start + 1 + nameLength(e.start + 1, L" \t\n\r/>");
    while (q < end) {
        while (q < end && isBlank(t[q]))
            ++q;
        if (q >= end || t[q] == L'>')
            break;
        if (t[q] == L'/' || t[q] == L'?' || t[q] == L'=') {
            ++q;
            continue;
        }
        size_t nameStart = q;
        while (q < end && !isBlank(t[q]) && !wcschr(L"=>/?", t[q]))
            ++q;
        size_t nameEnd = q;
        size_t r = q;
        while (r < end && isBlank(t[r]))
            ++r;
        size_t valueStart = 0, valueEnd = 0;
        if (r < end && t[r] == L'=') {
            ++r;
            while (r < end && isBlank(t[r]))
                ++r;
            if (r < end && (t[r] == L'"' || t[r] == L'\'')) {
                wchar_t quote = t[r];
                valueStart = ++r;
                while (r < end && t[r] != quote)
                    ++r;
                valueEnd = r;
                if (r < end)
                    ++r;
            } else {
                valueStart = r;
                while (r < end && !isBlank(t[r]) && t[r] != L'>')
                    ++r;
                valueEnd = r;
            }
            q = r;
        }
        if (nameEnd - nameStart == wanted && !wmemcmp(&t[nameStart], name, wanted))
            return decodeValue(valueStart, valueEnd);
    }
    return std::wstring();
}

std::wstring XmlDocument::decodeValue(size_t from, size_t end) const {
    static const wchar_t* const kNames[] = {L"lt;", L"amp;", L"gt;", L"apos;", L"quot;"};
    static const wchar_t kChars[] = L"<&>'\"";
    const std::wstring& t = m_text; // indexed, so checked builds check every access
    std::wstring value;
    size_t q = from;
    while (q < end) {
        if (t[q] != L'&') {
            value += t[q++];
            continue;
        }
        bool named = false;
        for (int i = 0; i < 5 && !named; ++i) {
            size_t length = wcslen(kNames[i]);
            if (q + 1 + length <= end && !wmemcmp(&t[q + 1], kNames[i], length)) {
                value += kChars[i];
                q += 1 + length;
                named = true;
            }
        }
        if (named)
            continue;
        if (q + 1 < end && t[q + 1] == L'#') {
            size_t digits = q + 2;
            bool hex = digits < end && t[digits] == L'x';
            if (hex)
                ++digits;
            size_t semicolon = kNone;
            for (size_t j = 0; j <= 7 && digits + j < end && t[digits + j]; ++j) {
                if (t[digits + j] == L';') {
                    semicolon = digits + j;
                    break;
                }
            }
            if (semicolon != kNone) {
                uint32_t number = 0;
                for (size_t k = digits; k < semicolon; ++k) {
                    wchar_t c = t[k];
                    int digit = c >= L'0' && c <= L'9'          ? c - L'0'
                                : hex && c >= L'a' && c <= L'f' ? c - L'a' + 10
                                : hex && c >= L'A' && c <= L'F' ? c - L'A' + 10
                                                                : -1;
                    if (digit < 0)
                        break;
                    number = number * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
                }
                // A reference whose unit would be NUL would cut the value short.
                if (number & 0xFFFF) {
                    value += static_cast<wchar_t>(number & 0xFFFF);
                    q = semicolon + 1;
                    continue;
                }
            }
        }
        value += L'&';
        ++q;
    }
    return value;
}

} // namespace quor

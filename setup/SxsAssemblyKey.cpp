#include "setup/SxsAssemblyKey.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

namespace {

constexpr uint32_t kMultiplier = 65599;
constexpr DWORD kMaxManifestBytes = 1 << 20;

const std::wstring* findValue(const std::vector<AssemblyAttribute>& attributes, const wchar_t* name) {
    for (const AssemblyAttribute& a : attributes) {
        if (a.name == name && a.value != L"*")
            return &a.value;
    }
    return nullptr;
}

// A forward-only scanner over the manifest text; every read is bounds-checked.
class XmlScanner {
public:
    explicit XmlScanner(const std::wstring& text) : m_text(text) {}

    bool findIdentity(std::vector<AssemblyAttribute>& attributes) {
        int depth = 0;
        while (m_pos < m_text.size()) {
            size_t open = m_text.find(L'<', m_pos);
            if (open == std::wstring::npos)
                return false;
            m_pos = open + 1;
            if (startsWith(L"?")) {
                if (!skipPast(L"?>"))
                    return false;
            } else if (startsWith(L"!--")) {
                if (!skipPast(L"-->"))
                    return false;
            } else if (startsWith(L"![CDATA[")) {
                if (!skipPast(L"]]>"))
                    return false;
            } else if (startsWith(L"!")) {
                if (!skipPast(L">"))
                    return false;
            } else if (startsWith(L"/")) {
                if (!skipPast(L">"))
                    return false;
                if (--depth <= 0)
                    return false;
            } else {
                std::wstring name = readName();
                if (name.empty())
                    return false;
                std::vector<AssemblyAttribute> attrs;
                bool selfClosing = false;
                if (!readAttributes(attrs, selfClosing))
                    return false;
                if (depth == 1 && localName(name) == L"assemblyIdentity") {
                    attributes = std::move(attrs);
                    return true;
                }
                if (!selfClosing)
                    ++depth;
                else if (depth == 0)
                    return false;
            }
        }
        return false;
    }

private:
    static std::wstring localName(const std::wstring& name) {
        size_t colon = name.find(L':');
        return colon == std::wstring::npos ? name : name.substr(colon + 1);
    }
    static bool isSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
    static bool isNameChar(wchar_t c) {
        return !isSpace(c) && c != L'>' && c != L'/' && c != L'=' && c != L'<' && c != L'"' && c != L'\'';
    }
    bool startsWith(const wchar_t* s) const { return m_text.compare(m_pos, wcslen(s), s) == 0; }
    bool skipPast(const wchar_t* s) {
        size_t at = m_text.find(s, m_pos);
        if (at == std::wstring::npos)
            return false;
        m_pos = at + wcslen(s);
        return true;
    }
    void skipSpaces() {
        while (m_pos < m_text.size() && isSpace(m_text[m_pos]))
            ++m_pos;
    }
    std::wstring readName() {
        size_t start = m_pos;
        while (m_pos < m_text.size() && isNameChar(m_text[m_pos]))
            ++m_pos;
        return m_text.substr(start, m_pos - start);
    }
    static std::wstring decode(const std::wstring& raw) {
        static const struct {
            const wchar_t* entity;
            wchar_t ch;
        } entities[] = {
            {L"&amp;", L'&'}, {L"&lt;", L'<'}, {L"&gt;", L'>'}, {L"&quot;", L'"'}, {L"&apos;", L'\''}};
        std::wstring out;
        for (size_t i = 0; i < raw.size();) {
            bool replaced = false;
            if (raw[i] == L'&') {
                for (const auto& e : entities) {
                    size_t n = wcslen(e.entity);
                    if (raw.compare(i, n, e.entity) == 0) {
                        out += e.ch;
                        i += n;
                        replaced = true;
                        break;
                    }
                }
            }
            if (!replaced)
                out += raw[i++];
        }
        return out;
    }
    bool readAttributes(std::vector<AssemblyAttribute>& attrs, bool& selfClosing) {
        for (;;) {
            skipSpaces();
            if (m_pos >= m_text.size())
                return false;
            if (m_text[m_pos] == L'>') {
                ++m_pos;
                return true;
            }
            if (startsWith(L"/>")) {
                m_pos += 2;
                selfClosing = true;
                return true;
            }
            std::wstring name = readName();
            if (name.empty())
                return false;
            skipSpaces();
            if (m_pos >= m_text.size() || m_text[m_pos] != L'=')
                return false;
            ++m_pos;
            skipSpaces();
            if (m_pos >= m_text.size() || (m_text[m_pos] != L'"' && m_text[m_pos] != L'\''))
                return false;
            wchar_t quote = m_text[m_pos++];
            size_t end = m_text.find(quote, m_pos);
            if (end == std::wstring::npos)
                return false;
            attrs.push_back({name, decode(m_text.substr(m_pos, end - m_pos))});
            m_pos = end + 1;
        }
    }

    const std::wstring& m_text;
    size_t m_pos = 0;
};

} // namespace

uint32_t sxsStringHash(const std::wstring& text) {
    uint32_t hash = 0;
    for (wchar_t c : text) {
        uint32_t unit = static_cast<uint16_t>(c);
        if (unit >= L'a' && unit <= L'z')
            unit -= L'a' - L'A';
        hash = hash * kMultiplier + unit;
    }
    return hash;
}

std::wstring sxsAssemblyKey(const std::vector<AssemblyAttribute>& attributes) {
    std::vector<const AssemblyAttribute*> counted;
    for (const AssemblyAttribute& a : attributes) {
        if (a.value != L"*")
            counted.push_back(&a);
    }
    // Ordinal order of the names: code unit by code unit, case-sensitive.
    std::sort(counted.begin(), counted.end(),
              [](const AssemblyAttribute* a, const AssemblyAttribute* b) { return a->name < b->name; });
    uint32_t hash = 0;
    for (const AssemblyAttribute* a : counted)
        hash = hash * kMultiplier + (sxsStringHash(a->name) * kMultiplier + sxsStringHash(a->value));

    auto part = [&](const wchar_t* name, const wchar_t* missing) {
        const std::wstring* v = findValue(attributes, name);
        return v ? *v : std::wstring(missing);
    };
    wchar_t hex[16];
    swprintf(hex, 16, L"%08lx", static_cast<unsigned long>(hash));
    return part(L"processorArchitecture", L"none") + L"_" + part(L"name", L"none") + L"_" +
           part(L"publicKeyToken", L"none") + L"_" + part(L"version", L"none") + L"_" +
           part(L"language", L"x-ww") + L"_" + hex;
}

bool parseAssemblyIdentity(const std::wstring& xml, std::vector<AssemblyAttribute>& attributes) {
    attributes.clear();
    return XmlScanner(xml).findIdentity(attributes);
}

bool readAssemblyIdentity(const std::wstring& manifestPath, std::vector<AssemblyAttribute>& attributes) {
    HANDLE file = CreateFileW(manifestPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size = {};
    std::string bytes;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart <= kMaxManifestBytes;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok =
            bytes.empty() || (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                              got == bytes.size());
    }
    CloseHandle(file);
    if (!ok)
        return false;
    size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data() + start, static_cast<int>(bytes.size() - start),
                                nullptr, 0);
    std::wstring text(static_cast<size_t>(std::max(n, 0)), L'\0');
    if (n > 0)
        MultiByteToWideChar(CP_UTF8, 0, bytes.data() + start, static_cast<int>(bytes.size() - start),
                            text.data(), n);
    return parseAssemblyIdentity(text, attributes);
}

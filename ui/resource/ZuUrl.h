#pragma once

#include <string>

// A resource address: scheme://user@host:port/path#fragment?query, made from
// a resource id after its aliases are resolved.
class ZuUrl {
public:
    ZuUrl() = default;
    explicit ZuUrl(const std::wstring& text);
    explicit ZuUrl(const wchar_t* text) : ZuUrl(std::wstring(text ? text : L"")) {}

    // Each part only when non-empty; the fragment comes before the query.
    std::wstring toString() const;
    bool isValid() const { return m_valid; }
    const std::wstring& scheme() const { return m_scheme; }
    const std::wstring& user() const { return m_user; }
    const std::wstring& host() const { return m_host; }
    const std::wstring& port() const { return m_port; }
    const std::wstring& path() const { return m_path; }
    const std::wstring& fragment() const { return m_fragment; }
    const std::wstring& query() const { return m_query; }

private:
    std::wstring m_scheme, m_user, m_host, m_port, m_path, m_fragment, m_query;
    bool m_valid = false;
};

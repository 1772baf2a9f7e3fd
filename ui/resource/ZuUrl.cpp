#include "ui/resource/ZuUrl.h"

#include "ui/resource/ZuAssignLib.h"

namespace {
bool isAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}
} // namespace

ZuUrl::ZuUrl(const std::wstring& text) {
    std::wstring resolved = ZuAssignLib::instance()->resolve(text);
    size_t colon = resolved.find(L':');
    if (colon == std::wstring::npos || (colon == 1 && isAsciiLetter(resolved[0]))) {
        m_scheme = L"file";
        m_path = resolved;
        m_valid = true;
        return;
    }
    m_scheme = resolved.substr(0, colon);
    if (resolved.compare(colon + 1, 2, L"//") != 0)
        return; // not an address: only the scheme is known
    size_t authorityStart = colon + 3;
    size_t slash = resolved.find(L'/', authorityStart);
    // Without a further "/" the whole rest is the authority and the path is empty.
    std::wstring authority = resolved.substr(authorityStart, slash == std::wstring::npos ? std::wstring::npos : slash - authorityStart);
    std::wstring path = slash == std::wstring::npos ? std::wstring() : resolved.substr(slash + 1);

    size_t at = authority.find(L'@');
    size_t lastColon = authority.rfind(L':');
    if (at != std::wstring::npos && lastColon != std::wstring::npos && at < lastColon) {
        m_port = authority.substr(lastColon + 1);
        authority.resize(lastColon);
    }
    if (at != std::wstring::npos) {
        m_user = authority.substr(0, at);
        m_host = authority.substr(at + 1);
    } else {
        m_host = authority;
    }

    size_t question = path.find(L'?');
    if (question != std::wstring::npos) {
        m_query = path.substr(question + 1);
        path.resize(question);
    }
    size_t hash = path.find(L'#');
    if (hash != std::wstring::npos) {
        m_fragment = path.substr(hash + 1);
        path.resize(hash);
    }
    m_path = path;
    m_valid = true;
}

std::wstring ZuUrl::toString() const {
    std::wstring text;
    if (!m_scheme.empty())
        text += m_scheme + L"://";
    if (!m_user.empty())
        text += m_user + L"@";
    text += m_host;
    if (!m_port.empty())
        text += L":" + m_port;
    if (!m_path.empty())
        text += L"/" + m_path;
    if (!m_fragment.empty())
        text += L"#" + m_fragment;
    if (!m_query.empty())
        text += L"?" + m_query;
    return text;
}

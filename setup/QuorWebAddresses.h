#pragma once

#include <string>

// The web addresses the installer stores or opens. Only the host names vary by
// build (QUOR_OFFICIAL_HOST and QUOR_PORTAL_HOST, set from the CMake cache);
// paths and queries are fixed.
#ifndef QUOR_OFFICIAL_HOST
#define QUOR_OFFICIAL_HOST L"www.quor.example"
#endif
#ifndef QUOR_PORTAL_HOST
#define QUOR_PORTAL_HOST L"www.belvane.example"
#endif

namespace quor::web {

inline std::wstring officialHomePage() {
    return std::wstring(L"https://") + QUOR_OFFICIAL_HOST + L"/";
}
inline std::wstring releaseNotesPage() {
    return std::wstring(L"https://") + QUOR_OFFICIAL_HOST + L"/quor8";
}
inline std::wstring portalPage() {
    return std::wstring(L"https://") + QUOR_PORTAL_HOST + L"/?quor";
}
inline std::wstring portalFavouritePage() {
    return std::wstring(L"https://") + QUOR_PORTAL_HOST + L"/index3.html";
}

} // namespace quor::web

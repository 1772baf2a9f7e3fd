#pragma once

#include <string>

namespace quor {

// The install path normalised for comparison: lower case (A to Z only), single
// backslashes, no leading or trailing backslash.
std::wstring normalizeInstallPath(const std::wstring& path);

// 32 lower-case hexadecimal digits: the MD5 digest of the normalised path in the
// ANSI code page. Empty when the normalised path is empty.
std::wstring pathKey(const std::wstring& path);

// Roaming application data + "\belvane\quor\", created with all missing levels.
// Empty when the application-data folder is unknown, so that no caller builds
// a path relative to the current drive.
std::wstring productDataDir();

// productDataDir() + "setup\" + pathKey(installDirectory) + "\", created. Empty
// when either part is empty.
std::wstring setupDataDir(const std::wstring& installDirectory);

// productDataDir() + "update\" + pathKey(installDirectory) + "\", not created.
// Empty when either part is empty.
std::wstring updateCacheDir(const std::wstring& installDirectory);

} // namespace quor

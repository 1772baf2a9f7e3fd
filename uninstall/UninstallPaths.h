#pragma once

#include <string>

// The product's per-user directories as the installer computes them. Kept private
// to the uninstaller until the shared path utilities of the foundation replace them.

// Roaming application-data folder + "\belvane\quor\", created if missing.
std::wstring uninstallProductDataDir();
// Product data directory + "setup\" + the path key of `installDir` + "\", created if missing.
std::wstring uninstallSetupDataDir(const std::wstring& installDir);
// Lower-case hexadecimal MD5 of the normalised, lower-cased path in the ANSI code page.
std::wstring uninstallPathKey(const std::wstring& path);
// Deletes everything inside `directory`, recursively; failures are ignored.
void uninstallEmptyDirectory(const std::wstring& directory);

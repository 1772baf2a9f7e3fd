#pragma once

#include <string>

// True when `directory` looks like an installation of the product: not a drive
// root, and holding the product's own "Launcher.xml" or "Quor.exe". The
// uninstaller alone does not count, since it may have been copied anywhere.
// The uninstaller deletes nothing in a directory for which this is false.
bool isProductInstallation(const std::wstring& directory);

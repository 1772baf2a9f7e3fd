#pragma once

#include <string>

namespace quor {

// The current user's roaming application-data folder, without a trailing
// backslash; empty when the shell cannot tell.
std::wstring roamingAppDataFolder();

// Creates `directory` and every missing parent. True when it exists afterwards.
bool createDirectoryTree(const std::wstring& directory);

} // namespace quor

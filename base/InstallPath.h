#pragma once

#include <string>

namespace quor {

// Whether `path` can be an install directory: an absolute path on a drive whose
// free space can be queried, with no / : * ? " < > | or control character after
// the drive root and no blank component before a later backslash.
bool isValidInstallPath(const std::wstring& path);

// Megabytes available to the caller on the volume named by the first three
// characters of `path`; 0 when the query fails.
double freeSpaceMB(const std::wstring& path);

} // namespace quor

#pragma once

#include <string>

namespace quor {

// The one form in which an install directory is checked and used (registry
// values, shortcuts, the running-product guard, extraction): blanks trimmed at
// both ends and at the end of each component, "\" separators, no doubled
// separator, one trailing "\"; a bare drive root gets "belvane\quor\". Letter
// case is kept. A component made only of blanks is kept as it is, so that the
// check still refuses it. Empty when nothing is left.
std::wstring installDirectoryForm(const std::wstring& path);

// Whether `path` can be an install directory: an absolute path on a drive whose
// free space can be queried, with no / : * ? " < > | or control character after
// the drive root and no blank component before a later backslash.
bool isValidInstallPath(const std::wstring& path);

// Megabytes available to the caller on the volume named by the first three
// characters of `path`; 0 when the query fails.
double freeSpaceMB(const std::wstring& path);

} // namespace quor

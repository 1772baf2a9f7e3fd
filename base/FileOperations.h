#pragma once

#include <string>

namespace quor {

// Deletes everything inside `directory`, recursively; the directory itself
// remains and failures are skipped. Linked directories (junctions, symbolic
// links) are unlinked, never entered, so nothing outside is touched. An empty,
// relative or bare drive-root argument is refused with a log line.
void emptyDirectory(const std::wstring& directory);

// Moves (renames) `from` to `to` through the shell without any user interface,
// falling back to a plain file move. 0 on success, otherwise the system's last
// error, or 1 when that is 0. Paths longer than 258 characters are refused
// with ERROR_FILENAME_EXCED_RANGE rather than cut to a different name.
unsigned long moveFile(const std::wstring& from, const std::wstring& to);

} // namespace quor

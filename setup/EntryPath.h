#pragma once

#include <string>

// True when `relative` (the part of an archive entry name after its root, with
// "\" separators) names a place inside the directory it is appended to: not
// rooted, no drive or stream colon, no component made only of dots (Windows
// treats "..." and "..  " like ".."). Empty components are harmless.
bool isContainedEntryPath(const std::wstring& relative);

#include "base/InstallPath.h"

#include "base/LogFile.h"
#include "base/ProductPaths.h"

#include <windows.h>

namespace quor {

namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring trimBlanks(const std::wstring& text) {
    size_t first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    size_t end = text.size();
    while (end > first && isBlank(text[end - 1]))
        --end;
    return text.substr(first, end - first);
}

bool volumeAnswers(const std::wstring& root) {
    ULARGE_INTEGER available = {}, total = {}, free = {};
    return GetDiskFreeSpaceExW(root.c_str(), &available, &total, &free) != 0;
}

} // namespace

bool isValidInstallPath(const std::wstring& path) {
    std::wstring normalized = trimBlanks(normalizeInstallPath(path));
    // Only "x:" or "x:\..." is accepted: a relative, drive-relative or network
    // path would put the installation somewhere the user never chose.
    bool driveRoot = normalized.size() >= 2 && normalized[0] >= L'a' && normalized[0] <= L'z' &&
                     normalized[1] == L':' && (normalized.size() == 2 || normalized[2] == L'\\');
    if (!driveRoot) {
        logMessage(L"isValidInstallPath, '%s' does not start with a drive root.", path.c_str());
        return false;
    }
    std::wstring root = normalized.substr(0, 2) + L"\\";
    if (!volumeAnswers(root)) {
        logMessage(L"isValidInstallPath, drive %s does not answer.", root.c_str());
        return false;
    }
    if (normalized.size() <= 3)
        return true;
    std::wstring rest = trimBlanks(normalized.substr(3));
    for (wchar_t c : rest) {
        if (c < 0x20 || wcschr(L"/:*?\"<>|", c)) {
            logMessage(L"isValidInstallPath, '%s' contains a forbidden character.", path.c_str());
            return false;
        }
    }
    size_t begin = 0;
    for (size_t slash = rest.find(L'\\'); slash != std::wstring::npos; slash = rest.find(L'\\', begin)) {
        if (trimBlanks(rest.substr(begin, slash - begin)).empty()) {
            logMessage(L"isValidInstallPath, '%s' has an empty component.", path.c_str());
            return false;
        }
        begin = slash + 1;
    }
    return true;
}

double freeSpaceMB(const std::wstring& path) {
    std::wstring root = path.substr(0, 3);
    ULARGE_INTEGER available = {}, total = {}, free = {};
    if (root.empty() || !GetDiskFreeSpaceExW(root.c_str(), &available, &total, &free))
        return 0.0;
    return static_cast<double>(available.QuadPart) / 1048576.0;
}

} // namespace quor

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

std::wstring installDirectoryForm(const std::wstring& path) {
    std::wstring text = trimBlanks(path);
    std::wstring form;
    form.reserve(text.size() + 16);
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t end = text.find_first_of(L"\\/", begin);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring component = text.substr(begin, end - begin);
        // Windows keeps a blank at the end of an inner folder name, which
        // ordinary tools can then neither open nor remove.
        if (!trimBlanks(component).empty()) {
            while (isBlank(component.back()))
                component.pop_back();
        }
        if (!component.empty()) {
            if (!form.empty() || begin > 0)
                form += L'\\';
            form += component;
        }
        begin = end + 1;
    }
    if (form.empty())
        return form;
    if (form.size() == 2 && form[1] == L':')
        return form + L"\\belvane\\quor\\";
    return form + L'\\';
}

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

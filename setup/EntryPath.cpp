#include "setup/EntryPath.h"

bool isContainedEntryPath(const std::wstring& relative) {
    if (relative.empty())
        return true;
    if (relative[0] == L'\\' || relative.find(L':') != std::wstring::npos)
        return false;
    size_t start = 0;
    while (start <= relative.size()) {
        size_t end = relative.find(L'\\', start);
        if (end == std::wstring::npos)
            end = relative.size();
        std::wstring component = relative.substr(start, end - start);
        if (!component.empty() && component.find_first_not_of(L". ") == std::wstring::npos &&
            component.find(L'.') != std::wstring::npos)
            return false;
        start = end + 1;
    }
    return true;
}

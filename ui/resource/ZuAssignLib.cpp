#include "ui/resource/ZuAssignLib.h"

#include "ui/core/ZuDebugOutput.h"
#include "ui/core/ZuGdiplus.h"

#include <windows.h>

#include <atomic>
#include <cwctype>

namespace {
std::wstring programDirectory() {
    wchar_t path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring full(path, n);
    size_t cut = full.find_last_of(L"/\\");
    return cut == std::wstring::npos ? std::wstring() : full.substr(0, cut);
}

std::wstring withForwardSlashes(std::wstring text) {
    for (wchar_t& c : text)
        if (c == L'\\')
            c = L'/';
    return text;
}

bool startsLikeBuildFolder(const std::wstring& name) {
    size_t n = name.size() < 5 ? name.size() : 5;
    for (const wchar_t* folder : {L"Win32", L"Debug", L"Release"}) {
        std::wstring candidate(folder);
        if (n > candidate.size())
            continue;
        bool same = true;
        for (size_t i = 0; i < n && same; ++i)
            same = std::towlower(name[i]) == std::towlower(candidate[i]);
        if (same)
            return true;
    }
    return false;
}

// A table whose aliases lead back to themselves would loop for ever.
constexpr int kMaxAliasSteps = 64;
} // namespace

ZuAssignLib* ZuAssignLib::instance() {
    static std::atomic<ZuAssignLib*> table{nullptr};
    ZuAssignLib* current = table.load();
    if (!current) {
        auto* made = new ZuAssignLib;
        if (table.compare_exchange_strong(current, made)) {
            current = made;
            // Cleared at application exit, right after GDI+ has ended.
            ZuGdiplus::addShutdownHook([] { ZuAssignLib::instance()->clear(); }, false);
        } else
            delete made;
    }
    return current;
}

std::wstring ZuAssignLib::homeFor(const std::wstring& programDirectory) {
    std::wstring dir = withForwardSlashes(programDirectory);
    while (!dir.empty() && dir.back() == L'/')
        dir.pop_back();
    size_t cut = dir.find_last_of(L'/');
    if (cut != std::wstring::npos) {
        std::wstring name = dir.substr(cut + 1);
        if (!name.empty() && startsLikeBuildFolder(name))
            dir.resize(cut);
    }
    return L"file:///" + dir;
}

void ZuAssignLib::fillOnFirstUse() {
    if (m_initialised)
        return;
    m_initialised = true;
    std::wstring dir = programDirectory();
    std::wstring bin = L"file:///" + withForwardSlashes(dir);
    m_aliases.emplace(L"home", homeFor(dir));
    m_aliases.emplace(L"bin", bin);
    m_aliases.emplace(L"root", bin);
    m_aliases.emplace(L"zugui", L"dll:///theme/gui");
}

void ZuAssignLib::addAlias(const std::wstring& name, const std::wstring& replacement) {
    fillOnFirstUse();
    m_aliases[name] = replacement;
}

bool ZuAssignLib::hasAlias(const std::wstring& name) {
    fillOnFirstUse();
    return m_aliases.count(name) != 0;
}

std::wstring ZuAssignLib::resolve(const std::wstring& id) {
    fillOnFirstUse();
    std::wstring text = id;
    for (int step = 0;; ++step) {
        size_t colon = text.find(L':');
        // Position 1 is a drive letter ("C:"), never an alias.
        if (colon == std::wstring::npos || colon < 2)
            break;
        auto it = m_aliases.find(text.substr(0, colon));
        if (it == m_aliases.end())
            break;
        if (step == kMaxAliasSteps) {
            zuDebugLine(L"ZuAssignLib::resolve, alias cycle left unresolved.");
            break;
        }
        std::wstring next = it->second;
        if (!next.empty()) {
            bool joinsDirectly = next.back() == L':' || (next.size() >= 2 && next.compare(next.size() - 2, 2, L":/") == 0);
            if (!joinsDirectly)
                next += L'/';
            next += text.substr(colon + 1);
        }
        text = std::move(next);
    }
    text = withForwardSlashes(std::move(text));
    while (!text.empty() && text.back() == L'/')
        text.pop_back();
    return text;
}

void ZuAssignLib::clear() {
    m_aliases.clear();
    m_initialised = false;
}

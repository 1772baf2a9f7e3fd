#include "ui/core/ZuGdiplus.h"

#include "ui/core/ZuDebugOutput.h"

#include <string>
#include <vector>

namespace {
bool g_started = false;
std::vector<ZuGdiplus::Hook>& hooks(bool before) {
    static std::vector<ZuGdiplus::Hook> beforeHooks, afterHooks;
    return before ? beforeHooks : afterHooks;
}

HMODULE loadFromSystemFolder() {
    HMODULE module = LoadLibraryExW(L"gdiplus.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module && GetLastError() == ERROR_INVALID_PARAMETER) {
        // Systems without the search flags: name the system folder in full.
        wchar_t dir[MAX_PATH] = {};
        UINT n = GetSystemDirectoryW(dir, MAX_PATH);
        if (n > 0 && n < MAX_PATH)
            module = LoadLibraryW((std::wstring(dir, n) + L"\\gdiplus.dll").c_str());
    }
    return module;
}

template <typename F> bool resolve(HMODULE module, F& slot, const char* name) {
    slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (!slot) {
        std::wstring line = L"ZuGdiplus::api, missing function ";
        for (const char* c = name; *c; ++c)
            line += static_cast<wchar_t>(*c);
        zuDebugLine(line.c_str());
    }
    return slot != nullptr;
}

const ZuGdiplusApi* loadApi() {
    static ZuGdiplusApi table;
    HMODULE module = loadFromSystemFolder();
    if (!module) {
        zuDebugLine(L"ZuGdiplus::api, gdiplus.dll cannot be loaded.");
        return nullptr;
    }
    bool all = resolve(module, table.GdiplusStartup, "GdiplusStartup");
    all &= resolve(module, table.GdiplusShutdown, "GdiplusShutdown");
#define ZU_GDIPLUS_RESOLVE(name) all &= resolve(module, table.name, #name);
    ZU_GDIPLUS_FUNCTIONS(ZU_GDIPLUS_RESOLVE)
#undef ZU_GDIPLUS_RESOLVE
    // The module stays loaded for the life of the process.
    return all ? &table : nullptr;
}
} // namespace

const ZuGdiplusApi* ZuGdiplus::api() {
    static const ZuGdiplusApi* table = loadApi();
    return table;
}

ULONG_PTR ZuGdiplus::startup() {
    const ZuGdiplusApi* gdip = api();
    if (!gdip)
        return 0;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    if (gdip->GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok || !token) {
        zuDebugLine(L"ZuGdiplus::startup, GdiplusStartup failed.");
        return 0;
    }
    g_started = true;
    return token;
}

void ZuGdiplus::shutdown(ULONG_PTR token) {
    const ZuGdiplusApi* gdip = api();
    if (!token || !gdip)
        return;
    for (Hook hook : hooks(true))
        hook();
    gdip->GdiplusShutdown(token);
    g_started = false;
    for (Hook hook : hooks(false))
        hook();
}

bool ZuGdiplus::isStarted() {
    return g_started;
}

void ZuGdiplus::addShutdownHook(Hook hook, bool beforeShutdown) {
    auto& list = hooks(beforeShutdown);
    for (Hook h : list)
        if (h == hook)
            return;
    list.push_back(hook);
}

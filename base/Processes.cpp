#include "base/Processes.h"

#include "base/LogFile.h"

namespace quor {

namespace {

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM argument) {
    auto* search = reinterpret_cast<WindowSearch*>(argument);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId)
        return TRUE;
    wchar_t name[261] = {};
    GetClassNameW(window, name, 260);
    if (lstrcmpiW(name, search->className) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

constexpr size_t kCommandLineCapacity = 1023; // terminator included

} // namespace

HWND findProcessWindow(DWORD processId, const wchar_t* className) {
    if (!className)
        return nullptr;
    WindowSearch search = {processId, className, nullptr};
    EnumWindows(&matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int nativeSystemBits() {
    SYSTEM_INFO info = {};
    using NativeInfo = void(WINAPI*)(LPSYSTEM_INFO);
    HMODULE kernel = GetModuleHandleW(L"kernel32");
    auto native = kernel ? reinterpret_cast<NativeInfo>(
                               reinterpret_cast<void*>(GetProcAddress(kernel, "GetNativeSystemInfo")))
                         : nullptr;
    if (native)
        native(&info);
    else
        GetSystemInfo(&info);
    WORD architecture = info.wProcessorArchitecture;
    return architecture == PROCESSOR_ARCHITECTURE_AMD64 || architecture == PROCESSOR_ARCHITECTURE_IA64 ? 64
                                                                                                       : 32;
}

bool runProcess(const std::wstring& program, const wchar_t* parameters, const wchar_t* workingDirectory,
                bool wait) {
    std::wstring commandLine;
    if (parameters && *parameters)
        commandLine = L"\"" + program + L"\" \"" + parameters + L"\"";
    else
        commandLine = program;
    if (commandLine.size() + 1 > kCommandLineCapacity) {
        // Cutting it would start the program with different arguments.
        logMessage(L"runProcess, command line of %s is too long.", program.c_str());
        return false;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    const wchar_t* directory = workingDirectory && *workingDirectory ? workingDirectory : nullptr;
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, directory, &startup,
                        &info)) {
        logMessage(L"runProcess, cannot start %s, error %d.", commandLine.c_str(),
                   static_cast<int>(GetLastError()));
        return false;
    }
    if (wait)
        WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

} // namespace quor

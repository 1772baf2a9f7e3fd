// Runs a command line and prints its wall time and peak memory, sampled while
// it runs: "<milliseconds> <peak working set bytes> <peak private bytes> <exit code>".
//   MeasureProcess.exe COMMAND LINE...
#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        fwprintf(stderr, L"usage: MeasureProcess PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    std::wstring commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            commandLine += L' ';
        std::wstring arg = argv[i];
        commandLine += i == 1 || arg.find(L' ') != std::wstring::npos ? L"\"" + arg + L"\"" : arg;
    }
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    LARGE_INTEGER frequency, begin, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        fwprintf(stderr, L"cannot start %s\n", argv[1]);
        return 1;
    }
    SIZE_T peakWorkingSet = 0;
    SIZE_T peakPrivate = 0;
    for (;;) {
        PROCESS_MEMORY_COUNTERS counters = {};
        counters.cb = sizeof counters;
        if (GetProcessMemoryInfo(pi.hProcess, &counters, sizeof counters)) {
            peakWorkingSet =
                counters.PeakWorkingSetSize > peakWorkingSet ? counters.PeakWorkingSetSize : peakWorkingSet;
            peakPrivate = counters.PeakPagefileUsage > peakPrivate ? counters.PeakPagefileUsage : peakPrivate;
        }
        if (WaitForSingleObject(pi.hProcess, 2) == WAIT_OBJECT_0)
            break;
    }
    QueryPerformanceCounter(&end);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    double ms =
        1000.0 * static_cast<double>(end.QuadPart - begin.QuadPart) / static_cast<double>(frequency.QuadPart);
    wprintf(L"%.0f %llu %llu %ld\n", ms, static_cast<unsigned long long>(peakWorkingSet),
            static_cast<unsigned long long>(peakPrivate), static_cast<long>(code));
    return 0;
}

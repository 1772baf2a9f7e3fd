#include "ui/core/ZuClock.h"

#include <windows.h>

int64_t ZuTickWrap::extend(uint32_t tick) {
    if (tick < m_last)
        ++m_wraps;
    m_last = tick;
    return (static_cast<int64_t>(m_wraps) << 32) | tick;
}

int64_t monotonicMilliseconds() {
    using TickCount64 = ULONGLONG(WINAPI*)();
    static TickCount64 tick64 = [] {
        HMODULE kernel = GetModuleHandleW(L"kernel32");
        return kernel ? reinterpret_cast<TickCount64>(
                            reinterpret_cast<void*>(GetProcAddress(kernel, "GetTickCount64")))
                      : nullptr;
    }();
    if (tick64)
        return static_cast<int64_t>(tick64());
    static ZuTickWrap wrap;
    return wrap.extend(GetTickCount());
}

void ZuElapsedTimer::start() {
    m_start = now();
    m_second = 0;
}

int64_t ZuElapsedTimer::elapsed() const {
    return isValid() ? now() - m_start : 0;
}

void ZuElapsedTimer::invalidate() {
    m_start = m_second = kInvalid;
}

bool ZuElapsedTimer::isValid() const {
    return m_start != kInvalid && m_second != kInvalid;
}

#pragma once

#include "tests/support/Registry.h"

#include <windows.h>

#include <string>

// Puts a recorder program in the browser's place for one test and restores the
// prefix afterwards: the "http"/"https" open commands (another browser) and the
// system folder's "iexplore.exe" (the built-in one; the test's environment must
// hold WINEDLLOVERRIDES=iexplore.exe=n so that Wine runs the file there).
class BrowserStandIn {
public:
    explicit BrowserStandIn(std::wstring scratchDir) : m_scratch(std::move(scratchDir)) {
        for (int i = 0; i < 2; ++i)
            m_saved[i] = readRegistryValue(HKEY_LOCAL_MACHINE, commandKey(kSchemes[i]), nullptr);
        wchar_t system[MAX_PATH] = {};
        GetSystemDirectoryW(system, MAX_PATH);
        m_iexplore = std::wstring(system) + L"\\iexplore.exe";
    }
    ~BrowserStandIn() {
        for (int i = 0; i < 2; ++i) {
            if (m_saved[i].found)
                setRegistryString(HKEY_LOCAL_MACHINE, commandKey(kSchemes[i]), nullptr, m_saved[i].text());
        }
        if (m_replacedIexplore)
            CopyFileW((m_scratch + L"iexplore.original").c_str(), m_iexplore.c_str(), FALSE);
    }
    BrowserStandIn(const BrowserStandIn&) = delete;
    BrowserStandIn& operator=(const BrowserStandIn&) = delete;

    // Another browser is the default: `recorder` gets the address as "%1".
    bool useOtherBrowser(const std::wstring& recorder) {
        std::wstring browser = m_scratch + L"browser.exe";
        if (!CopyFileW(recorder.c_str(), browser.c_str(), FALSE))
            return false;
        setCommand(L"\"" + browser + L"\" \"%1\"");
        return true;
    }
    // The built-in browser is the default and `recorder` is its program.
    bool useBuiltInBrowser(const std::wstring& recorder) {
        if (!m_replacedIexplore) {
            if (!CopyFileW(m_iexplore.c_str(), (m_scratch + L"iexplore.original").c_str(), FALSE))
                return false;
            m_replacedIexplore = true;
        }
        if (!CopyFileW(recorder.c_str(), m_iexplore.c_str(), FALSE))
            return false;
        setCommand(L"\"C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE\" %1");
        return true;
    }

private:
    static std::wstring commandKey(const wchar_t* scheme) {
        return std::wstring(L"Software\\Classes\\") + scheme + L"\\shell\\open\\command";
    }
    void setCommand(const std::wstring& command) {
        for (const wchar_t* scheme : kSchemes)
            setRegistryString(HKEY_LOCAL_MACHINE, commandKey(scheme), nullptr, command);
    }
    static constexpr const wchar_t* kSchemes[2] = {L"http", L"https"};
    std::wstring m_scratch;
    RegistryValue m_saved[2];
    std::wstring m_iexplore;
    bool m_replacedIexplore = false;
};

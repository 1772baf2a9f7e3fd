// Prints what an installation left behind, for scripts/demo: the files under the
// install directory, the product's registry values, the shortcuts with their
// targets (read through the shell link object) and the product journal.
//   install_report.exe [--setup QUORSETUP_EXE] INSTALL_DIR
// With --setup it first runs "QUORSETUP_EXE -silence INSTALL_DIR", prints its
// exit code and gives the tools it started a moment to write their lines.
#include "base/KnownFolders.h"
#include "base/ProductRegistry.h"

#include "tests/support/Files.h"
#include "tests/support/Registry.h"
#include "tests/support/ShellLink.h"

#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void print(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string bytes(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size,
                            nullptr, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), stdout);
    fputc('\n', stdout);
}

void listFiles(const std::wstring& directory, const std::wstring& prefix) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((directory + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            listFiles(directory + name + L"\\", prefix + name + L"\\");
        } else {
            unsigned long long size =
                (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            print(L"  " + prefix + name + L"  (" + std::to_wstring(size) + L" bytes)");
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

void printValues(const std::wstring& key, std::initializer_list<const wchar_t*> names) {
    for (const wchar_t* name : names) {
        RegistryValue v = readRegistryValue(HKEY_CURRENT_USER, key, name);
        if (v.found)
            print(L"  HKCU\\" + key + L"  " + name + L" = \"" + v.text() + L"\"  (REG_SZ, " +
                  std::to_wstring(v.bytes.size()) + L" bytes)");
        else
            print(L"  HKCU\\" + key + L"  " + name + L" : (not set)");
    }
}

void printLinks(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*.lnk").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        ShellLinkInfo info = readShellLink(folder + L"\\" + data.cFileName);
        print(L"  " + folder + L"\\" + data.cFileName);
        print(L"      target: " + info.target + L"   working directory: " + info.workingDir +
              (info.icon.empty() ? L"" : L"   icon: " + info.icon));
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

std::wstring folder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

int runSilentSetup(const std::wstring& setup, const std::wstring& dir) {
    std::wstring commandLine = L"\"" + setup + L"\" -silence \"" + dir + L"\"";
    print(L"Running: " + commandLine);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(setup.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        print(L"cannot start the installer");
        return 1;
    }
    WaitForSingleObject(pi.hProcess, 180000);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    print(L"QuorSetup.exe exit code: " + std::to_wstring(static_cast<int>(code)));
    // The tools run on their own; wait until the journal has been quiet for a while.
    std::wstring journal = quor::roamingAppDataFolder() + L"\\belvane\\quor\\product-journal.txt";
    size_t last = 0;
    for (int quiet = 0, i = 0; quiet < 10 && i < 100; ++i) {
        Sleep(200);
        size_t now = readFileBytes(journal).size();
        quiet = now == last && now > 0 ? quiet + 1 : 0;
        last = now;
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    int first = 1;
    std::wstring setup;
    if (argc > 2 && std::wstring(argv[1]) == L"--setup") {
        setup = argv[2];
        first = 3;
    }
    if (argc <= first) {
        print(L"usage: install_report [--setup QUORSETUP_EXE] INSTALL_DIR");
        return 2;
    }
    std::wstring dir = argv[first];
    if (!setup.empty() && runSilentSetup(setup, dir) != 0)
        return 1;
    if (dir.back() != L'\\')
        dir += L'\\';
    namespace product = quor::product;

    print(L"Files under " + dir + L":");
    listFiles(dir, L"");

    print(L"Registry values:");
    printValues(product::kProductKey, {product::kInstallDirValue, product::kRootPathValue});
    printValues(product::kRunKey, {product::kAssistantRunValue, product::kProductRunValue});
    printValues(std::wstring(product::kUninstallRoot) + L"\\" + product::kUninstallEntry,
                {L"UninstallString", L"DisplayName", L"Publisher", L"URLInfoAbout", L"DisplayVersion"});

    print(L"Shortcuts:");
    printLinks(folder(CSIDL_DESKTOPDIRECTORY));
    printLinks(folder(CSIDL_PROGRAMS) + L"\\Belvane");
    printLinks(folder(CSIDL_STARTMENU));

    print(L"Tools run (product journal, in the order written):");
    std::string journal =
        readFileBytes(quor::roamingAppDataFolder() + L"\\belvane\\quor\\product-journal.txt");
    if (journal.empty())
        print(L"  (none)");
    size_t at = 0;
    while (at < journal.size()) {
        size_t end = journal.find('\n', at);
        std::string line = journal.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? journal.size() : end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        fputs("  ", stdout);
        fputs(line.c_str(), stdout);
        fputc('\n', stdout);
    }
    return 0;
}

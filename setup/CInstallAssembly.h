#pragma once

#include <fusion.h>
#include <windows.h>

#include <string>
#include <vector>

// Installs the product's side-by-side runtime assembly and its publisher policy
// into the system's assembly cache; systems without a side-by-side store get
// the runtime libraries in their system directory instead.
class CInstallAssembly {
public:
    using CacheFactory = HRESULT(WINAPI*)(IAssemblyCache** cache, DWORD reserved);
    using InstallFunc = bool (*)(CInstallAssembly& self, const std::wstring& manifest,
                                 const std::wstring& policy, const std::wstring& appFile);

    // The system's store: sxs.dll's cache, the Windows and system directories.
    CInstallAssembly();
    // The same with another cache and other directories (each ending with "\" or empty for the system's).
    CInstallAssembly(CacheFactory factory, std::wstring windowsDir, std::wstring systemDir, bool useCache);

    // 0 installed, 1 installation failed, -1 the runtime directory or the application file is missing.
    int installAsm(const std::wstring& runtimeDir, const std::wstring& appFile);
    // Installs the first manifest and the first policy of the runtime directory.
    bool Install();

    static bool installByAssemblyCache(CInstallAssembly& self, const std::wstring& manifest,
                                       const std::wstring& policy, const std::wstring& appFile);
    static bool installToSystemDirectory(CInstallAssembly& self, const std::wstring& manifest,
                                         const std::wstring& policy, const std::wstring& appFile);

    // The directory of an installed assembly in the store: Windows directory + "WinSxs\" + key.
    std::wstring storeDirectory(const std::wstring& key) const;

private:
    InstallFunc m_install = nullptr;
    std::wstring m_appFile;
    std::wstring m_runtimeDir;
    CacheFactory m_factory = nullptr;
    std::wstring m_windowsDir;
    std::wstring m_systemDir;
};

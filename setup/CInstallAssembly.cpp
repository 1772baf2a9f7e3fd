#include "setup/CInstallAssembly.h"

#include "base/LogFile.h"
#include "base/SystemLibrary.h"
#include "setup/ComScope.h"
#include "setup/SxsAssemblyKey.h"

#include <memory>

namespace {

// FUSION_REFCOUNT_FILEPATH_GUID: the reference is the path of a file that uses the assembly.
const GUID kFilePathReference = {
    0xb02f9d65, 0xfb77, 0x4f7a, {0xaf, 0xa5, 0xb3, 0x91, 0x30, 0x9f, 0x11, 0xc9}};
const HRESULT kAlreadyExists = static_cast<HRESULT>(0x800700B7);

std::wstring withBackslash(std::wstring path) {
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path;
}

bool endsWithIgnoringCase(const std::wstring& text, const wchar_t* suffix) {
    size_t n = wcslen(suffix);
    return text.size() >= n && CompareStringOrdinal(text.c_str() + text.size() - n, static_cast<int>(n),
                                                    suffix, static_cast<int>(n), TRUE) == CSTR_EQUAL;
}

std::wstring fullPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2] = {};
    DWORD n = GetFullPathNameW(path.c_str(), MAX_PATH * 2, buffer, nullptr);
    return n > 0 && n < MAX_PATH * 2 ? std::wstring(buffer) : path;
}

// A store key names one directory: no separators, no drive, no parent step.
bool isPlainDirectoryName(const std::wstring& key) {
    return !key.empty() && key != L"." && key != L".." &&
           key.find_first_of(L"\\/:*?\"<>|") == std::wstring::npos;
}

// Only S_OK and S_FALSE count: some caches return bare Win32 error codes, which
// are positive and would pass SUCCEEDED.
bool installed(HRESULT hr) {
    return hr == S_OK || hr == S_FALSE;
}

void* asPointer(HRESULT hr) {
    return reinterpret_cast<void*>(static_cast<INT_PTR>(static_cast<ULONG>(hr)));
}

bool isFile(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

CInstallAssembly::CInstallAssembly() : CInstallAssembly(nullptr, L"", L"", true) {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExW(&version);
#pragma GCC diagnostic pop
    // Windows 2000 and older have no side-by-side store.
    bool hasStore =
        version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion != 0);
    m_install =
        hasStore ? &CInstallAssembly::installByAssemblyCache : &CInstallAssembly::installToSystemDirectory;
    quor::logMessage(L"OS main version is %d, sub version is %d, install func is %p",
                     static_cast<int>(version.dwMajorVersion), static_cast<int>(version.dwMinorVersion),
                     reinterpret_cast<void*>(m_install));
}

CInstallAssembly::CInstallAssembly(CacheFactory factory, std::wstring windowsDir, std::wstring systemDir,
                                   bool useCache)
    : m_install(useCache ? &CInstallAssembly::installByAssemblyCache
                         : &CInstallAssembly::installToSystemDirectory),
      m_factory(factory), m_windowsDir(std::move(windowsDir)), m_systemDir(std::move(systemDir)) {
    if (m_windowsDir.empty()) {
        wchar_t dir[MAX_PATH] = {};
        GetWindowsDirectoryW(dir, MAX_PATH);
        m_windowsDir = dir;
    }
    if (m_systemDir.empty()) {
        wchar_t dir[MAX_PATH] = {};
        GetSystemDirectoryW(dir, MAX_PATH);
        m_systemDir = dir;
    }
    m_windowsDir = withBackslash(m_windowsDir);
    m_systemDir = withBackslash(m_systemDir);
}

std::wstring CInstallAssembly::storeDirectory(const std::wstring& key) const {
    return m_windowsDir + L"WinSxs\\" + key;
}

int CInstallAssembly::installAsm(const std::wstring& runtimeDir, const std::wstring& appFile) {
    DWORD dirAttributes = GetFileAttributesW(runtimeDir.c_str());
    DWORD fileAttributes = GetFileAttributesW(appFile.c_str());
    quor::logMessage(L"crt dir:%s; exe_file:%s", runtimeDir.c_str(), appFile.c_str());
    quor::logMessage(L"crt attri is %d, exe attri is %d", static_cast<int>(dirAttributes),
                     static_cast<int>(fileAttributes));
    if (runtimeDir.empty() || appFile.empty() || dirAttributes == INVALID_FILE_ATTRIBUTES ||
        !(dirAttributes & FILE_ATTRIBUTE_DIRECTORY) || fileAttributes == INVALID_FILE_ATTRIBUTES ||
        (fileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        quor::logMessage(L"[installAsm] check fail");
        return -1;
    }
    m_runtimeDir = withBackslash(fullPath(runtimeDir));
    m_appFile = fullPath(appFile);
    quor::logMessage(L"[installAsm] parOK");
    ComApartment com;
    return Install() ? 0 : 1;
}

bool CInstallAssembly::Install() {
    std::vector<std::wstring> manifests, policies;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((m_runtimeDir + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            if (endsWithIgnoringCase(data.cFileName, L".manifest"))
                manifests.push_back(data.cFileName);
            else if (endsWithIgnoringCase(data.cFileName, L".policy"))
                policies.push_back(data.cFileName);
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    int count = !manifests.empty() && !policies.empty() ? 1 : 0;
    quor::logMessage(L"CInstallAssembly::Install, count=%d", count);
    bool all = true;
    bool last = false;
    if (count) {
        std::wstring manifest = m_runtimeDir + manifests.front();
        std::wstring policy = m_runtimeDir + policies.front();
        quor::logMessage(L"CInstallAssembly::Install, begin inst: %s %s %s", manifest.c_str(), policy.c_str(),
                         m_appFile.c_str());
        last = m_install(*this, manifest, policy, m_appFile);
        all = all && last;
        quor::logMessage(L"CInstallAssembly::Install, bx=%d, bo=%d", all ? 1 : 0, last ? 1 : 0);
    }
    quor::logMessage(L"CInstallAssembly::Install, end: bx=%d, bo=%d", all ? 1 : 0, last ? 1 : 0);
    return count > 0 && all && last;
}

bool CInstallAssembly::installByAssemblyCache(CInstallAssembly& self, const std::wstring& manifest,
                                              const std::wstring& policy, const std::wstring& appFile) {
    CacheFactory create = self.m_factory;
    // Loaded only when no factory was given; freed when the cache is released.
    std::unique_ptr<quor::SystemLibrary> sxs;
    if (!create) {
        sxs.reset(new quor::SystemLibrary(L"sxs.dll"));
        if (!*sxs) {
            quor::logMessage(L"LoadLibrary fail (sxs.dll)");
            return false;
        }
        create = sxs->function<CacheFactory>("CreateAssemblyCache");
        if (!create) {
            quor::logMessage(L"GetProcess [CreateAssemblyCache] fail (sxs.dll), the return-value is NULL");
            return false;
        }
    }
    bool ok = false;
    {
        ComRef<IAssemblyCache> cache;
        if (SUCCEEDED(create(cache.put(), 0)) && cache) {
            FUSION_INSTALL_REFERENCE reference = {};
            reference.cbSize = sizeof reference;
            reference.dwFlags = 0;
            reference.guidScheme = kFilePathReference;
            reference.szIdentifier = appFile.c_str();
            reference.szNonCannonicalData = nullptr;

            quor::logMessage(L"pChe->InstallAssembly(0, manifest, &refot)");
            HRESULT hr1 = cache->InstallAssembly(0, manifest.c_str(), &reference);
            if (hr1 == kAlreadyExists) {
                quor::logMessage(L"try inst manifest %s again.", manifest.c_str());
                std::vector<AssemblyAttribute> identity;
                std::wstring key;
                if (readAssemblyIdentity(manifest, identity))
                    key = sxsAssemblyKey(identity);
                if (isPlainDirectoryName(key)) {
                    std::wstring store = self.storeDirectory(key);
                    quor::logMessage(L"try remove %s", store.c_str());
                    // Succeeds only for an empty directory: a real installation stays.
                    if (RemoveDirectoryW(store.c_str())) {
                        quor::logMessage(L"reinstalling the mainifest...");
                        hr1 = cache->InstallAssembly(0, manifest.c_str(), &reference);
                    }
                } else {
                    quor::logMessage(L"CInstallAssembly, no usable assembly identity in %s",
                                     manifest.c_str());
                }
            }
            quor::logMessage(L"pChe->InstallAssembly(0, policy, &refot)");
            HRESULT hr2 = E_FAIL;
            if (!installed(hr1))
                quor::logMessage(L"InstallAssembly fail, the last error is %d",
                                 static_cast<int>(GetLastError()));
            else
                hr2 = cache->InstallAssembly(0, policy.c_str(), &reference);
            quor::logMessage(L"hr1(manifest)=%p hr2(policy)=%p (%s,%s,%s)", asPointer(hr1), asPointer(hr2),
                             manifest.c_str(), policy.c_str(), appFile.c_str());
            ok = installed(hr1) && (installed(hr2) || hr2 == kAlreadyExists);
        } else {
            quor::logMessage(L"CreateAssemblyCache fail (sxs.dll)");
        }
    }
    return ok;
}

bool CInstallAssembly::installToSystemDirectory(CInstallAssembly& self, const std::wstring& manifest,
                                                const std::wstring&, const std::wstring&) {
    size_t slash = manifest.find_last_of(L"/\\");
    std::wstring folder = slash == std::wstring::npos ? std::wstring() : manifest.substr(0, slash + 1);
    bool ok = true;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*.dll").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return true;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        std::wstring target = self.m_systemDir + data.cFileName;
        // A library already in the system directory belongs to the system: it is kept.
        if (!isFile(target))
            CopyFileW((folder + data.cFileName).c_str(), target.c_str(), TRUE);
        ok = ok && isFile(target);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return ok;
}

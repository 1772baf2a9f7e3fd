#include "setup/CInstallAssembly.h"
#include "setup/SxsAssemblyKey.h"

#include "base/KnownFolders.h"

#include "tests/support/Files.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const char* kRuntimeManifest =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<!-- the payload's runtime -->\r\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
    "  <noInheritable></noInheritable>\r\n"
    "  <assemblyIdentity type=\"win32\" name=\"Microsoft.VC90.CRT\" version=\"9.0.30729.6161\" "
    "processorArchitecture=\"x86\" publicKeyToken=\"1fc8b3b9a1e18e3b\"></assemblyIdentity>\r\n"
    "  <file name=\"msvcr90.dll\" hashalg=\"SHA1\"/>\r\n"
    "</assembly>\r\n";

const wchar_t* kRuntimeKey = L"x86_Microsoft.VC90.CRT_1fc8b3b9a1e18e3b_9.0.30729.6161_x-ww_31a54e43";

std::vector<AssemblyAttribute> runtimeIdentity() {
    return {{L"type", L"win32"},
            {L"name", L"Microsoft.VC90.CRT"},
            {L"version", L"9.0.30729.6161"},
            {L"processorArchitecture", L"x86"},
            {L"publicKeyToken", L"1fc8b3b9a1e18e3b"}};
}

} // namespace

TEST(SxsAssemblyKey, RuntimeManifestFileGivesItsKnownKey) {
    TempDir dir;
    std::wstring path = dir.path() + L"runtime.manifest";
    ASSERT_TRUE(writeFileBytes(path, kRuntimeManifest));
    std::vector<AssemblyAttribute> identity;
    ASSERT_TRUE(readAssemblyIdentity(path, identity));
    EXPECT_EQ(identity.size(), 5u);
    EXPECT_EQ(sxsAssemblyKey(identity), kRuntimeKey);
}

TEST(SxsAssemblyKey, MissingAndWildcardAttributes) {
    std::vector<AssemblyAttribute> identity = runtimeIdentity();
    identity.push_back({L"language", L"*"});
    EXPECT_EQ(sxsAssemblyKey(identity), kRuntimeKey) << "\"*\" counts as missing";

    std::vector<AssemblyAttribute> english = runtimeIdentity();
    english.push_back({L"language", L"en-us"});
    std::wstring key = sxsAssemblyKey(english);
    EXPECT_EQ(key.substr(0, key.size() - 8),
              L"x86_Microsoft.VC90.CRT_1fc8b3b9a1e18e3b_9.0.30729.6161_en-us_");
    EXPECT_NE(key.substr(key.size() - 8), L"31a54e43");

    EXPECT_EQ(sxsAssemblyKey({{L"name", L"Only"}}).substr(0, 25), L"none_Only_none_none_x-ww_");
    EXPECT_EQ(sxsAssemblyKey({}), L"none_none_none_none_x-ww_00000000");
}

TEST(SxsAssemblyKey, StringHashIgnoresAsciiCaseOnly) {
    EXPECT_EQ(sxsStringHash(L""), 0u);
    EXPECT_EQ(sxsStringHash(L"A"), 65u);
    EXPECT_EQ(sxsStringHash(L"ab"), 65u * 65599u + 66u);
    EXPECT_EQ(sxsStringHash(L"Microsoft.VC90.CRT"), sxsStringHash(L"MICROSOFT.vc90.crt"));
    EXPECT_NE(sxsStringHash(L"\u00e4"), sxsStringHash(L"\u00c4"));
}

TEST(SxsAssemblyKey, OnlyTheIdentityDirectlyUnderTheRootCounts) {
    std::vector<AssemblyAttribute> identity;
    ASSERT_TRUE(parseAssemblyIdentity(L"<assembly><dependency><dependentAssembly>"
                                      L"<assemblyIdentity name='other'/></dependentAssembly></dependency>"
                                      L"<asmv1:assemblyIdentity name='mine' version=\"1&amp;2\"/></assembly>",
                                      identity));
    ASSERT_EQ(identity.size(), 2u);
    EXPECT_EQ(identity[0].value, L"mine");
    EXPECT_EQ(identity[1].value, L"1&2");
    EXPECT_FALSE(parseAssemblyIdentity(L"<assembly><dependency><assemblyIdentity name='deep'/></dependency>"
                                       L"</assembly>",
                                       identity));
    EXPECT_FALSE(parseAssemblyIdentity(L"<assemblyIdentity name='root'/>", identity));
}

// Every prefix of the manifest and every single-character mutation parses or
// fails cleanly (run under a checked allocator this would also catch overreads).
TEST(SxsAssemblyKey, TruncatedAndMutatedManifestsNeverCrash) {
    std::string bytes = kRuntimeManifest;
    std::wstring text(bytes.begin() + 3, bytes.end());
    std::vector<AssemblyAttribute> identity;
    for (size_t n = 0; n <= text.size(); ++n)
        parseAssemblyIdentity(text.substr(0, n), identity);
    const wchar_t noise[] = {L'<', L'>', L'"', L'\'', L'/', L'=', L'!', L'?', L'-', L'\0'};
    for (size_t i = 0; i < text.size(); ++i) {
        for (wchar_t c : noise) {
            std::wstring mutated = text;
            mutated[i] = c;
            parseAssemblyIdentity(mutated, identity);
        }
    }
    EXPECT_TRUE(parseAssemblyIdentity(text, identity));
}

namespace {

// An assembly cache that answers from a script and records what it was asked.
class ScriptedCache : public IAssemblyCache {
public:
    std::vector<HRESULT> answers;
    std::vector<std::wstring> installed;
    std::vector<FUSION_INSTALL_REFERENCE> references;
    std::vector<std::wstring> identifiers;
    ULONG refs = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE UninstallAssembly(DWORD, LPCWSTR, LPCFUSION_INSTALL_REFERENCE,
                                                ULONG*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE QueryAssemblyInfo(DWORD, LPCWSTR, ASSEMBLY_INFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateAssemblyCacheItem(DWORD, PVOID, IAssemblyCacheItem**, LPCWSTR) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateAssemblyScavenger(IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InstallAssembly(DWORD flags, LPCWSTR path,
                                              LPCFUSION_INSTALL_REFERENCE ref) override {
        EXPECT_EQ(flags, 0u);
        installed.push_back(path);
        references.push_back(*ref);
        identifiers.push_back(ref->szIdentifier);
        if (answers.empty())
            return E_UNEXPECTED;
        HRESULT hr = answers.front();
        answers.erase(answers.begin());
        return hr;
    }
};

ScriptedCache* g_cache = nullptr;

HRESULT WINAPI createScriptedCache(IAssemblyCache** out, DWORD) {
    g_cache->AddRef();
    *out = g_cache;
    return S_OK;
}

const HRESULT kExists = static_cast<HRESULT>(0x800700B7);

class InstallAssembly : public testing::Test {
protected:
    void SetUp() override {
        runtimeDir = root.path() + L"Microsoft.VC90.CRT\\";
        windowsDir = root.path() + L"windows\\";
        appFile = root.path() + L"Quor.exe";
        ASSERT_TRUE(quor::createDirectoryTree(runtimeDir));
        ASSERT_TRUE(quor::createDirectoryTree(windowsDir + L"WinSxs"));
        ASSERT_TRUE(writeFileBytes(appFile, "MZ"));
        ASSERT_TRUE(writeFileBytes(runtimeDir + std::wstring(kRuntimeKey) + L".manifest", kRuntimeManifest));
        ASSERT_TRUE(writeFileBytes(runtimeDir + L"runtime.policy", "<assembly/>"));
        ASSERT_TRUE(writeFileBytes(runtimeDir + L"msvcr90.dll", "MZ"));
        g_cache = &cache;
    }
    void TearDown() override {
        EXPECT_EQ(cache.refs, 1u) << "the cache is released";
        g_cache = nullptr;
    }
    int run() {
        CInstallAssembly installer(&createScriptedCache, windowsDir, L"", true);
        return installer.installAsm(root.path() + L"Microsoft.VC90.CRT", appFile);
    }
    std::wstring store() const { return windowsDir + L"WinSxs\\" + kRuntimeKey; }

    TempDir root;
    ScriptedCache cache;
    std::wstring runtimeDir, windowsDir, appFile;
};

} // namespace

TEST_F(InstallAssembly, ManifestThenPolicyWithTheFileReference) {
    cache.answers = {S_OK, S_OK};
    EXPECT_EQ(run(), 0);
    ASSERT_EQ(cache.installed.size(), 2u);
    EXPECT_EQ(cache.installed[0], runtimeDir + kRuntimeKey + L".manifest");
    EXPECT_EQ(cache.installed[1], runtimeDir + L"runtime.policy");
    const GUID filePath = {0xb02f9d65, 0xfb77, 0x4f7a, {0xaf, 0xa5, 0xb3, 0x91, 0x30, 0x9f, 0x11, 0xc9}};
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(cache.references[i].cbSize, sizeof(FUSION_INSTALL_REFERENCE));
        EXPECT_EQ(cache.references[i].dwFlags, 0u);
        EXPECT_TRUE(IsEqualGUID(cache.references[i].guidScheme, filePath));
        EXPECT_EQ(cache.identifiers[i], appFile);
        EXPECT_EQ(cache.references[i].szNonCannonicalData, nullptr);
    }
}

struct CacheCase {
    const char* what;
    std::vector<HRESULT> answers;
    int storeState; // 0 no store directory, 1 empty, 2 holds a file
    int result;
    size_t calls;
    bool storeRemains;
};

class InstallAssemblyCases : public InstallAssembly, public testing::WithParamInterface<CacheCase> {};

TEST_P(InstallAssemblyCases, AlreadyInstalledRules) {
    const CacheCase& c = GetParam();
    if (c.storeState >= 1) {
        ASSERT_TRUE(quor::createDirectoryTree(store()));
    }
    if (c.storeState == 2) {
        ASSERT_TRUE(writeFileBytes(store() + L"\\msvcr90.dll", "MZ"));
    }
    cache.answers = c.answers;
    EXPECT_EQ(run(), c.result) << c.what;
    EXPECT_EQ(cache.installed.size(), c.calls) << c.what;
    if (c.storeState >= 1) {
        EXPECT_EQ(directoryExists(store()), c.storeRemains) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstallAssemblyCases,
    testing::Values(
        CacheCase{"policy already installed", {S_OK, kExists}, 0, 0, 2, false},
        CacheCase{"policy fails", {S_OK, E_FAIL}, 0, 1, 2, false},
        CacheCase{"manifest fails", {E_ACCESSDENIED}, 0, 1, 1, false},
        CacheCase{"manifest answers a bare error code", {static_cast<HRESULT>(14004)}, 0, 1, 1, false},
        CacheCase{"manifest exists, no store directory", {kExists}, 0, 1, 1, false},
        CacheCase{"manifest exists, empty store directory", {kExists, S_OK, S_OK}, 1, 0, 3, false},
        CacheCase{"manifest exists, second attempt fails", {kExists, kExists}, 1, 1, 2, false},
        CacheCase{"manifest exists, store directory in use", {kExists}, 2, 1, 1, true}));

TEST_F(InstallAssembly, ManifestWithoutPolicyIsNoItem) {
    DeleteFileW((runtimeDir + L"runtime.policy").c_str());
    EXPECT_EQ(run(), 1);
    EXPECT_TRUE(cache.installed.empty());
}

TEST_F(InstallAssembly, MissingRuntimeFolderOrApplicationFails) {
    CInstallAssembly installer(&createScriptedCache, windowsDir, L"", true);
    EXPECT_EQ(installer.installAsm(root.path() + L"missing", appFile), -1);
    EXPECT_EQ(installer.installAsm(runtimeDir + L"msvcr90.dll", appFile), -1)
        << "a file is no runtime folder";
    EXPECT_EQ(installer.installAsm(runtimeDir, root.path() + L"missing.exe"), -1);
    EXPECT_EQ(installer.installAsm(runtimeDir, root.path() + L"windows"), -1) << "a folder is no application";
    EXPECT_EQ(installer.installAsm(L"", L""), -1);
    EXPECT_TRUE(cache.installed.empty());
}

TEST_F(InstallAssembly, SystemDirectoryCopyKeepsExistingLibraries) {
    std::wstring system = root.path() + L"system32\\";
    ASSERT_TRUE(quor::createDirectoryTree(system));
    ASSERT_TRUE(writeFileBytes(runtimeDir + L"msvcp90.dll", "new"));
    ASSERT_TRUE(writeFileBytes(system + L"msvcp90.dll", "system's own"));
    CInstallAssembly installer(nullptr, windowsDir, system, false);
    EXPECT_EQ(installer.installAsm(runtimeDir, appFile), 0);
    EXPECT_EQ(readFileBytes(system + L"msvcr90.dll"), "MZ");
    EXPECT_EQ(readFileBytes(system + L"msvcp90.dll"), "system's own");
    EXPECT_TRUE(cache.installed.empty());
}

namespace {

// Our own sample assembly (not a real runtime): one library, its manifest and a
// publisher policy that redirects 1.0.x to it.
const char* kSampleManifest =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
    "  <assemblyIdentity type=\"win32\" name=\"Quor.Sample.Runtime\" version=\"1.0.0.7\" "
    "processorArchitecture=\"amd64\" publicKeyToken=\"0123456789abcdef\"/>\r\n"
    "  <file name=\"quorsample.dll\"/>\r\n"
    "</assembly>\r\n";
const char* kSamplePolicy =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
    "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\r\n"
    "  <assemblyIdentity type=\"win32-policy\" name=\"policy.1.0.Quor.Sample.Runtime\" version=\"1.0.0.7\" "
    "processorArchitecture=\"amd64\" publicKeyToken=\"0123456789abcdef\"/>\r\n"
    "  <dependency><dependentAssembly>\r\n"
    "    <assemblyIdentity type=\"win32\" name=\"Quor.Sample.Runtime\" processorArchitecture=\"amd64\" "
    "publicKeyToken=\"0123456789abcdef\"/>\r\n"
    "    <bindingRedirect oldVersion=\"1.0.0.0-1.0.0.7\" newVersion=\"1.0.0.7\"/>\r\n"
    "  </dependentAssembly></dependency>\r\n"
    "</assembly>\r\n";

// Files the system cache keeps for the sample, found by name.
std::vector<std::wstring> installedSampleFiles(const std::wstring& folder) {
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*quor.sample.runtime*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do
            found.push_back(folder + data.cFileName);
        while (FindNextFileW(find, &data));
        FindClose(find);
    }
    return found;
}

void removeInstalledSample(const std::wstring& sxs) {
    for (const wchar_t* sub : {L"", L"manifests\\", L"policies\\"}) {
        for (const std::wstring& path : installedSampleFiles(sxs + sub)) {
            if (directoryExists(path))
                TempDir::removeTree(path);
            else
                DeleteFileW(path.c_str());
        }
    }
}

} // namespace

TEST(InstallAssemblySystemCache, SampleAssemblyInstallsAndReinstalls) {
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring sxs = std::wstring(windows) + L"\\winsxs\\";
    removeInstalledSample(sxs);

    TempDir root;
    std::wstring runtime = root.path() + L"Microsoft.VC90.CRT\\";
    ASSERT_TRUE(quor::createDirectoryTree(runtime));
    ASSERT_TRUE(writeFileBytes(runtime + L"quor.sample.runtime.manifest", kSampleManifest));
    ASSERT_TRUE(writeFileBytes(runtime + L"quor.sample.runtime.policy", kSamplePolicy));
    ASSERT_TRUE(writeFileBytes(runtime + L"quorsample.dll", "MZ sample library"));
    ASSERT_TRUE(writeFileBytes(root.path() + L"quor.exe", "MZ"));

    CInstallAssembly first;
    EXPECT_EQ(first.installAsm(root.path() + L"Microsoft.VC90.CRT", root.path() + L"quor.exe"), 0);
    EXPECT_FALSE(installedSampleFiles(sxs + L"manifests\\").empty()) << "the manifest is in the store";
    EXPECT_FALSE(installedSampleFiles(sxs).empty()) << "the library's folder is in the store";
    // Installing again over the installed assembly still reports success.
    CInstallAssembly second;
    EXPECT_EQ(second.installAsm(root.path() + L"Microsoft.VC90.CRT", root.path() + L"quor.exe"), 0);
    removeInstalledSample(sxs);
}

// The payload's own sample runtime, as the build staged it, through the system cache.
TEST(InstallAssemblySystemCache, PayloadSampleRuntimeInstalls) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring tests = self;
    tests = tests.substr(0, tests.find_last_of(L'\\'));
    std::wstring installDir = tests.substr(0, tests.find_last_of(L'\\')) + L"\\payload\\tree\\InstallDir\\";
    ASSERT_TRUE(directoryExists(installDir + L"Microsoft.VC90.CRT"));
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring sxs = std::wstring(windows) + L"\\winsxs\\";
    auto installed = [&](const std::wstring& folder) {
        WIN32_FIND_DATAW data;
        HANDLE find = FindFirstFileW((folder + L"*quor.sampleruntime*").c_str(), &data);
        std::vector<std::wstring> found;
        if (find != INVALID_HANDLE_VALUE) {
            do
                found.push_back(folder + data.cFileName);
            while (FindNextFileW(find, &data));
            FindClose(find);
        }
        return found;
    };
    CInstallAssembly installer;
    EXPECT_EQ(installer.installAsm(installDir + L"Microsoft.VC90.CRT", installDir + L"quor.exe"), 0);
    EXPECT_FALSE(installed(sxs + L"manifests\\").empty());
    for (const wchar_t* sub : {L"", L"manifests\\", L"policies\\"}) {
        for (const std::wstring& path : installed(sxs + sub)) {
            if (directoryExists(path))
                TempDir::removeTree(path);
            else
                DeleteFileW(path.c_str());
        }
    }
}

// Removal of what earlier installations into the same directory left behind.
#include "setup/QuorSetupDecompressor.h"

#include "base/FileOperations.h"
#include "base/LogFile.h"
#include "base/ProductInfo.h"
#include "base/ProductPaths.h"
#include "base/XmlDocument.h"
#include "setup/EntryPath.h"
#include "setup/OldLayoutFiles.h"

#include <vector>

namespace {

// A "quorPath" from the old "Launcher.xml" names a directory inside the install
// directory; anything else (empty, rooted, with a drive or "..") is not ours to remove.
bool isVersionDirectoryName(const std::wstring& name) {
    return !name.empty() && name.find_first_not_of(L"\\ ") != std::wstring::npos &&
           isContainedEntryPath(name);
}

} // namespace

void QuorSetupDecompressor::cleanUpFile() {
    const std::wstring& install = m_installDirectory;
    if (install.empty()) {
        quor::logMessage(L"QuorSetupCore::cleanUpFile, no install directory, nothing to clean.");
        return;
    }
    const std::wstring data = quor::setupDataDir(install);
    if (!data.empty()) {
        quor::emptyDirectory(data + L"temp");
        quor::logMessage(L"QuorSetupCore::cleanUpFile, delete temp directory %s", (data + L"temp").c_str());
        quor::emptyDirectory(data + L"updatefiles");
        quor::logMessage(L"QuorSetupCore::cleanUpFile, Delete temp directory %s",
                         (data + L"updatefiles").c_str());
    }
    const std::wstring updateCache = quor::updateCacheDir(install);
    if (!updateCache.empty())
        quor::emptyDirectory(updateCache);
    quor::logMessage(L"QuorSetupCore::cleanUpFile, strUpdateCachePath=%s", updateCache.c_str());

    const std::wstring oem = install + L"\\oem.txt";
    DeleteFileW(oem.c_str());
    quor::logMessage(L"QuorSetupCore::cleanUpFile, Delete temp directory %s", oem.c_str());
    if (!data.empty()) {
        const std::wstring productInfo = data + L"ProductInfo.txt";
        DeleteFileW(productInfo.c_str());
        quor::logMessage(L"QuorSetupCore::cleanUpFile, Delete temp directory %s", productInfo.c_str());
    }

    for (const wchar_t* name : kOldLayoutFiles) {
        const std::wstring path = install + name;
        if (DeleteFileW(path.c_str()))
            continue;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            MoveFileExW(path.c_str(), (path + L".old").c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    quor::logMessage(L"QuorSetupCore::cleanUpFile, clean single directory old files.");

    struct VersionDirectory {
        std::wstring path;
        bool isLink; // only the link goes, never what it points to
    };
    std::vector<VersionDirectory> versionDirectories;
    quor::XmlDocument launcher;
    if (launcher.load(install + L"\\" + quor::product::kLauncherXml) && launcher.findElem(L"LauncherInfo")) {
        launcher.intoElem();
        while (launcher.findElem(L"VersionInfo")) {
            std::wstring name = launcher.getAttrib(L"quorPath");
            for (wchar_t& c : name)
                if (c == L'/')
                    c = L'\\';
            if (!isVersionDirectoryName(name)) {
                quor::logMessage(
                    L"QuorSetupCore::cleanUpFile, skip quorPath %s: not a directory inside the install "
                    L"directory.",
                    name.c_str());
                continue;
            }
            const std::wstring path = install + L"\\" + name;
            DWORD attributes = GetFileAttributesW(path.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
                versionDirectories.push_back({path, (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
        }
        launcher.outOfElem();
    }
    for (const VersionDirectory& directory : versionDirectories) {
        if (!directory.isLink)
            quor::emptyDirectory(directory.path);
        RemoveDirectoryW(directory.path.c_str());
    }
    quor::logMessage(L"QuorSetupCore::cleanUpFile, clean old directories before install.");
}

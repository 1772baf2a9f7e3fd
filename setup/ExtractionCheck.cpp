#include "setup/ExtractionCheck.h"

#include "base/LogFile.h"
#include "setup/CDiskOutputer.h"
#include "setup/CMemoryInStream.h"

#include <7z.h>
#include <7zCrc.h>

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace {

void* heapAlloc(ISzAllocPtr, size_t size) {
    return size ? HeapAlloc(GetProcessHeap(), 0, size) : nullptr;
}
void heapFree(ISzAllocPtr, void* address) {
    if (address)
        HeapFree(GetProcessHeap(), 0, address);
}
const ISzAlloc kHeapAlloc = {heapAlloc, heapFree};

constexpr size_t kLookBufferSize = 1 << 14;

struct ArchiveEntry {
    std::wstring name;
    bool isDirectory;
    UInt64 size;
};

// The names and unpacked sizes of the archive's entries, in archive order.
bool listArchive(const void* archive, size_t archiveSize, std::vector<ArchiveEntry>* entries) {
    CMemoryInStream memory(archive, archiveSize);
    std::vector<Byte> lookBuffer(kLookBufferSize);
    CLookToRead2 lookStream;
    LookToRead2_CreateVTable(&lookStream, False);
    lookStream.buf = lookBuffer.data();
    lookStream.bufSize = kLookBufferSize;
    lookStream.realStream = &memory.vt;
    LookToRead2_INIT(&lookStream);
    CrcGenerateTable();
    CSzArEx db;
    SzArEx_Init(&db);
    SRes result = SzArEx_Open(&db, &lookStream.vt, &kHeapAlloc, &kHeapAlloc);
    if (result != SZ_OK) {
        quor::logMessage(L"checkBeforeExtraction, SzArEx_Open fail, error is %d.", static_cast<int>(result));
        SzArEx_Free(&db, &kHeapAlloc);
        return false;
    }
    std::vector<UInt16> name;
    for (UInt32 i = 0; i < db.NumFiles; ++i) {
        size_t length = SzArEx_GetFileNameUtf16(&db, i, nullptr);
        name.assign(length + 1, 0);
        SzArEx_GetFileNameUtf16(&db, i, name.data());
        bool isDirectory = SzArEx_IsDir(&db, i);
        entries->push_back({reinterpret_cast<const wchar_t*>(name.data()), isDirectory,
                            isDirectory ? 0 : SzArEx_GetFileSize(&db, i)});
    }
    SzArEx_Free(&db, &kHeapAlloc);
    return true;
}

// The nearest folder of `directory` (ends with "\\") that exists: where its
// drive can be asked.
std::wstring existingAncestor(std::wstring directory) {
    for (;;) {
        DWORD attributes = GetFileAttributesW(directory.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return directory;
        if (directory.size() <= 3)
            return std::wstring();
        size_t slash = directory.find_last_of(L'\\', directory.size() - 2);
        if (slash == std::wstring::npos)
            return std::wstring();
        directory.resize(slash + 1);
    }
}

// One drive that entries go to: what they need and what it offers.
struct Volume {
    std::wstring folder; // an existing folder on it, for the log
    ULONGLONG clusterSize = 4096;
    ULONGLONG need = 0;
    ULONGLONG freed = 0;
    ULONGLONG available = 0;
    bool known = false;
};

ULONGLONG clusters(ULONGLONG bytes, ULONGLONG clusterSize) {
    return (bytes + clusterSize - 1) / clusterSize * clusterSize;
}

} // namespace

bool checkBeforeExtraction(const void* archive, size_t archiveSize, CDiskOutputer& outputer) {
    std::vector<ArchiveEntry> entries;
    if (!listArchive(archive, archiveSize, &entries))
        return false;

    // Drives by the directory each entry's root leads to.
    std::map<std::wstring, std::wstring> volumeOfDirectory;
    std::map<std::wstring, Volume> volumes;
    for (const ArchiveEntry& entry : entries) {
        EntryTarget target;
        if (!outputer.prepareEntry(entry.name, &target)) {
            quor::logMessage(L"checkBeforeExtraction, entry %s has no place to go; nothing is written.",
                             entry.name.c_str());
            return false;
        }
        if (target.isRootEntry || entry.isDirectory)
            continue;
        auto known = volumeOfDirectory.find(target.directory);
        if (known == volumeOfDirectory.end()) {
            std::wstring folder = existingAncestor(target.directory);
            wchar_t volumePath[MAX_PATH + 1] = {};
            if (folder.empty() || !GetVolumePathNameW(folder.c_str(), volumePath, MAX_PATH + 1)) {
                quor::logMessage(L"checkBeforeExtraction, the drive of %s is unknown; nothing is written.",
                                 target.directory.c_str());
                return false;
            }
            Volume& volume = volumes[volumePath];
            ULARGE_INTEGER available = {}, total = {}, free = {};
            if (!GetDiskFreeSpaceExW(folder.c_str(), &available, &total, &free)) {
                quor::logMessage(L"checkBeforeExtraction, no free space known for %s, last error is %d.",
                                 folder.c_str(), static_cast<int>(GetLastError()));
                return false;
            }
            // Folders mounted inside one drive may report less than it: the least counts.
            if (!volume.known || available.QuadPart < volume.available) {
                volume.available = available.QuadPart;
                volume.folder = folder;
            }
            if (!volume.known) {
                DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusterCount = 0;
                if (GetDiskFreeSpaceW(volumePath, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                                      &clusterCount) &&
                    sectorsPerCluster && bytesPerSector)
                    volume.clusterSize = static_cast<ULONGLONG>(sectorsPerCluster) * bytesPerSector;
            }
            volume.known = true;
            known = volumeOfDirectory.emplace(target.directory, volumePath).first;
        }
        Volume& volume = volumes[known->second];
        volume.need += clusters(entry.size, volume.clusterSize);
        // A file that the entry replaces gives its room back.
        WIN32_FILE_ATTRIBUTE_DATA existing;
        if (GetFileAttributesExW(target.path.c_str(), GetFileExInfoStandard, &existing) &&
            !(existing.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            volume.freed +=
                clusters((static_cast<ULONGLONG>(existing.nFileSizeHigh) << 32) | existing.nFileSizeLow,
                         volume.clusterSize);
    }
    bool fits = true;
    for (const auto& [name, volume] : volumes) {
        ULONGLONG need = volume.need > volume.freed ? volume.need - volume.freed : 0;
        quor::logMessage(L"checkBeforeExtraction, drive %s needs %.1f MiB, %.1f MiB free.", name.c_str(),
                         need / 1048576.0, volume.available / 1048576.0);
        if (need > volume.available) {
            quor::logMessage(
                L"checkBeforeExtraction, not enough room on %s for the payload; nothing is written.",
                volume.folder.c_str());
            fits = false;
        }
    }
    return fits;
}

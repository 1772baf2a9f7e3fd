#include "setup/ExtractArchive.h"

#include "base/LogFile.h"
#include "setup/CMemoryInStream.h"

#include <7z.h>
#include <7zCrc.h>

#include <windows.h>

namespace {

// The SDK allocates from the ordinary process heap; a zero-size request gets none.
void* heapAlloc(ISzAllocPtr, size_t size) {
    return size ? HeapAlloc(GetProcessHeap(), 0, size) : nullptr;
}
void heapFree(ISzAllocPtr, void* address) {
    if (address)
        HeapFree(GetProcessHeap(), 0, address);
}
const ISzAlloc kHeapAlloc = {heapAlloc, heapFree};

// The failure code of an entry that could not be written or of a stop request.
constexpr SRes kOutputFailed = SZ_ERROR_FAIL;

// A look buffer over the memory stream; the SDK's look-to-read needs one, and
// since the data is already in memory a small one is enough.
constexpr size_t kLookBufferSize = 1 << 14;

class ArchiveDatabase {
public:
    ArchiveDatabase() { SzArEx_Init(&db); }
    ~ArchiveDatabase() { SzArEx_Free(&db, &kHeapAlloc); }
    ArchiveDatabase(const ArchiveDatabase&) = delete;
    ArchiveDatabase& operator=(const ArchiveDatabase&) = delete;
    CSzArEx db;
};

class HeapBlock {
public:
    HeapBlock() = default;
    ~HeapBlock() { heapFree(nullptr, data); }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    Byte* data = nullptr;
};

} // namespace

bool extractArchive(const void* archive, size_t archiveSize, IDecompressOutput& output,
                    IDecompressCancel* cancel) {
    CMemoryInStream memory(archive, archiveSize);
    HeapBlock lookBuffer;
    lookBuffer.data = static_cast<Byte*>(heapAlloc(nullptr, kLookBufferSize));
    if (!lookBuffer.data) {
        quor::logMessage(L"extractArchive, no memory for the look buffer.");
        return false;
    }
    CLookToRead2 lookStream;
    LookToRead2_CreateVTable(&lookStream, False);
    lookStream.buf = lookBuffer.data;
    lookStream.bufSize = kLookBufferSize;
    lookStream.realStream = &memory.vt;
    LookToRead2_INIT(&lookStream);

    CrcGenerateTable();
    ArchiveDatabase archiveDb;
    CSzArEx& db = archiveDb.db;

    SRes result = SzArEx_Open(&db, &lookStream.vt, &kHeapAlloc, &kHeapAlloc);
    if (result != SZ_OK) {
        quor::logMessage(L"extractArchive, SzArEx_Open fail, error is %d.", static_cast<int>(result));
        return false;
    }

    UInt32 blockIndex = 0xFFFFFFFF;
    HeapBlock block;
    size_t blockSize = 0;
    HeapBlock names;
    size_t namesCapacity = 0;
    const int count = static_cast<int>(db.NumFiles);
    for (UInt32 i = 0; i < db.NumFiles; ++i) {
        if (!output.shouldContinue())
            break;
        size_t length = SzArEx_GetFileNameUtf16(&db, i, nullptr);
        if (length > namesCapacity) {
            heapFree(nullptr, names.data);
            names.data = static_cast<Byte*>(heapAlloc(nullptr, length * sizeof(UInt16)));
            namesCapacity = names.data ? length : 0;
            if (!names.data) {
                result = SZ_ERROR_MEM;
                break;
            }
        }
        UInt16* name = reinterpret_cast<UInt16*>(names.data);
        SzArEx_GetFileNameUtf16(&db, i, name);
        const wchar_t* wideName = reinterpret_cast<const wchar_t*>(name);

        if (output.accept(wideName)) {
            const bool isDirectory = SzArEx_IsDir(&db, i);
            size_t offset = 0;
            size_t size = 0;
            if (!isDirectory) {
                result = SzArEx_Extract(&db, &lookStream.vt, i, &blockIndex, &block.data, &blockSize, &offset,
                                        &size, &kHeapAlloc, &kHeapAlloc);
                if (result != SZ_OK) {
                    quor::logMessage(L"extractArchive, SzArEx_Extract fail, file is %s, error is %d.",
                                     wideName, static_cast<int>(result));
                    break;
                }
            }
            const unsigned char* data = isDirectory || !block.data ? nullptr : block.data + offset;
            if (!output.output(wideName, isDirectory, data, size)) {
                result = kOutputFailed;
                break;
            }
            output.progress(static_cast<int>(i), count);
        }
        if (cancel && cancel->isStopRequested()) {
            result = kOutputFailed;
            break;
        }
    }
    return result == SZ_OK;
}

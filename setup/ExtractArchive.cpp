#include "setup/ExtractArchive.h"

#include "base/LogFile.h"
#include "setup/BlockDecoder.h"
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

// The bytes of file entry `index` inside its decoded block, checked against the
// entry's CRC. An entry without data (an empty file) has none.
SRes entryBytes(const CSzArEx& db, BlockDecoder& decoder, UInt32 index, const unsigned char** data,
                size_t* size) {
    *data = nullptr;
    *size = 0;
    const UInt32 folder = db.FileToFolder[index];
    if (folder == static_cast<UInt32>(-1))
        return SZ_OK;
    const UInt64 start = db.UnpackPositions[index];
    const UInt64 offset = start - db.UnpackPositions[db.FolderToFile[folder]];
    const UInt64 length = db.UnpackPositions[index + 1] - start;
    const UInt64 needed = offset + length;
    if (needed != static_cast<size_t>(needed))
        return SZ_ERROR_MEM;
    // Waits only until this entry's bytes are out, not for the whole block.
    const Byte* block = nullptr;
    size_t blockSize = 0;
    SRes result = decoder.acquireBytes(folder, static_cast<size_t>(needed), &block, &blockSize);
    if (result != SZ_OK)
        return result;
    if (needed > blockSize)
        return SZ_ERROR_FAIL;
    if (SzBitWithVals_Check(&db.CRCs, index) &&
        CrcCalc(block + offset, static_cast<size_t>(length)) != db.CRCs.Vals[index])
        return SZ_ERROR_CRC;
    *data = block ? block + offset : nullptr;
    *size = static_cast<size_t>(length);
    return SZ_OK;
}

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

    // Blocks are decoded ahead on other threads while this one writes entries in order.
    BlockDecoder decoder(db, archive, archiveSize, decodingThreadCount());
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
            const unsigned char* data = nullptr;
            size_t size = 0;
            if (!isDirectory) {
                result = entryBytes(db, decoder, i, &data, &size);
                if (result != SZ_OK) {
                    quor::logMessage(L"extractArchive, SzArEx_Extract fail, file is %s, error is %d.",
                                     wideName, static_cast<int>(result));
                    break;
                }
            }
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

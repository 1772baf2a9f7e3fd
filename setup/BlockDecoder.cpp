#include "setup/BlockDecoder.h"

#include "setup/CMemoryInStream.h"

#include <7zCrc.h>
#include <LzmaDec.h>

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
constexpr UInt64 kLzmaMethod = 0x30101;
// Packed bytes per streaming step: about a megabyte of output between reports.
constexpr UInt64 kStreamStep = 1 << 16;
constexpr unsigned kMaxThreads = 8;

// Each decoding thread reads the archive through a stream of its own.
class ThreadInput {
public:
    ThreadInput(const void* archive, size_t archiveSize) : m_memory(archive, archiveSize) {
        m_lookBuffer = static_cast<Byte*>(heapAlloc(nullptr, kLookBufferSize));
        LookToRead2_CreateVTable(&m_look, False);
        m_look.buf = m_lookBuffer;
        m_look.bufSize = kLookBufferSize;
        m_look.realStream = &m_memory.vt;
        LookToRead2_INIT(&m_look);
    }
    ~ThreadInput() { heapFree(nullptr, m_lookBuffer); }
    ThreadInput(const ThreadInput&) = delete;
    ThreadInput& operator=(const ThreadInput&) = delete;
    bool valid() const { return m_lookBuffer != nullptr; }
    ILookInStreamPtr stream() { return &m_look.vt; }

private:
    CMemoryInStream m_memory;
    Byte* m_lookBuffer;
    CLookToRead2 m_look;
};

} // namespace

unsigned decodingThreadCount() {
    SYSTEM_INFO info = {};
    GetSystemInfo(&info);
    unsigned count = info.dwNumberOfProcessors;
    return count < 1 ? 1 : count > kMaxThreads ? kMaxThreads : count;
}

BlockDecoder::BlockDecoder(const CSzArEx& db, const void* archive, size_t archiveSize, unsigned threads)
    : m_db(db), m_archive(archive), m_archiveSize(archiveSize), m_blocks(db.db.NumFolders) {
    InitializeCriticalSection(&m_lock);
    InitializeConditionVariable(&m_changed);
    if (threads < 1)
        threads = 1;
    if (threads > m_blocks.size())
        threads = static_cast<unsigned>(m_blocks.size());
    // One block being written and one being decoded by each thread.
    m_window = threads + 1;
    for (unsigned i = 0; i < threads; ++i) {
        HANDLE thread = CreateThread(nullptr, 0, threadMain, this, 0, nullptr);
        if (thread)
            m_threads.push_back(thread);
    }
}

BlockDecoder::~BlockDecoder() {
    EnterCriticalSection(&m_lock);
    m_stop = true;
    WakeAllConditionVariable(&m_changed);
    LeaveCriticalSection(&m_lock);
    for (HANDLE thread : m_threads) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    for (Block& block : m_blocks)
        heapFree(nullptr, block.data);
    DeleteCriticalSection(&m_lock);
}

DWORD WINAPI BlockDecoder::threadMain(LPVOID self) {
    static_cast<BlockDecoder*>(self)->work();
    return 0;
}

bool BlockDecoder::mayStart(UInt32 folder) const {
    if (folder >= m_blocks.size() || folder >= m_writerAt + m_window)
        return false;
    // The block the writer needs next always goes ahead, or nothing would move.
    if (folder == m_writerAt)
        return true;
    const UInt64 size = SzAr_GetFolderUnpackSize(&m_db.db, folder);
    return m_bytesHeld + size <= kByteBudget;
}

void BlockDecoder::work() {
    ThreadInput input(m_archive, m_archiveSize);
    EnterCriticalSection(&m_lock);
    for (;;) {
        while (!m_stop && !mayStart(m_nextToDecode)) {
            if (m_nextToDecode >= m_blocks.size()) {
                LeaveCriticalSection(&m_lock);
                return;
            }
            SleepConditionVariableCS(&m_changed, &m_lock, INFINITE);
        }
        if (m_stop)
            break;
        const UInt32 folder = m_nextToDecode++;
        Block& block = m_blocks[folder];
        block.state = Block::Decoding;
        const UInt64 wanted = SzAr_GetFolderUnpackSize(&m_db.db, folder);
        const size_t size = static_cast<size_t>(wanted);
        m_bytesHeld += size;
        LeaveCriticalSection(&m_lock);

        SRes result = SZ_OK;
        Byte* data = nullptr;
        if (size != wanted || !input.valid()) {
            result = SZ_ERROR_MEM;
        } else if (size) {
            data = static_cast<Byte*>(heapAlloc(nullptr, size));
            if (!data)
                result = SZ_ERROR_MEM;
        }
        if (result == SZ_OK)
            result = decode(folder, block, data, size, input.stream());

        EnterCriticalSection(&m_lock);
        block.result = result;
        block.state = Block::Done;
        if (result == SZ_OK)
            block.decoded = size;
        if (folder < m_writerAt) {
            // The writer has moved past it already.
            heapFree(nullptr, data);
            block.data = nullptr;
            m_bytesHeld -= size;
        } else {
            // Kept even after an error: the writer may be reading its first entries.
            block.data = data;
            block.size = size;
        }
        WakeAllConditionVariable(&m_changed);
    }
    LeaveCriticalSection(&m_lock);
}

SRes BlockDecoder::decode(UInt32 folder, Block& block, Byte* data, size_t size, ILookInStreamPtr input) {
    CSzFolder layout;
    if (size && streamable(folder, &layout))
        return decodeStreaming(folder, layout, block, data, size);
    return SzAr_DecodeFolder(&m_db.db, folder, input, m_db.dataPos, data, size, &kHeapAlloc);
}

// A block of one LZMA coder over one packed stream lying wholly in the archive,
// whose every entry has a CRC: each entry can be checked on its own as soon as
// its bytes are out, so nothing unchecked is ever handed over. Anything else is
// decoded whole by the SDK.
bool BlockDecoder::streamable(UInt32 folder, CSzFolder* layout) const {
    const CSzAr& ar = m_db.db;
    CSzData coders;
    coders.Data = ar.CodersData + ar.FoCodersOffsets[folder];
    coders.Size = ar.FoCodersOffsets[folder + 1] - ar.FoCodersOffsets[folder];
    if (SzGetNextFolderItem(layout, &coders) != SZ_OK || coders.Size != 0)
        return false;
    if (layout->NumCoders != 1 || layout->NumPackStreams != 1 || layout->NumBonds != 0 ||
        layout->Coders[0].MethodID != kLzmaMethod || layout->Coders[0].NumStreams != 1 ||
        layout->UnpackStream != ar.FoToMainUnpackSizeIndex[folder])
        return false;
    if (ar.CoderUnpackSizes[ar.FoToCoderUnpackSizes[folder]] != SzAr_GetFolderUnpackSize(&ar, folder))
        return false;
    const UInt64 start = m_db.dataPos + ar.PackPositions[ar.FoStartPackStreamIndex[folder]];
    const UInt64 end = m_db.dataPos + ar.PackPositions[ar.FoStartPackStreamIndex[folder] + 1];
    if (start > end || end > m_archiveSize)
        return false;
    for (UInt32 file = m_db.FolderToFile[folder]; file < m_db.FolderToFile[folder + 1]; ++file)
        if (!SzArEx_IsDir(&m_db, file) && SzArEx_GetFileSize(&m_db, file) != 0 &&
            !SzBitWithVals_Check(&m_db.CRCs, file))
            return false;
    return true;
}

// The SDK's own LZMA loop, reading the packed bytes in place and publishing
// the decoded length after every step.
SRes BlockDecoder::decodeStreaming(UInt32 folder, const CSzFolder& layout, Block& block, Byte* data,
                                   size_t size) {
    const CSzAr& ar = m_db.db;
    const CSzCoderInfo& coder = layout.Coders[0];
    const Byte* props = ar.CodersData + ar.FoCodersOffsets[folder] + coder.PropsOffset;
    const UInt64 start = m_db.dataPos + ar.PackPositions[ar.FoStartPackStreamIndex[folder]];
    const UInt64 end = m_db.dataPos + ar.PackPositions[ar.FoStartPackStreamIndex[folder] + 1];
    const Byte* in = static_cast<const Byte*>(m_archive) + start;
    UInt64 inSize = end - start;

    CLzmaDec state;
    LzmaDec_CONSTRUCT(&state)
    SRes result = LzmaDec_AllocateProbs(&state, props, coder.PropsSize, &kHeapAlloc);
    if (result != SZ_OK)
        return result;
    state.dic = data;
    state.dicBufSize = size;
    LzmaDec_Init(&state);
    EnterCriticalSection(&m_lock);
    block.data = data;
    block.size = size;
    LeaveCriticalSection(&m_lock);
    for (;;) {
        SizeT inProcessed = static_cast<SizeT>(inSize < kStreamStep ? inSize : kStreamStep);
        const SizeT dicPos = state.dicPos;
        ELzmaStatus status;
        result = LzmaDec_DecodeToDic(&state, size, in, &inProcessed, LZMA_FINISH_END, &status);
        in += inProcessed;
        inSize -= inProcessed;
        if (result != SZ_OK)
            break;
        if (status == LZMA_STATUS_FINISHED_WITH_MARK) {
            if (size != state.dicPos || inSize != 0)
                result = SZ_ERROR_DATA;
            break;
        }
        if (size == state.dicPos && inSize == 0 && status == LZMA_STATUS_MAYBE_FINISHED_WITHOUT_MARK)
            break;
        if (inProcessed == 0 && dicPos == state.dicPos) {
            result = SZ_ERROR_DATA;
            break;
        }
        EnterCriticalSection(&m_lock);
        block.decoded = state.dicPos;
        WakeAllConditionVariable(&m_changed);
        const bool stop = m_stop;
        LeaveCriticalSection(&m_lock);
        if (stop) {
            // The extraction is over: nobody waits for the rest.
            result = SZ_ERROR_FAIL;
            break;
        }
    }
    LzmaDec_FreeProbs(&state, &kHeapAlloc);
    if (result == SZ_OK && SzBitWithVals_Check(&ar.FolderCRCs, folder) &&
        CrcCalc(data, size) != ar.FolderCRCs.Vals[folder])
        result = SZ_ERROR_CRC;
    return result;
}

void BlockDecoder::release(UInt32 below) {
    for (UInt32 i = m_writerAt; i < below && i < m_blocks.size(); ++i) {
        Block& block = m_blocks[i];
        if (block.state == Block::Done && block.data) {
            heapFree(nullptr, block.data);
            block.data = nullptr;
            m_bytesHeld -= block.size;
        }
    }
    m_writerAt = below;
    if (m_nextToDecode < below)
        m_nextToDecode = below; // blocks the writer skipped are never decoded
}

SRes BlockDecoder::acquire(UInt32 folder, const Byte** data, size_t* size) {
    return acquireBytes(folder, static_cast<size_t>(-1), data, size);
}

SRes BlockDecoder::acquireBytes(UInt32 folder, size_t needed, const Byte** data, size_t* size) {
    *data = nullptr;
    *size = 0;
    if (folder >= m_blocks.size())
        return SZ_ERROR_FAIL;
    EnterCriticalSection(&m_lock);
    if (folder > m_writerAt) {
        release(folder);
        WakeAllConditionVariable(&m_changed);
    }
    SRes result = SZ_ERROR_FAIL;
    if (folder == m_writerAt) {
        if (m_threads.empty()) {
            result = SZ_ERROR_THREAD;
        } else {
            const Block& block = m_blocks[folder];
            while (block.state != Block::Done && (block.state != Block::Decoding || block.decoded < needed))
                SleepConditionVariableCS(&m_changed, &m_lock, INFINITE);
            if (block.state == Block::Done && block.decoded < needed && block.decoded < block.size)
                result = block.result != SZ_OK ? block.result : SZ_ERROR_FAIL;
            else
                result = SZ_OK;
            if (result == SZ_OK) {
                *data = block.data;
                *size = block.decoded;
            }
        }
    }
    LeaveCriticalSection(&m_lock);
    return result;
}

#include "setup/BlockDecoder.h"

#include "setup/CMemoryInStream.h"

#include <7zCrc.h>

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
            result = SzAr_DecodeFolder(&m_db.db, folder, input.stream(), m_db.dataPos, data, size, &kHeapAlloc);
        if (result != SZ_OK) {
            // A failed block is never handed over, not even in part.
            heapFree(nullptr, data);
            data = nullptr;
        }

        EnterCriticalSection(&m_lock);
        block.result = result;
        block.state = Block::Done;
        if (folder < m_writerAt || !data) {
            // The writer has moved past it already (or there is nothing to hold).
            heapFree(nullptr, data);
            m_bytesHeld -= size;
        } else {
            block.data = data;
            block.size = size;
        }
        WakeAllConditionVariable(&m_changed);
    }
    LeaveCriticalSection(&m_lock);
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
            while (m_blocks[folder].state != Block::Done)
                SleepConditionVariableCS(&m_changed, &m_lock, INFINITE);
            const Block& block = m_blocks[folder];
            result = block.result;
            *data = block.data;
            *size = block.size;
        }
    }
    LeaveCriticalSection(&m_lock);
    return result;
}

#include "base/MemPool.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <malloc.h>
#include <new>

namespace quor {

namespace {

constexpr uint16_t kFreeBit = 1;
constexpr int kIndexShift = 6;
constexpr wchar_t kSwitch[] = L"/disablemempool";

void defaultReporter(const wchar_t* message) {
    MessageBoxW(nullptr, message, L"mem pool error dectect!", MB_SERVICE_NOTIFICATION);
    DebugBreak();
}

MemPool::Reporter g_reporter = defaultReporter;

uint16_t readHeader(const uint8_t* header) {
    uint16_t value;
    memcpy(&value, header, sizeof value);
    return value;
}

void writeHeader(uint8_t* header, uint16_t value) {
    memcpy(header, &value, sizeof value);
}

uint8_t* readLink(const uint8_t* header) {
    uint8_t* link;
    memcpy(&link, header + 2, sizeof link);
    return link;
}

void writeLink(uint8_t* header, uint8_t* link) {
    memcpy(header + 2, &link, sizeof link);
}

} // namespace

MemPool::~MemPool() {
    if (this == &processMemPool())
        return;
    for (uint32_t i = 0; i < chunkCount(); ++i)
        VirtualFree(m_chunks[i].base, 0, MEM_RELEASE);
    if (m_initialised)
        DeleteCriticalSection(&m_lock);
}

int MemPool::classOf(size_t n) {
    if (n == 0)
        n = 1;
    if (n <= 32)
        return static_cast<int>((n - 1) >> 3);
    if (n <= 96)
        return static_cast<int>(((n - 33) >> 4) + 4);
    if (n <= kMaxBlock)
        return static_cast<int>(((n - 97) >> 5) + 8);
    return -1;
}

uint32_t MemPool::blockSizeOf(int classIndex) {
    if (classIndex < 4)
        return (classIndex + 1) * 8;
    if (classIndex < 8)
        return (classIndex - 4) * 16 + 48;
    return (classIndex - 8 + 4) * 32;
}

uint32_t MemPool::blocksPerChunk(uint32_t chunkSize, uint32_t blockSize) {
    // Blocks start after the 2 unused bytes and must end strictly before the chunk's end.
    return (chunkSize - 3) / (blockSize + 4);
}

MemPool::Reporter MemPool::setReporter(Reporter reporter) {
    Reporter old = g_reporter;
    g_reporter = reporter ? reporter : defaultReporter;
    return old;
}

bool MemPool::commandLineDisablesPool(const wchar_t* commandLine) {
    if (!commandLine)
        return false;
    wchar_t head[260] = {};
    wcsncpy(head, commandLine, 259);
    _wcslwr(head);
    return wcsstr(head, kSwitch) != nullptr;
}

void MemPool::initOnce() {
    if (m_initialised)
        return;
    InitializeCriticalSection(&m_lock);
    m_off = commandLineDisablesPool(m_commandLine ? m_commandLine : GetCommandLineW());
    m_initialised = true;
}

bool MemPool::enabled() {
    initOnce();
    return !m_off;
}

bool MemPool::growClass(int classIndex) {
    ClassState& cls = m_classes[classIndex];
    uint32_t size = cls.lastChunkSize * 2;
    if (size < kMinChunk)
        size = kMinChunk;
    if (size > kMaxChunk)
        size = kMaxChunk;
    auto* base = static_cast<uint8_t*>(VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!base)
        return false;
    uint32_t index = chunkCount();
    uint32_t blockSize = blockSizeOf(classIndex);
    uint32_t stride = blockSize + 4;
    uint32_t count = blocksPerChunk(size, blockSize);
    uint16_t freeHeader = static_cast<uint16_t>((index << kIndexShift) | kFreeBit);
    // Committed pages arrive zero-filled; chain the blocks in address order.
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t* header = base + 2 + i * stride;
        writeHeader(header, freeHeader);
        writeLink(header, i + 1 < count ? header + stride : cls.freeHead);
        writeHeader(header + 2 + blockSize, kGuard);
    }
    cls.freeHead = base + 2;
    cls.lastChunkSize = size;
    m_chunks[index] = Chunk{base, size, blockSize, classIndex};
    InterlockedIncrement(&m_chunkCount);
    return true;
}

uint8_t* MemPool::headerOf(const void* p) const {
    if (!p || (reinterpret_cast<uintptr_t>(p) & 3) != 0)
        return nullptr;
    auto* header = static_cast<uint8_t*>(const_cast<void*>(p)) - 2;
    if (IsBadReadPtr(static_cast<const uint8_t*>(p) - 4, 4))
        return nullptr;
    uint32_t index = readHeader(header) >> kIndexShift;
    if (index >= chunkCount())
        return nullptr;
    const Chunk& c = m_chunks[index];
    if (header < c.base + 2 || header >= c.base + c.size)
        return nullptr;
    // A pointer into the middle of a block is not one we handed out.
    if ((header - c.base - 2) % (c.blockSize + 4) != 0)
        return nullptr;
    return header;
}

uint16_t MemPool::guardOf(const uint8_t* header, uint32_t blockSize) {
    return readHeader(header + 2 + blockSize);
}

void MemPool::report(const wchar_t* format, const void* p) {
    wchar_t message[4096];
    _snwprintf(message, 4095, format, static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(p)));
    message[4095] = 0;
    g_reporter(message);
}

bool MemPool::owns(const void* p) {
    initOnce();
    EnterCriticalSection(&m_lock);
    bool result = headerOf(p) != nullptr;
    LeaveCriticalSection(&m_lock);
    return result;
}

bool MemPool::isFreeBlock(const void* p) {
    initOnce();
    EnterCriticalSection(&m_lock);
    uint8_t* header = headerOf(p);
    bool result = header && (readHeader(header) & kFreeBit);
    LeaveCriticalSection(&m_lock);
    return result;
}

void* MemPool::alloc(size_t n) {
    initOnce();
    if (m_off)
        return malloc(n);
    int classIndex = classOf(n);
    if (classIndex < 0)
        return malloc(n);
    EnterCriticalSection(&m_lock);
    ClassState& cls = m_classes[classIndex];
    if (!cls.freeHead && chunkCount() < kMaxChunks)
        growClass(classIndex);
    uint8_t* header = cls.freeHead;
    if (!header) {
        LeaveCriticalSection(&m_lock);
        return malloc(n);
    }
    uint32_t blockSize = blockSizeOf(classIndex);
    cls.freeHead = readLink(header);
    if (!(readHeader(header) & kFreeBit) || guardOf(header, blockSize) != kGuard)
        report(L"mp_alloc - detect block 0x%08I64X corrupt!", header + 2);
    writeHeader(header, readHeader(header) & ~kFreeBit);
    writeHeader(header + 2 + blockSize, kGuard);
    LeaveCriticalSection(&m_lock);
    return header + 2;
}

void MemPool::free(void* p) {
    if (!p)
        return;
    initOnce();
    if (m_off) {
        ::free(p);
        return;
    }
    EnterCriticalSection(&m_lock);
    uint8_t* header = headerOf(p);
    if (!header) {
        LeaveCriticalSection(&m_lock);
        ::free(p);
        return;
    }
    uint16_t flags = readHeader(header);
    if (flags & kFreeBit) {
        report(L"mp_free - repeat free block 0x%08I64X!", p);
    } else {
        const Chunk& c = m_chunks[flags >> kIndexShift];
        if (guardOf(header, c.blockSize) != kGuard)
            report(L"mp_free - detect block 0x%08I64X corrupt!", p);
        ClassState& cls = m_classes[c.classIndex];
        writeHeader(header, flags | kFreeBit);
        writeHeader(header + 2 + c.blockSize, kGuard);
        writeLink(header, cls.freeHead);
        cls.freeHead = header;
    }
    LeaveCriticalSection(&m_lock);
}

size_t MemPool::size(void* p) {
    if (!p)
        return 0;
    initOnce();
    if (m_off)
        return _msize(p);
    EnterCriticalSection(&m_lock);
    uint8_t* header = headerOf(p);
    size_t result = header ? m_chunks[readHeader(header) >> kIndexShift].blockSize : 0;
    LeaveCriticalSection(&m_lock);
    return header ? result : _msize(p);
}

void* MemPool::realloc(void* p, size_t n) {
    initOnce();
    if (m_off)
        return ::realloc(p, n);
    uint8_t* header = nullptr;
    if (p) {
        EnterCriticalSection(&m_lock);
        header = headerOf(p);
        if (header) {
            uint16_t flags = readHeader(header);
            uint32_t blockSize = m_chunks[flags >> kIndexShift].blockSize;
            if ((n == 0 ? 1 : n) <= blockSize) {
                if ((flags & kFreeBit) || guardOf(header, blockSize) != kGuard)
                    report(L"mp_free - detect block 0x%08I64X corrupt!", p);
                writeHeader(header, flags & ~kFreeBit);
                writeHeader(header + 2 + blockSize, kGuard);
                LeaveCriticalSection(&m_lock);
                return p;
            }
        }
        LeaveCriticalSection(&m_lock);
        if (!header) {
            // A zero size would make the runtime free the block behind our back.
            if (void* q = ::realloc(p, n ? n : 1))
                return q;
        }
    }
    void* q = alloc(n);
    if (p && q) {
        size_t keep = size(p);
        memcpy(q, p, keep < n ? keep : n);
        free(p);
    }
    return q;
}

MemPool& processMemPool() {
    // Never destroyed: blocks may be freed by exit-time destructors of any order.
    alignas(MemPool) static unsigned char storage[sizeof(MemPool)];
    static MemPool* pool = new (storage) MemPool();
    return *pool;
}

} // namespace quor

void* mp_alloc(size_t n) {
    return quor::processMemPool().alloc(n);
}
void mp_free(void* p) {
    quor::processMemPool().free(p);
}
void* mp_realloc(void* p, size_t n) {
    return quor::processMemPool().realloc(p, n);
}
size_t mp_size(void* p) {
    return quor::processMemPool().size(p);
}

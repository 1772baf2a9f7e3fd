#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace quor {

// Small-block allocator: blocks of up to 256 bytes come from 13 size classes
// carved out of large committed chunks; every block carries a header flag and
// a trailing guard word so that double frees and overruns are reported.
// Larger requests, foreign pointers, requests after the chunk table is full and
// everything while the pool is switched off go to the runtime heap.
class MemPool {
public:
    static constexpr int kClassCount = 13;
    static constexpr size_t kMaxBlock = 256;
    static constexpr uint32_t kMaxChunks = 1024;
    static constexpr uint32_t kMinChunk = 0x20000;
    static constexpr uint32_t kMaxChunk = 0x100000;
    static constexpr uint16_t kGuard = 0xCDAB;

    struct Chunk {
        uint8_t* base;
        uint32_t size;
        uint32_t blockSize;
        int classIndex;
    };

    // The reporter receives the formatted message of a detected misuse. The
    // default one shows it in a message box and breaks into the debugger.
    using Reporter = void (*)(const wchar_t* message);

    // `commandLine` is searched for "/disablemempool" (any case) on first use;
    // null means the process command line.
    explicit MemPool(const wchar_t* commandLine = nullptr) : m_commandLine(commandLine) {}
    // Returns the chunks to the system; the process-wide pool is never destroyed.
    ~MemPool();
    MemPool(const MemPool&) = delete;
    MemPool& operator=(const MemPool&) = delete;

    void* alloc(size_t n);
    void free(void* p);
    void* realloc(void* p, size_t n);
    size_t size(void* p);

    bool enabled();
    bool owns(const void* p);
    // True for a pool block whose header says free (diagnostics and tests).
    bool isFreeBlock(const void* p);
    uint32_t chunkCount() const { return static_cast<uint32_t>(m_chunkCount); }
    Chunk chunk(uint32_t index) const { return m_chunks[index]; }
    uint32_t lastChunkSize(int classIndex) const { return m_classes[classIndex].lastChunkSize; }

    // Size class of a request and the block size of a class; -1 above 256 bytes.
    static int classOf(size_t n);
    static uint32_t blockSizeOf(int classIndex);
    // Number of blocks a chunk of `chunkSize` bytes holds for `blockSize`.
    static uint32_t blocksPerChunk(uint32_t chunkSize, uint32_t blockSize);

    static Reporter setReporter(Reporter reporter);
    static bool commandLineDisablesPool(const wchar_t* commandLine);

private:
    struct ClassState {
        uint32_t lastChunkSize = 0;
        uint8_t* freeHead = nullptr; // header of the first free block
    };

    void initOnce();
    bool growClass(int classIndex);
    // Header of a pool block, or null when `p` does not belong to the pool.
    uint8_t* headerOf(const void* p) const;
    static uint16_t guardOf(const uint8_t* header, uint32_t blockSize);
    void report(const wchar_t* format, const void* p);

    const wchar_t* m_commandLine;
    bool m_initialised = false;
    bool m_off = false;
    CRITICAL_SECTION m_lock{};
    ClassState m_classes[kClassCount];
    Chunk m_chunks[kMaxChunks] = {};
    volatile LONG m_chunkCount = 0;
};

// The process-wide pool, set up by the first call.
MemPool& processMemPool();

} // namespace quor

void* mp_alloc(size_t n);
void mp_free(void* p);
void* mp_realloc(void* p, size_t n);
size_t mp_size(void* p);

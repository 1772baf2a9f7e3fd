#pragma once

#include <7z.h>

#include <windows.h>

#include <cstddef>
#include <vector>

// Decodes the solid blocks of an open archive ahead of the writer, on as many
// threads as there are processors, in archive order. The writer asks for block
// after block (`acquire`); a block stays in memory until the writer moves on to
// a later one, and at most `window` decoded or decoding blocks (and never more
// than the byte budget, unless the writer is waiting for that very block) exist
// at once, so memory stays bounded whatever the archive holds.
class BlockDecoder {
public:
    BlockDecoder(const CSzArEx& db, const void* archive, size_t archiveSize, unsigned threads);
    ~BlockDecoder();
    BlockDecoder(const BlockDecoder&) = delete;
    BlockDecoder& operator=(const BlockDecoder&) = delete;

    // The decoded bytes of `folder`, waiting for them if need be; every block
    // before it is released. SZ_OK, or the decoder's error for that block.
    SRes acquire(UInt32 folder, const Byte** data, size_t* size);

    // Limits: decoded blocks held at once, and their bytes.
    static constexpr size_t kByteBudget = 96u << 20;

private:
    struct Block {
        enum State { Waiting, Decoding, Done } state = Waiting;
        Byte* data = nullptr;
        size_t size = 0;
        SRes result = SZ_OK;
    };

    static DWORD WINAPI threadMain(LPVOID self);
    void work();
    bool mayStart(UInt32 folder) const;
    void release(UInt32 below);

    const CSzArEx& m_db;
    const void* m_archive;
    size_t m_archiveSize;
    std::vector<Block> m_blocks;
    std::vector<HANDLE> m_threads;
    CRITICAL_SECTION m_lock;
    CONDITION_VARIABLE m_changed;
    UInt32 m_nextToDecode = 0; // the next block a thread takes
    UInt32 m_writerAt = 0;     // blocks below this one are released
    UInt32 m_window = 1;
    size_t m_bytesHeld = 0;
    bool m_stop = false;
};

// How many blocks the installer decodes at once: one per processor, at least one.
unsigned decodingThreadCount();

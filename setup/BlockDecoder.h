#pragma once

#include <7z.h>

#include <windows.h>

#include <cstddef>
#include <vector>

// Decodes the solid blocks of an open archive ahead of the writer, on as many
// threads as there are processors, in archive order. A plain LZMA block whose
// entries all carry a CRC is decoded as a stream: its first bytes can be written
// while the rest is still being decoded. The writer asks for block
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
    // The same once the first `needed` bytes of `folder` are decoded: `size` is
    // then the number of bytes decoded so far (at least `needed`). An error of
    // the block is returned only when it stops short of `needed`.
    SRes acquireBytes(UInt32 folder, size_t needed, const Byte** data, size_t* size);

    // Limits: decoded blocks held at once, and their bytes.
    static constexpr size_t kByteBudget = 96u << 20;

private:
    struct Block {
        enum State { Waiting, Decoding, Done } state = Waiting;
        Byte* data = nullptr;
        size_t size = 0;
        size_t decoded = 0; // bytes of `data` the writer may read
        SRes result = SZ_OK;
    };

    static DWORD WINAPI threadMain(LPVOID self);
    void work();
    bool mayStart(UInt32 folder) const;
    void release(UInt32 below);
    SRes decode(UInt32 folder, Block& block, Byte* data, size_t size, ILookInStreamPtr input);
    bool streamable(UInt32 folder, CSzFolder* layout) const;
    SRes decodeStreaming(UInt32 folder, const CSzFolder& layout, Block& block, Byte* data, size_t size);

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

#pragma once

#include <7zTypes.h>

#include <cstddef>

// The LZMA SDK's seekable input over bytes already in memory (the mapped payload
// resource): nothing is copied. A read past the end fails as a damaged archive
// and reads nothing, so a truncated payload can never be read beyond its end.
struct CMemoryInStream {
    ISeekInStream vt; // first member: the SDK calls through it
    const unsigned char* data;
    size_t size;
    size_t position;

    CMemoryInStream(const void* bytes, size_t byteCount);
};

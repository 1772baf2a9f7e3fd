#include "setup/CMemoryInStream.h"

#include <cstring>

namespace {

SRes memoryRead(ISeekInStreamPtr p, void* buffer, size_t* size) {
    CMemoryInStream* stream = Z7_CONTAINER_FROM_VTBL(p, CMemoryInStream, vt);
    if (stream->position > stream->size || *size > stream->size - stream->position) {
        *size = 0;
        return SZ_ERROR_ARCHIVE;
    }
    if (*size)
        memcpy(buffer, stream->data + stream->position, *size);
    stream->position += *size;
    return SZ_OK;
}

SRes memorySeek(ISeekInStreamPtr p, Int64* offset, ESzSeek origin) {
    CMemoryInStream* stream = Z7_CONTAINER_FROM_VTBL(p, CMemoryInStream, vt);
    // The payload is far below 4 GiB: positions live in the low 32 bits.
    UInt32 low = static_cast<UInt32>(*offset);
    switch (origin) {
    case SZ_SEEK_SET:
        stream->position = low;
        break;
    case SZ_SEEK_CUR:
        stream->position = static_cast<UInt32>(stream->position + low);
        break;
    case SZ_SEEK_END:
        stream->position = static_cast<UInt32>(stream->size - low);
        break;
    }
    *offset = static_cast<Int64>(static_cast<UInt32>(stream->position));
    return SZ_OK;
}

} // namespace

CMemoryInStream::CMemoryInStream(const void* bytes, size_t byteCount)
    : data(static_cast<const unsigned char*>(bytes)), size(byteCount), position(0) {
    vt.Read = memoryRead;
    vt.Seek = memorySeek;
}

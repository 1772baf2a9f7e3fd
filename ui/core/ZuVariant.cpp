#include "ui/core/ZuVariant.h"

#include "base/MemPool.h"

#include <cstring>
#include <new>

namespace {

size_t blockSize(uint32_t kind) {
    switch (kind) {
    case ZuVariant::RectF:
        return sizeof(ZuRectF);
    case ZuVariant::Rect:
        return sizeof(ZuRect);
    case ZuVariant::PointF:
        return sizeof(ZuPointF);
    case ZuVariant::Point:
        return sizeof(ZuPoint);
    case ZuVariant::SizeF:
        return sizeof(ZuSizeF);
    case ZuVariant::Size:
        return sizeof(ZuSize);
    case ZuVariant::String:
        return sizeof(ZuString);
    default:
        return sizeof(ZuMargins);
    }
}

} // namespace

ZuVariant::ZuVariant(const ZuVariant& other) {
    *this = other;
}

ZuVariant& ZuVariant::operator=(const ZuVariant& other) {
    if (this == &other)
        return *this;
    if (other.hasBlock()) {
        assignBlock(other.kind(), other.m_value.block);
        return *this;
    }
    releasePayload();
    m_value = other.m_value;
    m_kind = other.m_kind;
    return *this;
}

ZuVariant::Payload& ZuVariant::setInline(Kind kind) {
    releasePayload();
    m_value = Payload{};
    m_kind = kind;
    return m_value;
}

void ZuVariant::assignBlock(Kind kind, const void* value) {
    if (hasBlock() && this->kind() == kind) {
        // Same kind: the block is reused.
        if (kind == String)
            *static_cast<ZuString*>(m_value.block) = *static_cast<const ZuString*>(value);
        else
            memcpy(m_value.block, value, blockSize(kind));
        return;
    }
    void* block = mp_alloc(blockSize(kind));
    if (!block) {
        releasePayload();
        return;
    }
    if (kind == String)
        new (block) ZuString(*static_cast<const ZuString*>(value));
    else
        memcpy(block, value, blockSize(kind));
    releasePayload();
    m_value.block = block;
    m_kind = kind;
}

void ZuVariant::releasePayload() {
    if (hasBlock()) {
        if (kind() == String)
            static_cast<ZuString*>(m_value.block)->~ZuString();
        mp_free(m_value.block);
    }
    m_value = Payload{};
    m_kind = kInvalidBit;
}

long long ZuVariant::toInt64() const {
    switch (kind()) {
    case Char:
        return m_value.c;
    case UChar:
        return m_value.uc;
    case Bool:
        return m_value.b;
    case Int:
        return m_value.i;
    case UInt:
        return m_value.u;
    case Double:
    case Float:
        return static_cast<long long>(m_value.d);
    case Int64:
        return m_value.i64;
    case UInt64:
        return static_cast<long long>(m_value.u64);
    default:
        return 0;
    }
}

int ZuVariant::toInt() const {
    return static_cast<int>(toInt64());
}

unsigned int ZuVariant::toUInt() const {
    return static_cast<unsigned int>(toInt64());
}

double ZuVariant::toDouble() const {
    switch (kind()) {
    case Double:
    case Float:
        return m_value.d;
    case UInt64:
        return static_cast<double>(m_value.u64);
    default:
        return static_cast<double>(toInt64());
    }
}

ZuString ZuVariant::toString() const {
    return kind() == String && hasBlock() ? *static_cast<const ZuString*>(m_value.block) : ZuString();
}

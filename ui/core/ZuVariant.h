#pragma once

#include "base/ZuString.h"
#include "ui/core/ZuGeometry.h"

#include <cstdint>

class ZuRttiObject;

// A tagged value of one of 18 kinds. Kinds 1 to 10 live in the 8-byte payload;
// kinds 11 to 18 keep theirs in a pool block that the variant owns.
class ZuVariant {
public:
    enum Kind : uint32_t {
        Invalid = 0,
        Char = 1,
        UChar = 2,
        Bool = 3,
        Int = 4,
        UInt = 5,
        Double = 6,
        Float = 7,
        Int64 = 8,
        UInt64 = 9,
        Object = 10,
        RectF = 11,
        Rect = 12,
        PointF = 13,
        Point = 14,
        SizeF = 15,
        Size = 16,
        String = 17,
        Margins = 18,
    };

    ZuVariant() = default;
    ZuVariant(char v) { setInline(Char).c = v; }
    ZuVariant(unsigned char v) { setInline(UChar).uc = v; }
    ZuVariant(bool v) { setInline(Bool).b = v; }
    ZuVariant(int v) { setInline(Int).i = v; }
    ZuVariant(unsigned int v) { setInline(UInt).u = v; }
    ZuVariant(double v) { setInline(Double).d = v; }
    ZuVariant(float v) { setInline(Float).d = v; }
    ZuVariant(long long v) { setInline(Int64).i64 = v; }
    ZuVariant(unsigned long long v) { setInline(UInt64).u64 = v; }
    ZuVariant(ZuRttiObject* v) { setInline(Object).object = v; }
    ZuVariant(const ZuRectF& v) { assignBlock(RectF, &v); }
    ZuVariant(const ZuRect& v) { assignBlock(Rect, &v); }
    ZuVariant(const ZuPointF& v) { assignBlock(PointF, &v); }
    ZuVariant(const ZuPoint& v) { assignBlock(Point, &v); }
    ZuVariant(const ZuSizeF& v) { assignBlock(SizeF, &v); }
    ZuVariant(const ZuSize& v) { assignBlock(Size, &v); }
    ZuVariant(const ZuString& v) { assignBlock(String, &v); }
    ZuVariant(const ZuMargins& v) { assignBlock(Margins, &v); }
    ZuVariant(const ZuVariant& other);
    ZuVariant& operator=(const ZuVariant& other);
    ~ZuVariant() { releasePayload(); }

    Kind kind() const { return static_cast<Kind>(m_kind & kKindMask); }
    bool isValid() const { return !(m_kind & kInvalidBit); }

    // Conversions between the numeric kinds; 0 (or empty) for other kinds.
    int toInt() const;
    unsigned int toUInt() const;
    bool toBool() const { return toInt() != 0; }
    double toDouble() const;
    long long toInt64() const;
    ZuRttiObject* toObject() const { return kind() == Object ? m_value.object : nullptr; }
    ZuRectF toRectF() const { return blockAs<ZuRectF>(RectF); }
    ZuRect toRect() const { return blockAs<ZuRect>(Rect); }
    ZuPointF toPointF() const { return blockAs<ZuPointF>(PointF); }
    ZuPoint toPoint() const { return blockAs<ZuPoint>(Point); }
    ZuSizeF toSizeF() const { return blockAs<ZuSizeF>(SizeF); }
    ZuSize toSize() const { return blockAs<ZuSize>(Size); }
    ZuMargins toMargins() const { return blockAs<ZuMargins>(Margins); }
    ZuString toString() const;

    // The owned payload block of kinds 11 to 18 (diagnostics and tests).
    const void* payloadBlock() const { return hasBlock() ? m_value.block : nullptr; }

private:
    static constexpr uint32_t kKindMask = 0x3FFFFFFF;
    static constexpr uint32_t kInvalidBit = 0x80000000;

    union Payload {
        char c;
        unsigned char uc;
        bool b;
        int i;
        unsigned int u;
        double d;
        long long i64;
        unsigned long long u64;
        ZuRttiObject* object;
        void* block;
    };

    static bool kindHasBlock(uint32_t kind) { return kind >= RectF && kind <= Margins; }
    bool hasBlock() const { return isValid() && kindHasBlock(kind()); }
    Payload& setInline(Kind kind);
    void assignBlock(Kind kind, const void* value);
    void releasePayload();
    template <typename T> T blockAs(Kind k) const {
        return kind() == k && hasBlock() ? *static_cast<const T*>(m_value.block) : T();
    }

    Payload m_value{};
    uint32_t m_kind = kInvalidBit;
};

#include "base/ZuString.h"

#include "base/MemPool.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

template <typename Unit> int unitLength(const Unit* text) {
    int n = 0;
    while (text[n])
        ++n;
    return n;
}

} // namespace

template <typename Unit> typename ZuBasicString<Unit>::Block* ZuBasicString<Unit>::nullBlock() {
    static Unit zero = 0;
    static Block block = {1, 0, 0, &zero};
    return &block;
}

template <typename Unit> typename ZuBasicString<Unit>::Block* ZuBasicString<Unit>::emptyBlock() {
    static Unit zero = 0;
    static Block block = {1, 0, 0, &zero};
    return &block;
}

// Capacities grow in block-size steps: 16 bytes for small blocks, powers of two
// up to 4 KiB, then whole 4 KiB pages.
template <typename Unit> int ZuBasicString<Unit>::capacityFor(int units) {
    size_t bytes = sizeof(Block) + (static_cast<size_t>(units) + 1) * sizeof(Unit);
    if (bytes < 64)
        bytes = (bytes + 15) & ~size_t(15);
    else if (bytes < 4096) {
        size_t step = 64;
        while (step < bytes)
            step *= 2;
        bytes = step;
    } else
        bytes = (bytes + 4095) & ~size_t(4095);
    return static_cast<int>((bytes - sizeof(Block)) / sizeof(Unit)) - 1;
}

template <typename Unit> typename ZuBasicString<Unit>::Block* ZuBasicString<Unit>::allocate(int capacity) {
    auto* block =
        static_cast<Block*>(mp_alloc(sizeof(Block) + (static_cast<size_t>(capacity) + 1) * sizeof(Unit)));
    if (!block)
        return nullptr;
    block->ref = 1;
    block->capacity = capacity;
    block->length = 0;
    block->data = block->storage();
    block->data[0] = 0;
    return block;
}

template <typename Unit> void ZuBasicString<Unit>::release(Block* block) {
    if (--block->ref == 0 && block != nullBlock() && block != emptyBlock())
        mp_free(block);
}

template <typename Unit> ZuBasicString<Unit>::ZuBasicString() : m_block(nullBlock()) {
    ++m_block->ref;
}

template <typename Unit> ZuBasicString<Unit>::ZuBasicString(const Unit* text, int length) {
    if (!text) {
        m_block = nullBlock();
        ++m_block->ref;
        return;
    }
    if (length < 0)
        length = unitLength(text);
    if (length == 0) {
        m_block = emptyBlock();
        ++m_block->ref;
        return;
    }
    m_block = allocate(capacityFor(length));
    if (!m_block) {
        m_block = nullBlock();
        ++m_block->ref;
        return;
    }
    memcpy(m_block->data, text, length * sizeof(Unit));
    m_block->data[length] = 0;
    m_block->length = length;
}

template <typename Unit> ZuBasicString<Unit>::ZuBasicString(Unit ch) : ZuBasicString(&ch, 1) {}

template <typename Unit>
ZuBasicString<Unit>::ZuBasicString(const ZuBasicString& other) : m_block(other.m_block) {
    ++m_block->ref;
}

template <typename Unit>
ZuBasicString<Unit>::ZuBasicString(ZuBasicString&& other) noexcept : m_block(other.m_block) {
    other.m_block = nullBlock();
    ++other.m_block->ref;
}

template <typename Unit> ZuBasicString<Unit>& ZuBasicString<Unit>::operator=(const ZuBasicString& other) {
    ++other.m_block->ref; // first, so that self-assignment is safe
    release(m_block);
    m_block = other.m_block;
    return *this;
}

template <typename Unit> ZuBasicString<Unit>& ZuBasicString<Unit>::operator=(ZuBasicString&& other) noexcept {
    if (this != &other) {
        Block* taken = other.m_block;
        other.m_block = m_block;
        m_block = taken;
    }
    return *this;
}

template <typename Unit> ZuBasicString<Unit>::~ZuBasicString() {
    release(m_block);
}

template <typename Unit> ZuBasicString<Unit> ZuBasicString<Unit>::number(int value, int radix) {
    // Room for a 32-bit value in base 2 with its sign: a 16-unit buffer would overflow.
    wchar_t wide[40] = {};
    if (radix < 2 || radix > 36)
        radix = 10;
    _itow(value, wide, radix);
    Unit units[40];
    int n = 0;
    for (; wide[n] && n < 39; ++n)
        units[n] = static_cast<Unit>(wide[n]);
    return ZuBasicString(units, n);
}

template <typename Unit> Unit ZuBasicString<Unit>::at(int index) const {
    return index >= 0 && index < length() ? m_block->data[index] : Unit(0);
}

template <typename Unit> int ZuBasicString<Unit>::indexOf(Unit ch, int from) const {
    if (from < 0)
        from = 0;
    for (int i = from; i < length(); ++i)
        if (m_block->data[i] == ch)
            return i;
    return -1;
}

template <typename Unit> int ZuBasicString<Unit>::indexOf(const ZuBasicString& needle, int from) const {
    if (from < 0)
        from = 0;
    int n = needle.length();
    if (from > length())
        return -1;
    for (int i = from; i + n <= length(); ++i)
        if (memcmp(m_block->data + i, needle.constData(), n * sizeof(Unit)) == 0)
            return i;
    return -1;
}

template <typename Unit> int ZuBasicString<Unit>::lastIndexOf(Unit ch, int from) const {
    if (from < 0)
        from += length();
    if (from < 0 || from >= length())
        return -1;
    for (int i = from; i >= 0; --i)
        if (m_block->data[i] == ch)
            return i;
    return -1;
}

template <typename Unit> bool ZuBasicString<Unit>::equals(const ZuBasicString& other) const {
    return length() == other.length() && memcmp(constData(), other.constData(), length() * sizeof(Unit)) == 0;
}

template <typename Unit> bool ZuBasicString<Unit>::equals(const Unit* text) const {
    if (!text)
        return length() == 0;
    int n = unitLength(text);
    return n == length() && memcmp(constData(), text, n * sizeof(Unit)) == 0;
}

template <typename Unit> int ZuBasicString<Unit>::compare(const ZuBasicString& other) const {
    int n = length() < other.length() ? length() : other.length();
    for (int i = 0; i < n; ++i) {
        auto a = static_cast<std::make_unsigned_t<Unit>>(m_block->data[i]);
        auto b = static_cast<std::make_unsigned_t<Unit>>(other.m_block->data[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    return length() == other.length() ? 0 : (length() < other.length() ? -1 : 1);
}

template <typename Unit> bool ZuBasicString<Unit>::startsWith(const ZuBasicString& prefix) const {
    if (isNull() || prefix.isNull())
        return isNull() && prefix.isNull();
    if (prefix.length() > length())
        return false;
    return memcmp(constData(), prefix.constData(), prefix.length() * sizeof(Unit)) == 0;
}

template <typename Unit> ZuBasicString<Unit> ZuBasicString<Unit>::mid(int position, int n) const {
    // A negative count means "to the end" whatever the position; only a real
    // count is shortened by a negative position.
    if (n < 0)
        n = length();
    else if (position < 0)
        n += position;
    if (position < 0)
        position = 0;
    if (isNull() || position >= length())
        return ZuBasicString();
    if (n > length() - position)
        n = length() - position;
    if (position == 0 && n == length())
        return *this;
    if (n <= 0) {
        Block* empty = emptyBlock();
        ++empty->ref;
        return ZuBasicString(empty, Adopt{});
    }
    return ZuBasicString(constData() + position, n);
}

template <typename Unit> ZuBasicString<Unit> ZuBasicString<Unit>::left(int n) const {
    return mid(0, n);
}

template <typename Unit> ZuBasicString<Unit> ZuBasicString<Unit>::right(int n) const {
    if (n < 0 || n >= length())
        return mid(0, -1);
    return mid(length() - n, n);
}

template <typename Unit>
ZuBasicString<Unit> ZuBasicString<Unit>::replace(const ZuBasicString& before,
                                                 const ZuBasicString& after) const {
    if (before.isEmpty() || indexOf(before) < 0)
        return *this;
    ZuBasicString result(emptyBlock(), Adopt{});
    ++result.m_block->ref;
    int from = 0;
    for (int hit = indexOf(before, 0); hit >= 0; hit = indexOf(before, from)) {
        result.appendUnits(constData() + from, hit - from);
        result.appendUnits(after.constData(), after.length());
        from = hit + before.length();
    }
    result.appendUnits(constData() + from, length() - from);
    return result;
}

template <typename Unit> ZuBasicString<Unit> ZuBasicString<Unit>::toUpper() const {
    if (isEmpty())
        return *this;
    ZuBasicString result(constData(), length());
    for (int i = 0; i < result.length(); ++i) {
        Unit& u = result.m_block->data[i];
        if (u >= 'a' && u <= 'z')
            u = static_cast<Unit>(u - 'a' + 'A');
    }
    return result;
}

template <typename Unit> void ZuBasicString<Unit>::detach(int units) {
    Block* old = m_block;
    if (old->ref == 1 && old->data == old->storage()) {
        if (units <= old->capacity)
            return;
        int capacity = capacityFor(units);
        auto* grown = static_cast<Block*>(mp_realloc(old, sizeof(Block) + (capacity + 1) * sizeof(Unit)));
        if (!grown)
            return;
        grown->capacity = capacity;
        grown->data = grown->storage();
        m_block = grown;
        return;
    }
    Block* fresh = allocate(capacityFor(units));
    if (!fresh)
        return;
    int keep = old->length < units ? old->length : units;
    memcpy(fresh->data, old->data, keep * sizeof(Unit));
    fresh->data[keep] = 0;
    fresh->length = keep;
    m_block = fresh;
    release(old);
}

template <typename Unit> void ZuBasicString<Unit>::appendUnits(const Unit* units, int count) {
    if (count <= 0)
        return;
    int needed = length() + count;
    // Text taken from this string's own block is found again by its offset once
    // the block has moved: the old block may be freed by then.
    const Unit* ownData = m_block->data;
    bool ownText = units >= ownData && units <= ownData + length();
    ptrdiff_t offset = units - ownData;
    if (m_block->ref != 1 || needed > capacity()) {
        // Grow by half again so that repeated appends stay cheap.
        int wanted = needed > capacity() ? needed + length() / 2 : needed;
        detach(wanted);
    }
    if (m_block->ref != 1 || needed > capacity())
        return; // the allocation failed; the string stays as it was
    if (ownText)
        units = m_block->data + offset;
    memmove(m_block->data + length(), units, count * sizeof(Unit));
    m_block->length = needed;
    m_block->data[needed] = 0;
}

template <typename Unit> ZuBasicString<Unit>& ZuBasicString<Unit>::append(const ZuBasicString& other) {
    if (other.isNull())
        return *this;
    if (isNull()) {
        *this = other;
        return *this;
    }
    ZuBasicString keep(other); // `other` may be this string
    appendUnits(keep.constData(), keep.length());
    return *this;
}

template <typename Unit> ZuBasicString<Unit>& ZuBasicString<Unit>::append(Unit ch) {
    appendUnits(&ch, 1);
    return *this;
}

template <typename Unit> ZuBasicString<Unit>& ZuBasicString<Unit>::append(const Unit* text) {
    if (text)
        appendUnits(text, unitLength(text));
    return *this;
}

template <typename Unit> Unit* ZuBasicString<Unit>::data() {
    if (length() > 0)
        detach(length());
    return m_block->data;
}

template <typename Unit> void ZuBasicString<Unit>::clear() {
    *this = ZuBasicString();
}

template <typename Unit> void ZuBasicString<Unit>::resize(int n) {
    if (n <= 0) {
        Block* empty = emptyBlock();
        ++empty->ref;
        release(m_block);
        m_block = empty;
        return;
    }
    detach(n);
    if (m_block->ref != 1 || n > capacity())
        return;
    m_block->length = n;
    m_block->data[n] = 0;
}

template class ZuBasicString<char>;
template class ZuBasicString<wchar_t>;

namespace {

ZuString convert(UINT codePage, const char* bytes, int length) {
    if (!bytes)
        return ZuString();
    if (length < 0)
        length = static_cast<int>(strlen(bytes));
    if (length == 0)
        return ZuString(L"");
    ZuString result;
    result.resize(length); // one unit per input byte is always enough
    int produced = MultiByteToWideChar(codePage, 0, bytes, length, result.data(), length);
    result.resize(produced);
    return result;
}

} // namespace

ZuString ZuString::fromUtf8(const char* bytes, int length) {
    return convert(CP_UTF8, bytes, length);
}

ZuString ZuString::fromAnsi(const char* bytes, int length) {
    return convert(CP_ACP, bytes, length);
}

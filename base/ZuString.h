#pragma once

#include <string>

// Reference-counted, copy-on-write strings whose blocks come from the memory
// pool. Copies share one block; a block is copied only when a shared string is
// about to change. Counts are not interlocked: one thread at a time per block.
template <typename Unit> class ZuBasicString {
public:
    ZuBasicString();
    // A null pointer gives the null string, an empty text the empty string.
    ZuBasicString(const Unit* text, int length = -1);
    explicit ZuBasicString(Unit ch);
    ZuBasicString(const ZuBasicString& other);
    ZuBasicString(ZuBasicString&& other) noexcept;
    ZuBasicString& operator=(const ZuBasicString& other);
    ZuBasicString& operator=(ZuBasicString&& other) noexcept;
    ~ZuBasicString();

    static ZuBasicString number(int value, int radix = 10);

    int length() const { return m_block->length; }
    bool isNull() const { return m_block == nullBlock(); }
    bool isEmpty() const { return m_block->length == 0; }
    // The unit at `index`, or 0 outside the string.
    Unit at(int index) const;
    // Always zero-terminated.
    const Unit* constData() const { return m_block->data; }
    // Writable units of a private block (the null and empty strings stay shared).
    Unit* data();
    bool sharesBlockWith(const ZuBasicString& other) const { return m_block == other.m_block; }
    int referenceCount() const { return m_block->ref; }
    int capacity() const { return m_block->capacity; }

    int indexOf(Unit ch, int from = 0) const;
    int indexOf(const ZuBasicString& needle, int from = 0) const;
    // Backwards from `from` to 0; a negative `from` counts from the end.
    int lastIndexOf(Unit ch, int from = -1) const;
    bool equals(const ZuBasicString& other) const;
    bool equals(const Unit* text) const;
    // Code-unit order, then length.
    int compare(const ZuBasicString& other) const;
    bool startsWith(const ZuBasicString& prefix) const;
    bool operator==(const ZuBasicString& other) const { return equals(other); }
    bool operator<(const ZuBasicString& other) const { return compare(other) < 0; }

    ZuBasicString left(int n) const;
    ZuBasicString right(int n) const;
    ZuBasicString mid(int position, int n = -1) const;
    ZuBasicString replace(const ZuBasicString& before, const ZuBasicString& after) const;
    ZuBasicString toUpper() const;

    ZuBasicString& append(const ZuBasicString& other);
    ZuBasicString& append(Unit ch);
    ZuBasicString& append(const Unit* text);
    void clear();
    // n <= 0 gives the empty string; otherwise the length becomes n.
    void resize(int n);

    std::basic_string<Unit> toStdString() const { return std::basic_string<Unit>(constData(), length()); }

private:
    struct Block {
        int ref;
        int capacity;
        int length;
        Unit* data;
        Unit* storage() { return reinterpret_cast<Unit*>(this + 1); }
    };

    struct Adopt {};
    ZuBasicString(Block* block, Adopt) : m_block(block) {}
    static Block* nullBlock();
    static Block* emptyBlock();
    static Block* allocate(int capacity);
    static int capacityFor(int units);
    static void release(Block* block);
    void appendUnits(const Unit* units, int count);
    // Makes the block private to this string with room for `units` units.
    void detach(int units);

    Block* m_block;
};

using ZuByteString = ZuBasicString<char>;

// UTF-16 text of the toolkit.
class ZuString : public ZuBasicString<wchar_t> {
public:
    using ZuBasicString<wchar_t>::ZuBasicString;
    ZuString() = default;
    ZuString(const ZuBasicString<wchar_t>& other) : ZuBasicString<wchar_t>(other) {}
    ZuString(const std::wstring& text)
        : ZuBasicString<wchar_t>(text.c_str(), static_cast<int>(text.size())) {}

    static ZuString fromUtf8(const char* bytes, int length = -1);
    // Bytes in the system's ANSI code page.
    static ZuString fromAnsi(const char* bytes, int length = -1);
};

extern template class ZuBasicString<char>;
extern template class ZuBasicString<wchar_t>;

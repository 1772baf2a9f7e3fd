#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Bytes shared by the mappings that store them and the callers that read
// them; copying shares, never duplicates.
class ZuByteArray {
public:
    ZuByteArray() = default;
    // Empty when `source` is null or its first byte is 0 (how the compiled-in
    // tables mark entries that hold nothing); otherwise a copy of `size` bytes.
    static ZuByteArray fromTableEntry(const uint8_t* source, size_t size);
    static ZuByteArray fromVector(std::vector<uint8_t> bytes);

    const uint8_t* data() const { return m_bytes ? m_bytes->data() : nullptr; }
    size_t size() const { return m_bytes ? m_bytes->size() : 0; }
    bool isEmpty() const { return size() == 0; }
    bool sharesWith(const ZuByteArray& other) const { return m_bytes && m_bytes == other.m_bytes; }

private:
    std::shared_ptr<const std::vector<uint8_t>> m_bytes;
};

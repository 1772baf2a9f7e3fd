#include "ui/resource/ZuByteArray.h"

ZuByteArray ZuByteArray::fromTableEntry(const uint8_t* source, size_t size) {
    if (!source || size == 0 || source[0] == 0)
        return {};
    return fromVector(std::vector<uint8_t>(source, source + size));
}

ZuByteArray ZuByteArray::fromVector(std::vector<uint8_t> bytes) {
    ZuByteArray array;
    if (!bytes.empty())
        array.m_bytes = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
    return array;
}

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quor {

// The MD5 message digest of RFC 1321.
void md5Digest(const void* data, size_t size, uint8_t digest[16]);

// The digest as 32 lower-case hexadecimal digits.
std::wstring md5Hex(const void* data, size_t size);

} // namespace quor

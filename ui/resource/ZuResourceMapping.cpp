#include "ui/resource/ZuResourceMapping.h"

#include <windows.h>

#include <vector>

ZU_DEFINE_CLASS(ZuResourceMapping, ZuRttiObject, ZU_TAG('R', 'M', 'N', 'G'))
ZU_DEFINE_CLASS(ZuResourceMappingDLL, ZuResourceMapping, ZU_TAG('R', 'M', 'L', 'L'))
ZU_DEFINE_CLASS(ZuResourceMappingFile, ZuResourceMapping, ZU_TAG('R', 'M', 'F', 'E'))

ZuResourceMapping::~ZuResourceMapping() = default;

bool ZuResourceMapping::contains(const ZuUrl& url) const {
    return m_entries.count(url.toString()) != 0;
}

ZuByteArray ZuResourceMapping::data(const ZuUrl& url) const {
    auto it = m_entries.find(url.toString());
    return it == m_entries.end() ? ZuByteArray() : it->second;
}

bool ZuResourceMapping::add(const ZuUrl& url, const ZuByteArray& bytes) {
    m_entries[url.toString()] = bytes;
    return true;
}

ZuByteArray& ZuResourceMapping::entry(const ZuUrl& url) {
    return m_entries[url.toString()];
}

bool ZuResourceMapping::isWritable(const ZuUrl&) const {
    return false;
}

bool ZuResourceMappingFile::contains(const ZuUrl& url) const {
    DWORD attributes = GetFileAttributesW(url.path().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

ZuByteArray ZuResourceMappingFile::data(const ZuUrl& url) const {
    ZuByteArray stored = ZuResourceMapping::data(url);
    if (!stored.isEmpty())
        return stored;
    HANDLE file = CreateFileW(url.path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::vector<uint8_t> bytes;
    LARGE_INTEGER size{};
    // Pictures and texts are small; anything beyond 256 MB is not one of them.
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (256 << 20)) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
            read = 0;
        bytes.resize(read);
    }
    CloseHandle(file);
    return ZuByteArray::fromVector(std::move(bytes));
}

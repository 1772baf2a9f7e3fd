#pragma once

#include "ui/resource/ZuByteArray.h"
#include "ui/resource/ZuUrl.h"

#include <cstdint>
#include <map>
#include <string>

class ZuResourceMapping;
class ZuRttiObject;

// The process-wide registry of resource mappings, one per address scheme.
class ZuResourceLib {
public:
    static ZuResourceLib* instance();

    // Refuses a scheme that exists and an object that is not a mapping; on
    // success the registry owns the mapping, on refusal the caller keeps it.
    bool registerMapping(const std::wstring& scheme, ZuRttiObject* mapping);
    ZuResourceMapping* mapping(const std::wstring& scheme) const;
    // No mapping for the scheme gives an empty array.
    ZuByteArray data(const ZuUrl& url) const;

private:
    ZuResourceLib();
    std::map<std::wstring, ZuResourceMapping*> m_mappings;
};

// A compiled-in table: `count` entries whose bytes lie one after another in
// `block`; entry i is `names[i]` and `sizes[i]` bytes long. Each entry is
// copied and stored under "dll:///" + name unless it is empty (size 0 or
// first byte 0). Returns true.
bool registerResourceTable(int count, const char* const* names, const uint8_t* block, const uint32_t* sizes);

#pragma once

#include "ui/core/ZuRttiObject.h"
#include "ui/resource/ZuByteArray.h"
#include "ui/resource/ZuUrl.h"

#include <map>
#include <string>

// Serves the bytes of one address scheme. The base keeps a map from address
// text to bytes; the subclasses decide where bytes come from.
class ZuResourceMapping : public ZuRttiObject {
    ZU_DECLARE_CLASS(ZuResourceMapping)
public:
    ~ZuResourceMapping() override;

    virtual bool contains(const ZuUrl& url) const;
    // The bytes, or an empty array.
    virtual ZuByteArray data(const ZuUrl& url) const;
    // Stores or replaces.
    virtual bool add(const ZuUrl& url, const ZuByteArray& bytes);
    // The stored slot for the address, created empty when missing.
    virtual ZuByteArray& entry(const ZuUrl& url);
    // No mapping of the toolkit accepts writes.
    virtual bool isWritable(const ZuUrl& url) const;

    size_t size() const { return m_entries.size(); }

protected:
    std::map<std::wstring, ZuByteArray> m_entries;
};

// The compiled-in tables of the programs, under "dll:///".
class ZuResourceMappingDLL : public ZuResourceMapping {
    ZU_DECLARE_CLASS(ZuResourceMappingDLL)
};

// Files on disk, under "file:///": read whole on each request.
class ZuResourceMappingFile : public ZuResourceMapping {
    ZU_DECLARE_CLASS(ZuResourceMappingFile)
public:
    bool contains(const ZuUrl& url) const override;
    ZuByteArray data(const ZuUrl& url) const override;
};

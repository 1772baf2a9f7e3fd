#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

class ZuRttiObject;

// Packs four letters big-endian: ZU_TAG('I','T','E','M') is 0x4954454D.
#define ZU_TAG(a, b, c, d)                                                                                   \
    static_cast<int32_t>((static_cast<uint32_t>(a) << 24) | (static_cast<uint32_t>(b) << 16) |               \
                         (static_cast<uint32_t>(c) << 8) | static_cast<uint32_t>(d))

// Run-time type information of one toolkit class; created on first use and
// never freed. A tag of 0 takes the next value of a process-wide counter.
class ZuClassRecord {
public:
    using Factory = ZuRttiObject* (*)();

    ZuClassRecord(const char* name, int32_t tag, Factory factory, const ZuClassRecord* parent,
                  size_t instanceSize);
    ZuClassRecord(const ZuClassRecord&) = delete;
    ZuClassRecord& operator=(const ZuClassRecord&) = delete;

    const char* name() const { return m_name; }
    const ZuClassRecord* parent() const { return m_parent; }
    int32_t tag() const { return m_tag; }
    Factory factory() const { return m_factory; }
    size_t instanceSize() const { return m_instanceSize; }
    // True when this record or one of its ancestors is `other`.
    bool isA(const ZuClassRecord* other) const;

private:
    const char* m_name;
    const ZuClassRecord* m_parent;
    int32_t m_tag;
    Factory m_factory;
    size_t m_instanceSize;
};

// Process-wide maps from name and from tag to record. The first record of a
// name or of a tag wins.
class ZuClassRegistry {
public:
    static ZuClassRegistry* instance();

    // False (and nothing changes) when the name or the tag is already present.
    bool registerRecord(const ZuClassRecord* record);
    const ZuClassRecord* recordByName(const char* name) const;
    const ZuClassRecord* recordByTag(int32_t tag) const;
    size_t size() const { return m_byName.size(); }

    // Static-initialisation hook of each class: obtains (creates) the record
    // unless the name is already known.
    static bool registrationHook(const char* name, const ZuClassRecord* (*record)());

private:
    std::map<std::string, const ZuClassRecord*> m_byName;
    std::map<int32_t, const ZuClassRecord*> m_byTag;
};

const ZuClassRecord* recordByName(const char* name);
// Calls the record's factory; null for abstract classes, a null record or a failed allocation.
ZuRttiObject* createInstance(const ZuClassRecord* record);

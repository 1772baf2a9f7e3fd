#pragma once

#include "base/MemPool.h"
#include "ui/core/ZuClassRecord.h"

#include <new>
#include <type_traits>

struct ZuWeakCell;

// Base of every toolkit class: carries its class record instead of compiler
// type information, and is allocated from the memory pool (whose blocks are
// 4-byte aligned, which x86 and x64 accept for 8-byte members).
class ZuRttiObject {
public:
    ZuRttiObject() = default;
    ZuRttiObject(const ZuRttiObject&) : ZuRttiObject() {}
    ZuRttiObject& operator=(const ZuRttiObject&) { return *this; }
    virtual const ZuClassRecord* classRecord() const { return staticRecord(); }
    virtual ~ZuRttiObject();

    static const ZuClassRecord* staticRecord();

    bool isA(const ZuClassRecord* record) const { return classRecord()->isA(record); }
    bool inherits(const char* name) const { return isA(recordByName(name)); }

    // A failed pool allocation makes the new-expression yield null.
    static void* operator new(size_t n) noexcept { return mp_alloc(n); }
    static void operator delete(void* p) noexcept { mp_free(p); }
    // `delete` ends the object's identity before any destructor runs: weak
    // references read null, guards are cleared and connections to it are
    // skipped while the most-derived members are still being torn down.
    static void operator delete(ZuRttiObject* object, std::destroying_delete_t) noexcept;
    static void* operator new(size_t, void* where) noexcept { return where; }
    static void operator delete(void*, void*) noexcept {}

private:
    friend class ZuWeakRefRegistry;
    ZuWeakCell* m_weakCell = nullptr;
};

// Checked down-cast: the object when it is non-null and a kind of T, else null.
template <typename T> T* zu_cast(ZuRttiObject* object) {
    return object && object->isA(T::staticRecord()) ? static_cast<T*>(object) : nullptr;
}
template <typename T> const T* zu_cast(const ZuRttiObject* object) {
    return object && object->isA(T::staticRecord()) ? static_cast<const T*>(object) : nullptr;
}

template <typename T> ZuRttiObject* zuDefaultFactory() {
    if constexpr (std::is_default_constructible_v<T> && !std::is_abstract_v<T>)
        return new T;
    else
        return nullptr;
}

#define ZU_DECLARE_CLASS(Cls)                                                                                \
public:                                                                                                      \
    static const ZuClassRecord* staticRecord();                                                              \
    const ZuClassRecord* classRecord() const override {                                                      \
        return staticRecord();                                                                               \
    }                                                                                                        \
                                                                                                             \
private:

#define ZU_CONCAT_INNER(a, b) a##b
#define ZU_CONCAT(a, b) ZU_CONCAT_INNER(a, b)

// In the class's source file: its record (created on first use) and the
// static-initialisation hook that registers it.
#define ZU_DEFINE_CLASS(Cls, Parent, tag)                                                                    \
    static_assert(alignof(Cls) <= 8, "pool blocks suit types aligned to at most 8 bytes");                   \
    const ZuClassRecord* Cls::staticRecord() {                                                               \
        static const ZuClassRecord* record =                                                                 \
            new ZuClassRecord(#Cls, tag, &zuDefaultFactory<Cls>, Parent::staticRecord(), sizeof(Cls));       \
        return record;                                                                                       \
    }                                                                                                        \
    namespace {                                                                                              \
    const bool ZU_CONCAT(zuRegistered_, Cls) = ZuClassRegistry::registrationHook(#Cls, &Cls::staticRecord);  \
    }

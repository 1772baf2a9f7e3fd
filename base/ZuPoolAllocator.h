#pragma once

#include "base/MemPool.h"

#include <cstddef>
#include <new>

// Standard-container allocator on the memory pool: the toolkit's map and list
// nodes are small blocks.
template <typename T> struct ZuPoolAllocator {
    using value_type = T;

    ZuPoolAllocator() noexcept = default;
    template <typename U> ZuPoolAllocator(const ZuPoolAllocator<U>&) noexcept {}

    T* allocate(size_t n) {
        void* p = mp_alloc(n * sizeof(T));
        if (!p)
            throw std::bad_alloc(); // containers have no other way to fail
        return static_cast<T*>(p);
    }
    void deallocate(T* p, size_t) noexcept { mp_free(p); }

    template <typename U> bool operator==(const ZuPoolAllocator<U>&) const noexcept { return true; }
};

#pragma once

#include <cstddef>
#include <vector>

class ZuRttiObject;

// The shared cell of all weak references to one object.
struct ZuWeakCell {
    ZuRttiObject* object;
    int count;
};

// Hands out the cells. Destroyed objects retire their cell to a dead list,
// which is swept of unreferenced cells once it grows past a threshold.
class ZuWeakRefRegistry {
public:
    static constexpr size_t kBaseThreshold = 1000;

    static ZuWeakRefRegistry* instance();

    ZuWeakCell* acquire(ZuRttiObject* object);
    void release(ZuWeakCell* cell);
    void retire(ZuRttiObject* object);

    size_t deadCells() const { return m_dead.size(); }
    size_t threshold() const { return m_threshold; }

private:
    void sweep();

    std::vector<ZuWeakCell*> m_dead;
    size_t m_threshold = kBaseThreshold;
};

// A reference that never keeps its object alive and reads null once it is gone.
class ZuWeakRef {
public:
    ZuWeakRef() = default;
    explicit ZuWeakRef(ZuRttiObject* object);
    ZuWeakRef(const ZuWeakRef& other);
    ZuWeakRef& operator=(const ZuWeakRef& other);
    ZuWeakRef& operator=(ZuRttiObject* object);
    ~ZuWeakRef();

    ZuRttiObject* get() const { return m_cell ? m_cell->object : nullptr; }
    bool isNull() const { return get() == nullptr; }
    void reset();
    int sharedCount() const { return m_cell ? m_cell->count : 0; }

private:
    ZuWeakCell* m_cell = nullptr;
};

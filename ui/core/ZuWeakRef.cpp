#include "ui/core/ZuWeakRef.h"

#include "base/MemPool.h"
#include "ui/core/ZuRttiObject.h"

ZuWeakRefRegistry* ZuWeakRefRegistry::instance() {
    // Never destroyed: objects may die in exit-time destructors.
    static ZuWeakRefRegistry* registry = new ZuWeakRefRegistry;
    return registry;
}

ZuWeakCell* ZuWeakRefRegistry::acquire(ZuRttiObject* object) {
    if (!object)
        return nullptr;
    ZuWeakCell* cell = object->m_weakCell;
    if (!cell) {
        // Reuse a cell of a dead object that nobody refers to any more.
        for (size_t i = m_dead.size(); i-- > 0;) {
            if (m_dead[i]->count == 0) {
                cell = m_dead[i];
                m_dead[i] = m_dead.back();
                m_dead.pop_back();
                break;
            }
        }
        if (!cell)
            cell = static_cast<ZuWeakCell*>(mp_alloc(sizeof(ZuWeakCell)));
        if (!cell)
            return nullptr;
        cell->object = object;
        cell->count = 0;
        object->m_weakCell = cell;
    }
    ++cell->count;
    return cell;
}

void ZuWeakRefRegistry::release(ZuWeakCell* cell) {
    if (cell)
        --cell->count;
}

void ZuWeakRefRegistry::retire(ZuRttiObject* object) {
    ZuWeakCell* cell = object->m_weakCell;
    if (!cell)
        return;
    object->m_weakCell = nullptr;
    cell->object = nullptr;
    m_dead.push_back(cell);
    if (m_dead.size() > m_threshold)
        sweep();
}

void ZuWeakRefRegistry::sweep() {
    size_t before = m_dead.size();
    size_t kept = 0;
    for (ZuWeakCell* cell : m_dead) {
        if (cell->count == 0)
            mp_free(cell);
        else
            m_dead[kept++] = cell;
    }
    m_dead.resize(kept);
    if (kept < before)
        m_threshold = kept > kBaseThreshold ? kept : kBaseThreshold;
    else
        m_threshold *= 2;
}

ZuWeakRef::ZuWeakRef(ZuRttiObject* object) : m_cell(ZuWeakRefRegistry::instance()->acquire(object)) {}

ZuWeakRef::ZuWeakRef(const ZuWeakRef& other) : m_cell(other.m_cell) {
    if (m_cell)
        ++m_cell->count;
}

ZuWeakRef& ZuWeakRef::operator=(const ZuWeakRef& other) {
    if (other.m_cell)
        ++other.m_cell->count;
    reset();
    m_cell = other.m_cell;
    return *this;
}

ZuWeakRef& ZuWeakRef::operator=(ZuRttiObject* object) {
    ZuWeakCell* cell = ZuWeakRefRegistry::instance()->acquire(object);
    reset();
    m_cell = cell;
    return *this;
}

ZuWeakRef::~ZuWeakRef() {
    reset();
}

void ZuWeakRef::reset() {
    ZuWeakRefRegistry::instance()->release(m_cell);
    m_cell = nullptr;
}

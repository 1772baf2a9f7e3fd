#include "ui/layout/ZuPositioners.h"

#include "ui/core/ZuDebugOutput.h"
#include "ui/layout/ZuAnchors.h"

#include <algorithm>
#include <string>

ZU_DEFINE_CLASS(ZuBasePositioner, ZuGraphicsItem, ZU_TAG('G', 'B', 'P', 'R'))
ZU_DEFINE_CLASS(ZuRowPositioner, ZuBasePositioner, ZU_TAG('G', 'R', 'P', 'R'))
ZU_DEFINE_CLASS(ZuColumnPositioner, ZuBasePositioner, ZU_TAG('G', 'C', 'P', 'R'))

ZuBasePositioner::ZuBasePositioner(ZuGraphicsItem* parent, ZuGraphicsScene* scene)
    : ZuBasePositioner(Base, parent, scene) {}

ZuBasePositioner::ZuBasePositioner(int kind, ZuGraphicsItem* parent, ZuGraphicsScene* scene)
    : ZuGraphicsItem(parent, scene), m_kind(kind) {
    setItemFlag(HasNoContents, true);
}

ZuBasePositioner::~ZuBasePositioner() {
    // The children outlive this part of the object: stop listening first.
    m_dying = true;
    for (const Entry& entry : m_entries)
        entry.item->removeChangeListener(&m_listener);
    m_entries.clear();
}

void ZuBasePositioner::setSpacing(double spacing) {
    if (spacing == m_spacing)
        return;
    m_spacing = spacing;
    reposition();
}

void ZuBasePositioner::setAutoWidth(bool on) {
    m_flags = on ? (m_flags | AutoWidth) : (m_flags & ~AutoWidth);
    reposition();
}

void ZuBasePositioner::setAutoHeight(bool on) {
    m_flags = on ? (m_flags | AutoHeight) : (m_flags & ~AutoHeight);
    reposition();
}

void ZuBasePositioner::itemChanged(int change, const ZuVariant& newValue, const ZuVariant& oldValue) {
    ZuGraphicsItem::itemChanged(change, newValue, oldValue);
    if (!m_dying && (change == ChildAdded || change == ChildRemoved))
        reposition();
}

void ZuBasePositioner::ChildListener::itemNotify(uint32_t maskBit, ZuGraphicsItem* item, const ZuVariant&,
                                                 const ZuVariant&) {
    if (maskBit == ItemDestroyed)
        m_owner->childDestroyed(item);
    else
        m_owner->reposition();
}

void ZuBasePositioner::childDestroyed(ZuGraphicsItem* child) {
    auto it =
        std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.item == child; });
    if (it == m_entries.end())
        return;
    m_entries.erase(it);
    child->removeChangeListener(&m_listener);
}

void ZuBasePositioner::reposition() {
    if (m_dying || (m_flags & Positioning))
        return;
    m_flags |= Positioning;

    const std::vector<ZuGraphicsItem*>& children = childItems(); // stacking order
    std::vector<Entry> entries;
    entries.reserve(children.size());
    std::vector<ZuGraphicsItem*> fresh;
    for (ZuGraphicsItem* child : children) {
        bool shown = child->isVisible() && child->width() != 0 && child->height() != 0;
        auto old =
            std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.item == child; });
        if (old == m_entries.end()) {
            entries.push_back(Entry{child, true, shown, false});
            fresh.push_back(child);
            continue;
        }
        Entry entry = *old;
        if (!shown)
            entry.isVisible = false;
        else if (entry.isVisible)
            entry.isNew = false;
        else
            entry.isVisible = entry.isNew = true;
        entries.push_back(entry);
        m_entries.erase(old);
    }
    for (const Entry& gone : m_entries)
        gone.item->removeChangeListener(&m_listener);
    m_entries.swap(entries);
    for (ZuGraphicsItem* child : fresh)
        child->addChangeListener(&m_listener);
    // Anchors are often set after the child joined: look again each time.
    for (Entry& entry : m_entries)
        if (!entry.reported && reportConflictingAnchors(entry.item))
            entry.reported = true;

    ZuSizeF size;
    doPositioning(size);

    m_flags &= ~Positioning;
    m_implicitHeight = size.height;
    m_implicitWidth = size.width;
    if ((m_flags & AutoWidth) && (m_flags & AutoHeight))
        resize(size.width, size.height);
    else if (m_flags & AutoHeight)
        setHeight(size.height);
    else if (m_flags & AutoWidth)
        setWidth(size.width);
}

void ZuBasePositioner::doPositioning(ZuSizeF&) {}

bool ZuBasePositioner::reportConflictingAnchors(ZuGraphicsItem*) {
    return false;
}

void ZuBasePositioner::warn(const wchar_t* text) const {
    std::wstring line = objectPath().toStdString() + L": " + text;
    zuDebugLine(line.c_str());
}

void ZuRowPositioner::doPositioning(ZuSizeF& size) {
    double x = 0;
    bool any = false;
    for (const Entry& entry : entries()) {
        if (!entry.isVisible)
            continue;
        any = true;
        if (entry.item->pos().x != x)
            entry.item->setX(x);
        size.height = std::max(size.height, entry.item->height());
        x += entry.item->width() + spacing();
    }
    // No visible child leaves an empty row, not one of negative width.
    size.width = any ? x - spacing() : 0;
}

void ZuColumnPositioner::doPositioning(ZuSizeF& size) {
    double y = 0;
    bool any = false;
    for (const Entry& entry : entries()) {
        if (!entry.isVisible)
            continue;
        any = true;
        if (entry.item->pos().y != y)
            entry.item->setY(y);
        size.width = std::max(size.width, entry.item->width());
        y += entry.item->height() + spacing();
    }
    size.height = any ? y - spacing() : 0;
}

bool ZuRowPositioner::reportConflictingAnchors(ZuGraphicsItem* child) {
    const ZuAnchors* anchors = ZuAnchors::existing(child);
    if (!anchors ||
        !((anchors->usedLines() & ZuAnchors::kHorizontalMask) || anchors->fill() || anchors->centerIn()))
        return false;
    warn(L"Cannot specify left, right, horizontalCenter, fill or centerIn anchors for items inside Row");
    return true;
}

bool ZuColumnPositioner::reportConflictingAnchors(ZuGraphicsItem* child) {
    const ZuAnchors* anchors = ZuAnchors::existing(child);
    if (!anchors ||
        !((anchors->usedLines() & ZuAnchors::kVerticalMask) || anchors->fill() || anchors->centerIn()))
        return false;
    warn(L"Cannot specify top, bottom, verticalCenter, fill or centerIn anchors for items inside Column");
    return true;
}

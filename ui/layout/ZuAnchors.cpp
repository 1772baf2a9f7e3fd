#include "ui/layout/ZuAnchors.h"

#include "ui/core/ZuDebugOutput.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

ZU_DEFINE_CLASS(ZuAnchors, ZuRttiObject, ZU_TAG('A', 'N', 'C', 'S'))

namespace {

bool differs(double a, double b) {
    return std::fabs(a - b) > 1e-12;
}

bool isHorizontalLine(int line) {
    return line & ZuAnchors::kHorizontalMask;
}

// Slot order: left, right, top, bottom, vertical centre, horizontal centre, baseline.
const int kSlotLines[7] = {ZuAnchors::Left,    ZuAnchors::Right,          ZuAnchors::Top,
                           ZuAnchors::Bottom,  ZuAnchors::VerticalCenter, ZuAnchors::HorizontalCenter,
                           ZuAnchors::Baseline};

// Follows the updating bit back down even when a callback returns early.
struct Depth {
    explicit Depth(int& counter) : counter(counter) { ++counter; }
    ~Depth() { --counter; }
    int& counter;
};

} // namespace

ZuAnchors* ZuAnchors::of(ZuGraphicsItem* item) {
    if (!item)
        return nullptr;
    if (ZuAnchors* anchors = existing(item))
        return anchors;
    auto* anchors = new ZuAnchors(item);
    if (anchors)
        item->setAnchorsObject(anchors);
    return anchors;
}

ZuAnchors* ZuAnchors::existing(const ZuGraphicsItem* item) {
    return item ? zu_cast<ZuAnchors>(item->anchorsObject()) : nullptr;
}

ZuAnchors::ZuAnchors(ZuGraphicsItem* item) : ZuItemChangeListener(0x31), m_item(item) {
    // Its own size matters too: a centred item stays centred as it grows.
    if (m_item)
        m_item->addChangeListener(this);
}

ZuAnchors::~ZuAnchors() {
    for (auto& [target, uses] : m_targets)
        target->removeChangeListener(this);
    m_targets.clear();
    if (m_item)
        m_item->removeChangeListener(this);
}

double ZuAnchors::half(double length) {
    long long whole = static_cast<long long>(length);
    return whole % 2 != 0 ? (length + 1) * 0.5 : length * 0.5;
}

int ZuAnchors::slotIndex(int line) {
    for (int i = 0; i < 7; ++i)
        if (kSlotLines[i] == line)
            return i;
    return -1;
}

void ZuAnchors::warn(const wchar_t* text) const {
    std::wstring line;
    if (m_item)
        line = m_item->objectPath().toStdString() + L": ";
    line += text;
    zuDebugLine(line.c_str());
}

bool ZuAnchors::isParentOrSibling(const ZuGraphicsItem* target) const {
    if (!target || !m_item)
        return false;
    ZuGraphicsItem* parent = m_item->parentItem();
    return parent && (target == parent || target->parentItem() == parent);
}

// Whether `target` follows this item, directly or through other anchors,
// along the given direction: anchoring to it would close a loop.
bool ZuAnchors::dependsOn(const ZuGraphicsItem* target, bool horizontal) const {
    std::vector<const ZuGraphicsItem*> todo{target}, seen;
    while (!todo.empty()) {
        const ZuGraphicsItem* at = todo.back();
        todo.pop_back();
        if (at == m_item)
            return true;
        if (std::find(seen.begin(), seen.end(), at) != seen.end())
            continue;
        seen.push_back(at);
        const ZuAnchors* anchors = existing(at);
        if (!anchors)
            continue;
        if (anchors->m_fill)
            todo.push_back(anchors->m_fill);
        if (anchors->m_centerIn)
            todo.push_back(anchors->m_centerIn);
        for (int i = 0; i < 7; ++i) {
            const Slot& slot = anchors->m_slots[i];
            if (slot.target && (anchors->m_used & kSlotLines[i]) &&
                isHorizontalLine(kSlotLines[i]) == horizontal)
                todo.push_back(slot.target);
        }
    }
    return false;
}

double ZuAnchors::linePosition(const ZuGraphicsItem* target, int line) const {
    bool parent = target == m_item->parentItem();
    double x = parent ? 0 : target->pos().x;
    double y = parent ? 0 : target->pos().y;
    switch (line) {
    case Left:
        return x;
    case Right:
        return x + target->width();
    case HorizontalCenter:
        return x + half(target->width());
    case Top:
    case Baseline: // items have no baseline of their own
        return y;
    case Bottom:
        return y + target->height();
    case VerticalCenter:
        return y + half(target->height());
    default:
        return 0;
    }
}

bool ZuAnchors::lineUsable(int line) const {
    int index = slotIndex(line);
    return (m_used & line) && index >= 0 && m_slots[index].target && isParentOrSibling(m_slots[index].target);
}

ZuGraphicsItem* ZuAnchors::lineTarget(int ownLine) const {
    int index = slotIndex(ownLine);
    return index >= 0 && (m_used & ownLine) ? m_slots[index].target : nullptr;
}

int ZuAnchors::lineTargetLine(int ownLine) const {
    int index = slotIndex(ownLine);
    return index >= 0 && (m_used & ownLine) ? m_slots[index].line : NoLine;
}

void ZuAnchors::addTarget(ZuGraphicsItem* target) {
    if (target && m_targets[target]++ == 0)
        target->addChangeListener(this);
}

void ZuAnchors::releaseTarget(ZuGraphicsItem* target) {
    auto it = target ? m_targets.find(target) : m_targets.end();
    if (it == m_targets.end())
        return;
    if (--it->second <= 0) {
        m_targets.erase(it);
        target->removeChangeListener(this);
    }
}

void ZuAnchors::setFill(ZuGraphicsItem* target) {
    if (target == m_fill)
        return;
    if (target && !isParentOrSibling(target)) {
        warn(L"Cannot anchor to an item that isn't a parent or sibling.");
        return;
    }
    if (target && (dependsOn(target, true) || dependsOn(target, false))) {
        warn(L"Possible anchor loop detected on fill.");
        return;
    }
    releaseTarget(m_fill);
    m_fill = target;
    addTarget(m_fill);
    if (m_fill)
        applyFill();
    else
        applyAll(true, true);
}

void ZuAnchors::setCenterIn(ZuGraphicsItem* target) {
    if (target == m_centerIn)
        return;
    if (target && !isParentOrSibling(target)) {
        warn(L"Cannot anchor to an item that isn't a parent or sibling.");
        return;
    }
    if (target && (dependsOn(target, true) || dependsOn(target, false))) {
        warn(L"Possible anchor loop detected on centerIn.");
        return;
    }
    releaseTarget(m_centerIn);
    m_centerIn = target;
    addTarget(m_centerIn);
    applyAll(true, true);
}

void ZuAnchors::setLine(int ownLine, ZuGraphicsItem* target, int targetLine) {
    int index = slotIndex(ownLine);
    if (index < 0 || !m_item)
        return;
    Slot& slot = m_slots[index];
    if ((m_used & ownLine) && slot.target == target && slot.line == targetLine)
        return;
    bool horizontal = isHorizontalLine(ownLine);
    if (!target) {
        warn(L"Cannot anchor to a null item.");
        return;
    }
    if (horizontal && !isHorizontalLine(targetLine)) {
        warn(L"Cannot anchor a horizontal edge to a vertical edge.");
        return;
    }
    if (!horizontal && !(targetLine & kVerticalMask)) {
        warn(L"Cannot anchor a vertical edge to a horizontal edge.");
        return;
    }
    if (!isParentOrSibling(target)) {
        warn(L"Cannot anchor to an item that isn't a parent or sibling.");
        return;
    }
    if (target == m_item) {
        warn(L"Cannot anchor item to self.");
        return;
    }
    int used = m_used | ownLine;
    if ((used & kHorizontalMask) == kHorizontalMask) {
        warn(L"Cannot specify left, right, and hcenter anchors.");
        return;
    }
    if ((used & (Top | Bottom | VerticalCenter)) == (Top | Bottom | VerticalCenter)) {
        warn(L"Cannot specify top, bottom, and vcenter anchors.");
        return;
    }
    if ((used & Baseline) && (used & (Top | Bottom | VerticalCenter))) {
        warn(L"Baseline anchor cannot be used in conjunction with top, bottom, or vcenter anchors.");
        return;
    }
    // A loop would make the items chase each other: refuse it up front.
    if (target != m_item->parentItem() && dependsOn(target, horizontal)) {
        warn(horizontal ? L"Possible anchor loop detected on horizontal anchor."
                        : L"Possible anchor loop detected on vertical anchor.");
        return;
    }
    ZuGraphicsItem* old = (m_used & ownLine) ? slot.target : nullptr;
    m_used = used;
    slot.target = target;
    slot.line = targetLine;
    addTarget(target);
    releaseTarget(old);
    applyLines(horizontal, !horizontal);
}

void ZuAnchors::resetLine(int ownLine) {
    int index = slotIndex(ownLine);
    if (index < 0 || !(m_used & ownLine))
        return;
    ZuGraphicsItem* old = m_slots[index].target;
    m_slots[index] = Slot();
    m_used &= ~ownLine;
    releaseTarget(old);
}

void ZuAnchors::setLeftMargin(double m) {
    if (m == m_leftMargin)
        return;
    m_leftMargin = m;
    m_fill ? applyFill() : applyLines(true, false);
}

void ZuAnchors::setRightMargin(double m) {
    if (m == m_rightMargin)
        return;
    m_rightMargin = m;
    m_fill ? applyFill() : applyLines(true, false);
}

void ZuAnchors::setTopMargin(double m) {
    if (m == m_topMargin)
        return;
    m_topMargin = m;
    m_fill ? applyFill() : applyLines(false, true);
}

void ZuAnchors::setBottomMargin(double m) {
    if (m == m_bottomMargin)
        return;
    m_bottomMargin = m;
    m_fill ? applyFill() : applyLines(false, true);
}

void ZuAnchors::setHorizontalCenterOffset(double m) {
    if (m == m_hCenterOffset)
        return;
    m_hCenterOffset = m;
    m_centerIn ? applyCenterIn() : applyLines(true, false);
}

void ZuAnchors::setVerticalCenterOffset(double m) {
    if (m == m_vCenterOffset)
        return;
    m_vCenterOffset = m;
    m_centerIn ? applyCenterIn() : applyLines(false, true);
}

void ZuAnchors::setBaselineOffset(double m) {
    if (m == m_baselineOffset)
        return;
    m_baselineOffset = m;
    applyLines(false, true);
}

void ZuAnchors::setMargins(double m) {
    if (m == m_margins)
        return;
    double previous = m_margins;
    if (m_rightMargin == 0 || m_rightMargin == previous)
        setRightMargin(m);
    if (m_leftMargin == 0 || m_leftMargin == previous)
        setLeftMargin(m);
    if (m_topMargin == 0 || m_topMargin == previous)
        setTopMargin(m);
    if (m_bottomMargin == 0 || m_bottomMargin == previous)
        setBottomMargin(m);
    m_margins = m;
}

ZuRectF ZuAnchors::itemGeometry() const {
    return ZuRectF{m_item->pos().x, m_item->pos().y, m_item->width(), m_item->height()};
}

void ZuAnchors::setItemGeometry(const ZuRectF& rect) {
    ZuRectF now = itemGeometry();
    if (!differs(rect.x, now.x) && !differs(rect.y, now.y) && !differs(rect.width, now.width) &&
        !differs(rect.height, now.height))
        return;
    bool was = m_updating;
    m_updating = true;
    m_item->setGeometry(rect);
    m_updating = was;
}

void ZuAnchors::applyFill() {
    if (!m_enabled || !m_fill || !m_item)
        return;
    if (m_fillDepth >= 2) {
        warn(L"Possible anchor loop detected on fill.");
        return;
    }
    Depth depth(m_fillDepth);
    bool parent = m_fill == m_item->parentItem();
    double x = (parent ? 0 : m_fill->pos().x) + m_leftMargin;
    double y = (parent ? 0 : m_fill->pos().y) + m_topMargin;
    setItemGeometry(ZuRectF{x, y, m_fill->width() - m_leftMargin - m_rightMargin,
                            m_fill->height() - m_topMargin - m_bottomMargin});
}

void ZuAnchors::applyCenterIn() {
    if (!m_enabled || !m_centerIn || m_fill || !m_item)
        return;
    if (m_centerInDepth >= 2) {
        warn(L"Possible anchor loop detected on centerIn.");
        return;
    }
    Depth depth(m_centerInDepth);
    ZuRectF rect = itemGeometry();
    rect.x = linePosition(m_centerIn, HorizontalCenter) - half(rect.width) + m_hCenterOffset;
    rect.y = linePosition(m_centerIn, VerticalCenter) - half(rect.height) + m_vCenterOffset;
    setItemGeometry(rect);
}

void ZuAnchors::applyLines(bool horizontal, bool vertical) {
    if (!m_enabled || m_fill || m_centerIn || !m_item)
        return;
    if (horizontal && m_horizontalDepth >= 2) {
        warn(L"Possible anchor loop detected on horizontal anchor.");
        horizontal = false;
    }
    if (vertical && m_verticalDepth >= 2) {
        warn(L"Possible anchor loop detected on vertical anchor.");
        vertical = false;
    }
    if (!horizontal && !vertical)
        return;
    Depth hDepth(m_horizontalDepth), vDepth(m_verticalDepth);
    ZuRectF rect = itemGeometry();
    auto position = [&](int line) {
        const Slot& slot = m_slots[slotIndex(line)];
        return linePosition(slot.target, slot.line);
    };
    if (horizontal) {
        if (lineUsable(Left)) {
            double left = position(Left) + m_leftMargin;
            if (lineUsable(Right))
                rect.width = position(Right) - m_rightMargin - left;
            else if (lineUsable(HorizontalCenter))
                rect.width = 2 * (position(HorizontalCenter) + m_hCenterOffset - left);
            rect.x = left;
        } else if (lineUsable(Right)) {
            if (lineUsable(HorizontalCenter))
                rect.width =
                    2 * (position(Right) - m_rightMargin - (position(HorizontalCenter) + m_hCenterOffset));
            rect.x = position(Right) - rect.width - m_rightMargin;
        } else if (lineUsable(HorizontalCenter)) {
            rect.x = position(HorizontalCenter) - half(rect.width) + m_hCenterOffset;
        }
    }
    if (vertical) {
        if (lineUsable(Top)) {
            double top = position(Top) + m_topMargin;
            if (lineUsable(Bottom))
                rect.height = position(Bottom) - m_bottomMargin - top;
            else if (lineUsable(VerticalCenter))
                rect.height = 2 * (position(VerticalCenter) + m_vCenterOffset - top);
            rect.y = top;
        } else if (lineUsable(Bottom)) {
            if (lineUsable(VerticalCenter))
                rect.height =
                    2 * (position(Bottom) - m_bottomMargin - (position(VerticalCenter) + m_vCenterOffset));
            rect.y = position(Bottom) - rect.height - m_bottomMargin;
        } else if (lineUsable(VerticalCenter)) {
            rect.y = position(VerticalCenter) - half(rect.height) + m_vCenterOffset;
        } else if (lineUsable(Baseline)) {
            rect.y = position(Baseline) + m_baselineOffset;
        }
    }
    setItemGeometry(rect);
}

void ZuAnchors::applyAll(bool horizontal, bool vertical) {
    applyFill();
    applyCenterIn();
    applyLines(horizontal, vertical);
}

void ZuAnchors::targetDestroyed(ZuGraphicsItem* target) {
    for (int i = 0; i < 7; ++i) {
        if (m_slots[i].target == target) {
            m_slots[i] = Slot();
            m_used &= ~kSlotLines[i];
        }
    }
    if (m_fill == target)
        m_fill = nullptr;
    if (m_centerIn == target)
        m_centerIn = nullptr;
    m_targets.erase(target); // the dying item drops its listeners itself
}

void ZuAnchors::itemNotify(uint32_t maskBit, ZuGraphicsItem* item, const ZuVariant& newValue,
                           const ZuVariant& oldValue) {
    if (item == m_item) {
        if (maskBit == ZuGraphicsItem::ItemDestroyed) {
            m_item->removeChangeListener(this);
            for (auto& [target, uses] : m_targets)
                target->removeChangeListener(this);
            m_targets.clear();
            m_item = nullptr;
            return;
        }
        // Its own size changed from outside: centres and right edges move.
        if (maskBit == ZuGraphicsItem::GeometryChanged && !m_updating) {
            ZuRectF now = newValue.toRectF(), before = oldValue.toRectF();
            bool widthChanged = differs(now.width, before.width);
            bool heightChanged = differs(now.height, before.height);
            if (widthChanged || heightChanged) {
                applyCenterIn();
                applyLines(widthChanged, heightChanged);
            }
        }
        return;
    }
    if (maskBit == ZuGraphicsItem::ItemDestroyed) {
        targetDestroyed(item);
        return;
    }
    if (!m_item)
        return;
    ZuRectF now = newValue.toRectF(), before = oldValue.toRectF();
    if (maskBit == ZuGraphicsItem::PositionChanged) {
        ZuPointF p = newValue.toPointF(), q = oldValue.toPointF();
        now = ZuRectF{p.x, p.y, item->width(), item->height()};
        before = ZuRectF{q.x, q.y, item->width(), item->height()};
    }
    bool parent = item == m_item->parentItem();
    bool widthChanged = differs(now.width, before.width), heightChanged = differs(now.height, before.height);
    if (parent && !widthChanged && !heightChanged)
        return;
    bool horizontal = widthChanged || (!parent && differs(now.x, before.x));
    bool vertical = heightChanged || (!parent && differs(now.y, before.y));
    if (!horizontal && !vertical)
        return;
    applyFill();
    applyCenterIn();
    applyLines(horizontal, vertical);
}

#pragma once

#include "ui/core/ZuRttiObject.h"
#include "ui/scene/ZuGraphicsItem.h"

#include <map>

// Ties an item's edges and centres to lines of its parent or of a sibling,
// with margins, or makes it fill or centre in one of them. The item owns its
// anchors; they listen to their targets and follow every change at once.
class ZuAnchors : public ZuRttiObject, public ZuItemChangeListener {
    ZU_DECLARE_CLASS(ZuAnchors)
public:
    enum Line {
        NoLine = 0,
        Left = 1,
        Right = 2,
        Top = 4,
        Bottom = 8,
        HorizontalCenter = 16,
        VerticalCenter = 32,
        Baseline = 64,
    };
    static constexpr int kHorizontalMask = Left | Right | HorizontalCenter;
    static constexpr int kVerticalMask = Top | Bottom | VerticalCenter | Baseline;

    // The item's anchors, created on first use (null for a null item).
    static ZuAnchors* of(ZuGraphicsItem* item);
    // The item's anchors when it has any.
    static ZuAnchors* existing(const ZuGraphicsItem* item);

    ZuAnchors() : ZuItemChangeListener(0x31) {}
    explicit ZuAnchors(ZuGraphicsItem* item);
    ~ZuAnchors() override;

    ZuGraphicsItem* item() const { return m_item; }

    // Null clears. The target must be the parent or a sibling.
    void setFill(ZuGraphicsItem* target);
    ZuGraphicsItem* fill() const { return m_fill; }
    void setCenterIn(ZuGraphicsItem* target);
    ZuGraphicsItem* centerIn() const { return m_centerIn; }

    // Ties a line of this item to a line of the target. Refused (with a
    // debug line, nothing changes) for a null, foreign or own target, a line
    // of the other direction, an over-determined axis or a loop.
    void setLeft(ZuGraphicsItem* target, int line = Left) { setLine(Left, target, line); }
    void setRight(ZuGraphicsItem* target, int line = Right) { setLine(Right, target, line); }
    void setHorizontalCenter(ZuGraphicsItem* target, int line = HorizontalCenter) {
        setLine(HorizontalCenter, target, line);
    }
    void setTop(ZuGraphicsItem* target, int line = Top) { setLine(Top, target, line); }
    void setBottom(ZuGraphicsItem* target, int line = Bottom) { setLine(Bottom, target, line); }
    void setVerticalCenter(ZuGraphicsItem* target, int line = VerticalCenter) {
        setLine(VerticalCenter, target, line);
    }
    void setBaseline(ZuGraphicsItem* target, int line = Baseline) { setLine(Baseline, target, line); }
    void setLine(int ownLine, ZuGraphicsItem* target, int targetLine);
    // Unties a line; the item keeps its geometry.
    void resetLine(int ownLine);
    ZuGraphicsItem* lineTarget(int ownLine) const;
    int lineTargetLine(int ownLine) const;
    int usedLines() const { return m_used; }

    void setLeftMargin(double m);
    void setRightMargin(double m);
    void setTopMargin(double m);
    void setBottomMargin(double m);
    void setHorizontalCenterOffset(double m);
    void setVerticalCenterOffset(double m);
    void setBaselineOffset(double m);
    // Sets every edge margin that is 0 or still the previous common margin.
    void setMargins(double m);
    double leftMargin() const { return m_leftMargin; }
    double rightMargin() const { return m_rightMargin; }
    double topMargin() const { return m_topMargin; }
    double bottomMargin() const { return m_bottomMargin; }
    double horizontalCenterOffset() const { return m_hCenterOffset; }
    double verticalCenterOffset() const { return m_vCenterOffset; }
    double baselineOffset() const { return m_baselineOffset; }
    double margins() const { return m_margins; }

    // Half of a length as the anchors use it: an odd whole part rounds up.
    static double half(double length);

    void itemNotify(uint32_t maskBit, ZuGraphicsItem* item, const ZuVariant& newValue,
                    const ZuVariant& oldValue) override;

private:
    struct Slot {
        ZuGraphicsItem* target = nullptr;
        int line = NoLine;
    };
    static int slotIndex(int line);

    void warn(const wchar_t* text) const;
    bool isParentOrSibling(const ZuGraphicsItem* target) const;
    bool dependsOn(const ZuGraphicsItem* target, bool horizontal) const;
    double linePosition(const ZuGraphicsItem* target, int line) const;
    bool lineUsable(int line) const;
    void addTarget(ZuGraphicsItem* target);
    void releaseTarget(ZuGraphicsItem* target);
    void targetDestroyed(ZuGraphicsItem* target);

    void applyFill();
    void applyCenterIn();
    void applyLines(bool horizontal, bool vertical);
    void applyAll(bool horizontal, bool vertical);
    void setItemGeometry(const ZuRectF& rect);
    ZuRectF itemGeometry() const;

    ZuGraphicsItem* m_item = nullptr;
    ZuGraphicsItem* m_fill = nullptr;
    ZuGraphicsItem* m_centerIn = nullptr;
    Slot m_slots[7];
    double m_leftMargin = 0, m_rightMargin = 0, m_topMargin = 0, m_bottomMargin = 0;
    double m_vCenterOffset = 0, m_hCenterOffset = 0, m_baselineOffset = 0, m_margins = 0;
    int m_used = 0;
    bool m_enabled = true;
    bool m_updating = false;
    int m_horizontalDepth = 0, m_verticalDepth = 0, m_fillDepth = 0, m_centerInDepth = 0;
    std::map<ZuGraphicsItem*, int> m_targets;
};

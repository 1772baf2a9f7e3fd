#pragma once

#include "ui/scene/ZuGraphicsItem.h"

#include <vector>

// An item that places its visible children itself, again whenever a child
// comes, goes, moves, resizes or is shown or hidden; its own size follows
// the children unless the size was fixed.
class ZuBasePositioner : public ZuGraphicsItem {
    ZU_DECLARE_CLASS(ZuBasePositioner)
public:
    enum Kind { Base = 0, Row = 1, Column = 2 };
    enum Flag { Positioning = 0x02, AutoWidth = 0x20, AutoHeight = 0x40 };

    explicit ZuBasePositioner(ZuGraphicsItem* parent = nullptr, ZuGraphicsScene* scene = nullptr);
    ~ZuBasePositioner() override;

    int kind() const { return m_kind; }
    void setSpacing(double spacing);
    double spacing() const { return m_spacing; }
    double implicitWidth() const { return m_implicitWidth; }
    double implicitHeight() const { return m_implicitHeight; }
    // With auto size off the positioner keeps the size it is given.
    void setAutoWidth(bool on);
    void setAutoHeight(bool on);
    // Runs the positioning now (it also runs on every change by itself).
    void reposition();

    void itemChanged(int change, const ZuVariant& newValue, const ZuVariant& oldValue) override;

protected:
    struct Entry {
        ZuGraphicsItem* item;
        bool isNew;
        bool isVisible;
        bool reported; // its conflicting anchors were reported once
    };

    ZuBasePositioner(int kind, ZuGraphicsItem* parent, ZuGraphicsScene* scene);
    virtual void doPositioning(ZuSizeF& size);
    // True when it reported anchors that fight the positioning.
    virtual bool reportConflictingAnchors(ZuGraphicsItem* child);
    const std::vector<Entry>& entries() const { return m_entries; }
    void warn(const wchar_t* text) const;

private:
    class ChildListener : public ZuItemChangeListener {
    public:
        explicit ChildListener(ZuBasePositioner* owner) : ZuItemChangeListener(31), m_owner(owner) {}
        void itemNotify(uint32_t maskBit, ZuGraphicsItem* item, const ZuVariant&, const ZuVariant&) override;

    private:
        ZuBasePositioner* m_owner;
    };

    void childDestroyed(ZuGraphicsItem* child);

    int m_kind;
    double m_spacing = 0;
    double m_implicitWidth = 0;
    double m_implicitHeight = 0;
    int m_flags = AutoWidth | AutoHeight;
    bool m_dying = false;
    std::vector<Entry> m_entries;
    ChildListener m_listener{this};
};

// Lines its visible children up from left to right.
class ZuRowPositioner : public ZuBasePositioner {
    ZU_DECLARE_CLASS(ZuRowPositioner)
public:
    explicit ZuRowPositioner(ZuGraphicsItem* parent = nullptr, ZuGraphicsScene* scene = nullptr)
        : ZuBasePositioner(Row, parent, scene) {}

protected:
    void doPositioning(ZuSizeF& size) override;
    bool reportConflictingAnchors(ZuGraphicsItem* child) override;
};

// Stacks its visible children from top to bottom.
class ZuColumnPositioner : public ZuBasePositioner {
    ZU_DECLARE_CLASS(ZuColumnPositioner)
public:
    explicit ZuColumnPositioner(ZuGraphicsItem* parent = nullptr, ZuGraphicsScene* scene = nullptr)
        : ZuBasePositioner(Column, parent, scene) {}

protected:
    void doPositioning(ZuSizeF& size) override;
    bool reportConflictingAnchors(ZuGraphicsItem* child) override;
};

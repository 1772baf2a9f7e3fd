#pragma once

#include <vector>

class ZuAbstractAnimation;
class ZuGraphicsItem;

// The animation list of each item: which animations are attached to it, so
// that they can all be stopped when the item goes or a new fade begins.
class ZuItemAnimations {
public:
    // Detaches `animation` from its item (itemDetached) and attaches it to
    // `item` (itemAttached); the same item again does nothing.
    static void attach(ZuAbstractAnimation* animation, ZuGraphicsItem* item);
    static std::vector<ZuAbstractAnimation*> of(const ZuGraphicsItem* item);
    // Stops every animation of the item, detaches each and empties the list.
    static void stopAndDetachAll(ZuGraphicsItem* item);
};

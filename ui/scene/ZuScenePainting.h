#pragma once

#include "ui/core/ZuGeometry.h"

class ZuGraphicsItem;
class ZuPainter;

// The few painter operations the scene needs to draw its item tree.
namespace ZuScenePainting {
void save(ZuPainter* painter);
void restore(ZuPainter* painter);
void setTranslation(ZuPainter* painter, const ZuPointF& offset);
// Clip to `rect` in the current coordinates, intersecting or replacing.
void clipTo(ZuPainter* painter, const ZuRectF& rect, bool intersect);
// Paints `item` into a layer of its bounding rectangle's size and composites
// it at the item's origin (the current translation) with `opacity`.
void paintThroughLayer(ZuPainter* painter, ZuGraphicsItem* item, double opacity, bool enabled);
} // namespace ZuScenePainting

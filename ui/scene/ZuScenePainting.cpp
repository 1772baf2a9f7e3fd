#include "ui/scene/ZuScenePainting.h"

#include "ui/paint/ZuPainter.h"
#include "ui/scene/ZuGraphicsItem.h"

#include <cmath>

namespace ZuScenePainting {

void save(ZuPainter* painter) {
    if (painter)
        painter->save();
}

void restore(ZuPainter* painter) {
    if (painter)
        painter->restore();
}

void setTranslation(ZuPainter* painter, const ZuPointF& offset) {
    if (painter)
        painter->setTransform(ZuTransform::fromTranslate(offset.x, offset.y));
}

void clipTo(ZuPainter* painter, const ZuRectF& rect, bool intersect) {
    if (painter)
        painter->setClipRect(rect, intersect ? ZuClipIntersect : ZuClipReplace);
}

void paintThroughLayer(ZuPainter* painter, ZuGraphicsItem* item, double opacity, bool enabled) {
    if (!painter || !item)
        return;
    ZuRectF bounds = item->boundingRect();
    int width = int(std::ceil(bounds.width)), height = int(std::ceil(bounds.height));
    if (width <= 0 || height <= 0)
        return;
    ZuLayer layer(width, height);
    if (!layer.isValid())
        return;
    {
        ZuPainter layerPainter(&layer);
        layerPainter.setTransform(ZuTransform::fromTranslate(-bounds.x, -bounds.y));
        item->paint(&layerPainter, nullptr);
    }
    layer.setOpacity(opacity);
    layer.setEnabled(enabled);
    painter->save();
    painter->compositeLayer(layer);
    painter->restore();
}

} // namespace ZuScenePainting

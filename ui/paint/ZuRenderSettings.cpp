#include "ui/paint/ZuRenderSettings.h"

ZuRenderSettings& ZuRenderSettings::instance() {
    static ZuRenderSettings settings;
    return settings;
}

void ZuRenderSettings::apply(Gdiplus::GpGraphics* graphics) const {
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip || !graphics)
        return;
    gdip->GdipSetTextRenderingHint(graphics, textRenderingHint);
    gdip->GdipSetInterpolationMode(graphics, interpolationMode);
    gdip->GdipSetCompositingQuality(graphics, compositingQuality);
}

#pragma once

#include "ui/core/ZuGdiplus.h"

// Rendering quality of every graphics object the toolkit makes: speed first,
// anti-aliasing only for text.
struct ZuRenderSettings {
    Gdiplus::TextRenderingHint textRenderingHint = Gdiplus::TextRenderingHintAntiAliasGridFit; // 3
    Gdiplus::InterpolationMode interpolationMode = Gdiplus::InterpolationModeLowQuality;      // 1
    Gdiplus::CompositingQuality compositingQuality = Gdiplus::CompositingQualityHighSpeed;    // 1

    static ZuRenderSettings& instance();
    void apply(Gdiplus::GpGraphics* graphics) const;
};

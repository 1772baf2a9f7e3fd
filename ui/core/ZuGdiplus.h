#pragma once

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

// GDI+ is loaded at run time from the system folder, never imported
// statically: the programs run elevated from folders anyone can write to, and
// only KnownDLLs may sit in their import table. Every flat-API function the
// toolkit calls is a typed pointer here, so the compiler checks arguments and
// the calling convention against the platform's own declarations.
#define ZU_GDIPLUS_FUNCTIONS(X)                                                                              \
    X(GdipCreateFromHDC) X(GdipDeleteGraphics) X(GdipGetImageGraphicsContext) X(GdipFlush)                   \
    X(GdipSetTextRenderingHint) X(GdipSetInterpolationMode) X(GdipSetCompositingQuality)                     \
    X(GdipSetCompositingMode) X(GdipGetCompositingMode) X(GdipGraphicsClear)                                 \
    X(GdipCreateSolidFill) X(GdipDeleteBrush) X(GdipFillRectangle)                                           \
    X(GdipCreatePen1) X(GdipDeletePen) X(GdipDrawRectangle) X(GdipDrawLine)                                  \
    X(GdipDrawImageRect) X(GdipDrawImageRectRect)                                                            \
    X(GdipCreateBitmapFromStream) X(GdipCreateBitmapFromScan0) X(GdipDisposeImage)                           \
    X(GdipGetImageWidth) X(GdipGetImageHeight) X(GdipBitmapGetPixel)                                         \
    X(GdipImageGetFrameDimensionsCount) X(GdipImageGetFrameDimensionsList) X(GdipImageGetFrameCount)         \
    X(GdipImageSelectActiveFrame) X(GdipGetPropertyItemSize) X(GdipGetPropertyItem)                          \
    X(GdipCreateFontFamilyFromName) X(GdipGetGenericFontFamilySansSerif) X(GdipDeleteFontFamily)             \
    X(GdipCreateFont) X(GdipDeleteFont) X(GdipGetFamily) X(GdipGetFamilyName)                                \
    X(GdipStringFormatGetGenericDefault) X(GdipCloneStringFormat) X(GdipSetStringFormatFlags)                \
    X(GdipGetStringFormatFlags) X(GdipDeleteStringFormat) X(GdipDrawString) X(GdipMeasureString)             \
    X(GdipSaveGraphics) X(GdipRestoreGraphics)                                                               \
    X(GdipCreateMatrix2) X(GdipDeleteMatrix) X(GdipSetMatrixElements) X(GdipSetWorldTransform)               \
    X(GdipResetWorldTransform)                                                                               \
    X(GdipSetClipRect) X(GdipSetClipRegion) X(GdipResetClip)                                                 \
    X(GdipCreateRegionHrgn) X(GdipCloneRegion) X(GdipDeleteRegion) X(GdipIsVisibleRegionPoint)              \
    X(GdipCreateImageAttributes) X(GdipSetImageAttributesColorMatrix) X(GdipDisposeImageAttributes)

struct ZuGdiplusApi {
    decltype(&Gdiplus::GdiplusStartup) GdiplusStartup = nullptr;
    decltype(&Gdiplus::GdiplusShutdown) GdiplusShutdown = nullptr;
#define ZU_GDIPLUS_MEMBER(name) decltype(&Gdiplus::DllExports::name) name = nullptr;
    ZU_GDIPLUS_FUNCTIONS(ZU_GDIPLUS_MEMBER)
#undef ZU_GDIPLUS_MEMBER
};

class ZuGdiplus {
public:
    using Hook = void (*)();

    // Loads "gdiplus.dll" from the system folder once; null (logged once) when
    // the library or one of its functions is missing.
    static const ZuGdiplusApi* api();
    // Starts a GDI+ session; 0 when it cannot start.
    static ULONG_PTR startup();
    // Runs the before-shutdown hooks (the image cache lets go of its bitmaps),
    // ends the session, then runs the after-shutdown hooks.
    static void shutdown(ULONG_PTR token);
    static bool isStarted();
    // Registered once by the modules that hold GDI+ objects for the whole run.
    static void addShutdownHook(Hook hook, bool beforeShutdown);
};

// The function table while a session runs, else null: callers draw nothing then.
inline const ZuGdiplusApi* zuGdip() {
    return ZuGdiplus::isStarted() ? ZuGdiplus::api() : nullptr;
}

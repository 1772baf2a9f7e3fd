#include "ui/core/ZuDefaultFont.h"

#include <windows.h>

#include <gdiplus.h>

ZuFont& ZuDefaultFont::record() {
    static ZuFont font;
    return font;
}

ZuFont ZuDefaultFont::defaultFont() {
    return record();
}

void ZuDefaultFont::setDefaultFontFamily(const std::wstring& family) {
    record().family = family;
}

void ZuDefaultFont::setDefaultFontSize(double pixels) {
    record().size = pixels;
}

bool ZuDefaultFont::isFontFamilyAvailable(const ZuFont& font) {
    using namespace Gdiplus;
    GpFontFamily* family = nullptr;
    if (DllExports::GdipCreateFontFamilyFromName(font.family.c_str(), nullptr, &family) != Ok || !family)
        return false;
    GpFont* gpFont = nullptr;
    Status status =
        DllExports::GdipCreateFont(family, static_cast<REAL>(font.size), font.style, UnitPixel, &gpFont);
    if (gpFont)
        DllExports::GdipDeleteFont(gpFont);
    DllExports::GdipDeleteFontFamily(family);
    return status == Ok;
}

bool zuPreferDefaultFontFamily(const wchar_t* family, double pixels) {
    ZuFont wanted = ZuDefaultFont::defaultFont();
    wanted.family = family;
    if (!ZuDefaultFont::isFontFamilyAvailable(wanted))
        return false;
    ZuDefaultFont::setDefaultFontFamily(family);
    ZuDefaultFont::setDefaultFontSize(pixels);
    return true;
}

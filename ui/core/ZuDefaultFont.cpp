#include "ui/core/ZuDefaultFont.h"

#include "ui/core/ZuGdiplus.h"

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
    const ZuGdiplusApi* gdip = zuGdip();
    if (!gdip)
        return false;
    GpFontFamily* family = nullptr;
    if (gdip->GdipCreateFontFamilyFromName(font.family.c_str(), nullptr, &family) != Ok || !family)
        return false;
    GpFont* gpFont = nullptr;
    Status status =
        gdip->GdipCreateFont(family, static_cast<REAL>(font.size), font.style, UnitPixel, &gpFont);
    if (gpFont)
        gdip->GdipDeleteFont(gpFont);
    gdip->GdipDeleteFontFamily(family);
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

#pragma once

#include <cstdint>
#include <string>

// A font description: every text item that is not given a font takes a copy
// of the process-wide default.
struct ZuFont {
    std::wstring family = L"SimSun";
    int style = 0;      // GDI+ FontStyle bits; 0 is regular
    double size = 14.0; // pixels
    uint8_t red = 0, green = 0, blue = 0, alpha = 255;
};

class ZuDefaultFont {
public:
    static ZuFont defaultFont();
    static void setDefaultFontFamily(const std::wstring& family);
    static void setDefaultFontSize(double pixels);
    // True when GDI+ can make a family of that name and a font of that size
    // and style in pixel units. Needs a started GDI+.
    static bool isFontFamilyAvailable(const ZuFont& font);

private:
    static ZuFont& record();
};

// Start-up choice of both programs: when `family` exists, it becomes the
// default family at `pixels`; otherwise the defaults stay. True when chosen.
bool zuPreferDefaultFontFamily(const wchar_t* family, double pixels);

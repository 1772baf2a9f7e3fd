#pragma once

// The font record lives with the application's default font; painting adds
// its colour view.
#include "ui/core/ZuDefaultFont.h"
#include "ui/paint/ZuColor.h"

inline ZuColor zuFontColor(const ZuFont& font) {
    return {font.red, font.green, font.blue, font.alpha};
}
inline void zuSetFontColor(ZuFont& font, ZuColor colour) {
    font.red = colour.red;
    font.green = colour.green;
    font.blue = colour.blue;
    font.alpha = colour.alpha;
}

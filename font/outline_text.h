// outline_text.h -- vector glyphs drawn as their outlines, one closed line loop per
// contour, in the plane of flat text: one glyph in a given font, and whole strings
// laid out in the current font or a given one. The glyph drawer itself,
// drawOutlineGlyph, is declared with the other glyph drawers in font_library.h.
#pragma once

#include "font/font_library.h"

ZARNOK_FONT_API void drawOutlineGlyphInFont(int index,
                                            unsigned char code);  // outline of one glyph in a given font
ZARNOK_FONT_API void drawOutlineString(const char* text);         // outline glyphs, current font
ZARNOK_FONT_API void drawOutlineStringInFont(int index, const char* text);  // outline glyphs in a given font

// outline_text.h -- vector glyphs drawn as their outlines, one closed line loop per
// contour, in the plane of flat text: one glyph in a given font, and whole strings
// laid out in the current font or a given one. The glyph drawer itself,
// drawOutlineGlyph, is declared with the other glyph drawers in font_library.h.
#pragma once

#include "font/font_library.h"

/// \file
/// Text drawn as outlines: one GL_LINE_LOOP per contour of each glyph, at z = 0, in the
/// current colour (the glyph drawer, drawOutlineGlyph(), is in font/font_library.h). Each
/// call needs a GL context and leaves the GL state as it found it.

/// drawOutlineGlyph() in a given font, the current font put back afterwards.
/// \param index the slot of the font; outside 0..255 or empty: nothing is drawn.
/// \param code the character code.
ZARNOK_FONT_API void drawOutlineGlyphInFont(int index, unsigned char code);

/// Draws a string as outlines in the current font: layoutString() with drawOutlineGlyph().
/// \param text a zero-terminated string.
ZARNOK_FONT_API void drawOutlineString(const char* text);

/// drawOutlineString() in a given font, the current font put back afterwards.
/// \param index the slot of the font; outside 0..255 or empty: nothing is drawn.
/// \param text a zero-terminated string.
ZARNOK_FONT_API void drawOutlineStringInFont(int index, const char* text);

// outline_text.cpp -- the outline members that take a font index or a whole string;
// they hand drawOutlineGlyph to the string layout or run it with another font current.
#include "font/outline_text.h"

// Runs draw with slot index as the current font, then puts the previous one back.
// The index is not checked: the drawers draw nothing for an empty or invalid slot.
template <typename Draw>
static void withFont(int index, Draw draw) {
  const int32_t previous = fontRegistry.currentFont;
  fontRegistry.currentFont = index;
  draw();
  fontRegistry.currentFont = previous;
}

void drawOutlineGlyphInFont(int index, unsigned char code) {
  withFont(index, [code] { drawOutlineGlyph(code); });
}

void drawOutlineString(const char* text) { layoutString(text, drawOutlineGlyph); }

void drawOutlineStringInFont(int index, const char* text) {
  withFont(index, [text] { drawOutlineString(text); });
}

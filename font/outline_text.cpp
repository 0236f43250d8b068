// outline_text.cpp -- the outline members that take a font index or a whole string;
// they hand drawOutlineGlyph to the string layout or run it with another font current.
#include "font/outline_text.h"

#include "font/font_index_scope.h"

void drawOutlineGlyphInFont(int index, unsigned char code) {
  withFont(index, [code] { drawOutlineGlyph(code); });
}

void drawOutlineString(const char* text) { layoutString(text, drawOutlineGlyph); }

void drawOutlineStringInFont(int index, const char* text) {
  withFont(index, [text] { drawOutlineString(text); });
}

// vector_glyph_drawing.cpp -- draws vector glyphs of the current font at the current
// origin, vertex by vertex in immediate mode: as filled triangles (optionally
// textured across the glyph cell and with their outline over them) and as outlines;
// and whole strings of solid glyphs, in the current font or a given one.
#include <GL/gl.h>

#include "font/font_library.h"
#include "font/vector_glyph_contours.h"

// The glyph of code in the current font, or null.
static const VectorGlyph* currentGlyph(unsigned char code) {
  const int32_t index = fontRegistry.currentFont;
  if (index < 0 || index >= FONT_SLOT_COUNT || !fontRegistry.fonts[index]) return nullptr;
  return fontRegistry.fonts[index]->symbols[code].get();
}

void drawSolidGlyph(unsigned char code) {
  const VectorGlyph* glyph = currentGlyph(code);
  if (!glyph) return;
  const bool textured = fontRegistry.texturingSwitch == SWITCH_ON;
  const int count = glyph->vertexCount;
  glBegin(GL_TRIANGLES);
  for (int f = 0; f < glyph->facetCount; f++) {
    const uint8_t* corner = &glyph->facets[3 * f];
    if (corner[0] >= count || corner[1] >= count || corner[2] >= count) continue;
    for (int k = 0; k < 3; k++) {
      const GlyphVertex& v = glyph->vertices[corner[k]];
      if (textured) glTexCoord2f((v.x + 1) / 2, (v.y + 1) / 2);  // cell -1..1 onto 0..1
      glVertex2f(v.x, v.y);
    }
  }
  glEnd();

  if (fontRegistry.contouringSwitch == SWITCH_ON) {
    GLfloat temp_color[4];
    glGetFloatv(GL_CURRENT_COLOR, temp_color);
    glColor4fv(fontRegistry.contourColor);
    drawOutlineGlyph(code);
    glColor4fv(temp_color);
  }
}

void drawOutlineGlyph(unsigned char code) {
  const VectorGlyph* glyph = currentGlyph(code);
  if (!glyph) return;
  forEachContour(*glyph, [glyph](int first, int last) {
    glBegin(GL_LINE_LOOP);
    for (int j = first; j <= last; j++) glVertex2f(glyph->vertices[j].x, glyph->vertices[j].y);
    glEnd();
  });
}

void drawSolidGlyphInFont(int index, unsigned char code) {
  const int32_t previous = fontRegistry.currentFont;
  fontRegistry.currentFont = index;
  drawSolidGlyph(code);
  fontRegistry.currentFont = previous;
}

void drawString(const char* text) { layoutString(text, drawSolidGlyph); }

void drawStringInFont(int index, const char* text) {
  const int32_t previous = fontRegistry.currentFont;
  fontRegistry.currentFont = index;
  drawString(text);
  fontRegistry.currentFont = previous;
}

// extruded_text.cpp -- wireframe and solid prisms of vector glyphs, vertex by vertex
// in immediate mode, and their string and font-index members. The back of a prism
// lies at z = 1, its front at z = 1 + symbolDepth.
#include "font/extruded_text.h"

#include <GL/gl.h>

#include "font/font_index_scope.h"
#include "font/vector_glyph_contours.h"

static constexpr float kBackZ = 1.0f;  // plane of a prism's back face

// The glyph of code in the current font, or null when there is no such font or glyph.
static const VectorGlyph* currentGlyph(unsigned char code) {
  const int32_t index = fontRegistry.currentFont;
  if (index < 0 || index >= FONT_SLOT_COUNT || !fontRegistry.fonts[index]) return nullptr;
  return fontRegistry.fonts[index]->symbols[code].get();
}

static float frontZ() { return kBackZ + fontRegistry.symbolDepth; }

// One line loop per contour, in the plane z.
static void drawContourLoops(const VectorGlyph& glyph, float z) {
  forEachContour(glyph, [&glyph, z](int first, int last) {
    glBegin(GL_LINE_LOOP);
    for (int j = first; j <= last; j++) glVertex3f(glyph.vertices[j].x, glyph.vertices[j].y, z);
    glEnd();
  });
}

// The glyph's triangles in the plane z, facing along (0, 0, normalZ). reversed emits
// each triangle's corners last to first, which turns its winding around.
static void drawFace(const VectorGlyph& glyph, float z, float normalZ, bool reversed) {
  const int count = glyph.vertexCount;
  glBegin(GL_TRIANGLES);
  glNormal3f(0, 0, normalZ);
  for (int f = 0; f < glyph.facetCount; f++) {
    const uint8_t* corner = &glyph.facets[3 * f];
    if (corner[0] >= count || corner[1] >= count || corner[2] >= count) continue;
    for (int k = 0; k < 3; k++) {
      const GlyphVertex& v = glyph.vertices[corner[reversed ? 2 - k : k]];
      glVertex3f(v.x, v.y, z);
    }
  }
  glEnd();
}

// One quad strip per contour from the back plane to the front plane, closed by
// repeating the contour's first pair. Each pair's normal is its vertex position:
// it points away from the glyph origin and is not of unit length.
static void drawSideWalls(const VectorGlyph& glyph, float front) {
  forEachContour(glyph, [&glyph, front](int first, int last) {
    glBegin(GL_QUAD_STRIP);
    for (int j = first; j <= last; j++) {
      const GlyphVertex& v = glyph.vertices[j];
      glNormal3f(v.x, v.y, 0);
      glVertex3f(v.x, v.y, kBackZ);
      glVertex3f(v.x, v.y, front);
    }
    const GlyphVertex& b = glyph.vertices[first];
    glVertex3f(b.x, b.y, kBackZ);
    glVertex3f(b.x, b.y, front);
    glEnd();
  });
}

void drawWireGlyph3D(unsigned char code) {
  const VectorGlyph* glyph = currentGlyph(code);
  if (!glyph) return;
  const float front = frontZ();
  drawContourLoops(*glyph, kBackZ);
  drawContourLoops(*glyph, front);
  if (glyph->vertexCount == 0) return;
  glBegin(GL_LINES);
  for (int j = 0; j < glyph->vertexCount; j++) {
    const GlyphVertex& v = glyph->vertices[j];
    glVertex3f(v.x, v.y, kBackZ);
    glVertex3f(v.x, v.y, front);
  }
  glEnd();
}

void drawSolidGlyph3D(unsigned char code) {
  const VectorGlyph* glyph = currentGlyph(code);
  if (!glyph) return;
  const float front = frontZ();
  drawFace(*glyph, front, 1, true);
  drawFace(*glyph, kBackZ, -1, false);
  drawSideWalls(*glyph, front);

  if (fontRegistry.contouringSwitch == SWITCH_ON) {
    // The wireframe goes over the solid unlit, in the contour colour; the caller's
    // colour and lighting switch are put back afterwards.
    const GLboolean light_temp = glIsEnabled(GL_LIGHTING);
    glDisable(GL_LIGHTING);
    GLfloat temp_color[4];
    glGetFloatv(GL_CURRENT_COLOR, temp_color);
    glColor4fv(fontRegistry.contourColor);
    drawWireGlyph3D(code);
    glColor4fv(temp_color);
    if (light_temp) glEnable(GL_LIGHTING);
  }
}

void drawWireGlyph3DInFont(int index, unsigned char code) {
  withFont(index, [code] { drawWireGlyph3D(code); });
}

void drawWireString3D(const char* text) { layoutString(text, drawWireGlyph3D); }

void drawWireString3DInFont(int index, const char* text) {
  withFont(index, [text] { drawWireString3D(text); });
}

void drawSolidGlyph3DInFont(int index, unsigned char code) {
  withFont(index, [code] { drawSolidGlyph3D(code); });
}

void drawSolidString3D(const char* text) { layoutString(text, drawSolidGlyph3D); }

void drawSolidString3DInFont(int index, const char* text) {
  withFont(index, [text] { drawSolidString3D(text); });
}

// extruded_text.h -- vector glyphs drawn as prisms between the planes z = 1 and
// z = 1 + symbolDepth: as a wireframe (both outlines and an edge at every vertex) or
// as a solid for lighting (front and back faces with their normals, side walls whose
// normals point outward from the glyph origin). With contouring on, the solid gets
// its wireframe drawn over it, unlit, in the contour colour. Each style comes as a
// glyph drawer, the drawer in a given font, and strings in the current or a given
// font; the font-index members restore the current font afterwards.
#pragma once

#include "font/font_library.h"

ZARNOK_FONT_API void drawWireGlyph3D(unsigned char code);                   // wireframe prism of one glyph
ZARNOK_FONT_API void drawWireGlyph3DInFont(int index, unsigned char code);  // the same in a given font
ZARNOK_FONT_API void drawWireString3D(const char* text);                    // wireframe prisms, current font
ZARNOK_FONT_API void drawWireString3DInFont(int index, const char* text);  // wireframe prisms in a given font
ZARNOK_FONT_API void drawSolidGlyph3D(unsigned char code);  // solid prism of one glyph (+ contour)
ZARNOK_FONT_API void drawSolidGlyph3DInFont(int index, unsigned char code);  // the same in a given font
ZARNOK_FONT_API void drawSolidString3D(const char* text);                    // solid prisms, current font
ZARNOK_FONT_API void drawSolidString3DInFont(int index, const char* text);   // solid prisms in a given font

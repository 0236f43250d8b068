// extruded_text.h -- vector glyphs drawn as prisms between the planes z = 1 and
// z = 1 + symbolDepth: as a wireframe (both outlines and an edge at every vertex) or
// as a solid for lighting (front and back faces with their normals, side walls whose
// normals point outward from the glyph origin). With contouring on, the solid gets
// its wireframe drawn over it, unlit, in the contour colour. Each style comes as a
// glyph drawer, the drawer in a given font, and strings in the current or a given
// font; the font-index members restore the current font afterwards.
#pragma once

#include "font/font_library.h"

/// \file
/// Text drawn as prisms: each glyph extruded between the planes z = 1 and
/// z = 1 + depth (setSymbolDepth(), 0.2 by default), one unit in front of flat text. Turn
/// the matrix to show the depth, and centre a prism on z = 0 with
/// glTranslatef(0, 0, -(1 + getSymbolDepth() / 2)).
///
/// Wireframes are lines in the current colour. Solids are for lighting: they give
/// normals (front (0, 0, 1), back (0, 0, -1), side walls the vertex position (x, y, 0),
/// not of unit length: enable GL_NORMALIZE) and no texture coordinates; enable
/// GL_LIGHTING, a light and GL_COLOR_MATERIAL for the current colour to be the material,
/// and GL_DEPTH_TEST for the faces to hide each other. Every call needs a GL context and
/// leaves the GL state as it found it.

/// Draws one glyph of the current font as a wireframe prism: its contours as line loops
/// at z = 1 and at z = 1 + depth, and one GL_LINES batch of edges from each vertex at
/// z = 1 to the same vertex at z = 1 + depth. Nothing without a current font or a glyph.
/// \param code the character code.
ZARNOK_FONT_API void drawWireGlyph3D(unsigned char code);

/// drawWireGlyph3D() in a given font, the current font put back afterwards.
/// \param index the slot of the font; outside 0..255 or empty: nothing is drawn.
/// \param code the character code.
ZARNOK_FONT_API void drawWireGlyph3DInFont(int index, unsigned char code);

/// Draws a string of wireframe prisms in the current font: layoutString() with
/// drawWireGlyph3D().
/// \param text a zero-terminated string.
ZARNOK_FONT_API void drawWireString3D(const char* text);

/// drawWireString3D() in a given font, the current font put back afterwards.
/// \param index the slot of the font; outside 0..255 or empty: nothing is drawn.
/// \param text a zero-terminated string.
ZARNOK_FONT_API void drawWireString3DInFont(int index, const char* text);

/// Draws one glyph of the current font as a solid prism: the front face at z = 1 + depth,
/// the back face at z = 1 (GL_TRIANGLES), and one GL_QUAD_STRIP wall per contour. With
/// #OPTION_CONTOURING on, the wireframe (drawWireGlyph3D()) follows, unlit, in the contour
/// colour; lighting and the current colour are put back as they were. Nothing without a
/// current font or a glyph.
/// \param code the character code.
ZARNOK_FONT_API void drawSolidGlyph3D(unsigned char code);

/// drawSolidGlyph3D() in a given font, the current font put back afterwards.
/// \param index the slot of the font; outside 0..255 or empty: nothing is drawn.
/// \param code the character code.
ZARNOK_FONT_API void drawSolidGlyph3DInFont(int index, unsigned char code);

/// Draws a string of solid prisms in the current font: layoutString() with
/// drawSolidGlyph3D().
/// \param text a zero-terminated string.
ZARNOK_FONT_API void drawSolidString3D(const char* text);

/// drawSolidString3D() in a given font, the current font put back afterwards.
/// \param index the slot of the font; outside 0..255 or empty: nothing is drawn.
/// \param text a zero-terminated string.
ZARNOK_FONT_API void drawSolidString3DInFont(int index, const char* text);

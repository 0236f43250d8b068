// font_library.h -- the font library's one global registry and the calls on it: up to
// 256 vector fonts with the settings that govern how strings are laid out and drawn,
// the text console and the bitmap-font slots; loading and choosing vector fonts, the
// settings, the vector-font file reader, string layout and flat (solid) glyph drawing.
// The registry starts in the state the game runs on (no font, direction unset); the
// library's own start-up and shut-down put it into a known state and release it.
#pragma once

#include <cstdint>
#include <memory>

#include "font/font_export.h"

/// \file
/// The registry, vector fonts, the settings and flat text.
///
/// The library's global state (FontRegistry, one instance: fontRegistry) and the calls on
/// its vector-font side: loading, choosing and unloading vector fonts,
/// \ref settings "the settings", the vector font file reader, string layout and flat
/// filled glyphs. The other headers include this one.
///
/// Font units: glyphs are laid out for a cell from -1 to 1 on both axes, so a line of
/// text is 2 units high; callers scale and place text with their own matrix calls. The
/// drawing calls send immediate-mode OpenGL (glBegin() ... glEnd(), glTranslatef(),
/// glRotatef()) into the current matrix: they need a current GL context, and they leave
/// the matrix, the colour and every other GL state as they found them unless a call says
/// otherwise. Without a current font, or for a character without a glyph, they draw
/// nothing and report nothing.

// ---------------------------------------------------------------------------------
// Constants.

constexpr int FONT_SLOT_COUNT = 256;   ///< Vector-font slots, and bitmap-font slots: 0 to 255.
constexpr int GLYPH_CODE_COUNT = 256;  ///< Character codes 0..255: a string's bytes, taken unsigned.

/// A switch is on only when it equals SWITCH_ON (see \ref settings "the settings").
constexpr uint8_t SWITCH_ON = 1;
/// A switch's off value; no call stores any value but SWITCH_ON and SWITCH_OFF.
constexpr uint8_t SWITCH_OFF = 2;

// Writing directions.
constexpr int32_t DIRECTION_RIGHT = 1;  ///< Writing direction: glyphs advance along +x.
constexpr int32_t DIRECTION_LEFT = 2;   ///< Writing direction: glyphs advance along -x.
constexpr int32_t DIRECTION_UP = 3;     ///< Writing direction: glyphs advance along +y.
constexpr int32_t DIRECTION_DOWN = 4;   ///< Writing direction: glyphs advance along -y.

// Option codes for enableOption / disableOption.
constexpr int OPTION_MESSAGES = 10;        ///< Option: the vector-font loader prints why it refuses a file.
constexpr int OPTION_TEXTURING = 11;       ///< Option: flat solid glyph vertices get texture coordinates.
constexpr int OPTION_CONTOURING = 12;      ///< Option: solid glyphs get their outline drawn over them.
constexpr int OPTION_CONSOLE_CURSOR = 30;  ///< Option: the text console shows its blinking cursor.

// ---------------------------------------------------------------------------------
// Vector fonts. Glyph coordinates are laid out for a cell from -1 to 1 on both axes;
// a glyph's origin is its reference point for layout.

/// One point of a glyph, in font units.
struct GlyphVertex {
  float x;  ///< Horizontal position.
  float y;  ///< Vertical position.
};

/// One character's glyph of a vector font, as read from its record in the file
/// (\ref vector_font_file "the vector font file").
struct VectorGlyph {
  uint8_t vertexCount = 0;                  ///< Vertices, 0..255.
  uint8_t facetCount = 0;                   ///< Triangles.
  uint8_t contourCount = 0;                 ///< Closed outlines.
  std::unique_ptr<GlyphVertex[]> vertices;  ///< vertexCount points, contour after contour.
  std::unique_ptr<uint8_t[]> facets;        ///< facetCount x 3 vertex indices.
  std::unique_ptr<uint8_t[]> contourEnds;   ///< Per contour, the index of its last vertex.
  float left = 10;                          ///< Smallest x of the vertices (10 without vertices).
  float right = -10;                        ///< Largest x (-10 without vertices).
  float bottom = 10;                        ///< Smallest y (10 without vertices).
  float top = -10;                          ///< Largest y (-10 without vertices).
};

/// A loaded vector font: its name and a glyph for each character code it has.
struct VectorFont {
  char name[97] = {};       ///< The file's 96 name bytes and a terminating zero.
  uint8_t symbolCount = 0;  ///< Glyph records the file declares.
  std::unique_ptr<VectorGlyph> symbols[GLYPH_CODE_COUNT];  ///< By character code; null = no glyph.
};

// ---------------------------------------------------------------------------------
// The text console: a grid of characters drawn line by line in a vector font.

/// The text console's state (font/text_console.h): a grid of characters and its cursor.
struct TextConsole {
  int32_t consoleWidth = 0;                  ///< Characters per line (at most #CONSOLE_MAX_WIDTH).
  int32_t consoleHeight = 0;                 ///< Lines.
  std::unique_ptr<uint8_t[]> consoleBuffer;  ///< width x height cells, line after line; 0 = empty.
  int32_t consoleFont = 0;                   ///< Vector-font slot the console is drawn in.
  int32_t cursorX = 0;                       ///< Column of the next character.
  int32_t cursorY = 0;                       ///< Line of the next character.
  uint8_t cursorSwitch = SWITCH_OFF;         ///< The blinking cursor is shown (a switch).
  int32_t blinkRate = 0;                     ///< Cursor-line draws between two toggles.
  int32_t blinkCounter = 0;                  ///< Draws left until the next toggle.
  uint8_t cursorShown = 2;                   ///< Blink phase: 1 shown, 2 hidden.
};

// ---------------------------------------------------------------------------------
// Bitmap fonts: one picture holding all glyphs, as a texture, a mask texture and one
// display list per character code.

/// A bitmap-font slot (font/bitmap_font.h): the font's textures, display lists and widths.
struct BitmapFont {
  uint8_t inUse = 0;                ///< The slot holds a loaded font.
  uint32_t texture = 0;             ///< OpenGL texture name of the font picture.
  uint32_t maskTexture = 0;         ///< OpenGL texture name of its mask.
  uint32_t listBase = 0;            ///< First of 256 display lists, one per character code.
  std::unique_ptr<float[]> widths;  ///< 256 glyph widths, for measuring strings.
};

// ---------------------------------------------------------------------------------
// The registry: the library's one global state. The initial values below are the
// state at program start, before any call of the library.

/// The library's whole state: one instance, fontRegistry. The initial values are those
/// at program start, before any call; initFonts() sets its own (\ref settings "the settings"). Programs
/// may read it; the calls keep it consistent, so change it only through them.
struct FontRegistry {
  // Vector fonts and their settings.
  std::unique_ptr<VectorFont> fonts[FONT_SLOT_COUNT];  ///< The vector-font slots; null = empty.
  int32_t currentFont = 0;                             ///< Slot used by drawing; -1 = none.
  float symbolSpace = 0.2f;                            ///< Gap between two neighbouring glyphs.
  float spaceSize = 2.0f;                 ///< Advance for a space or a character without a glyph.
  float symbolDepth = 0.2f;               ///< Extrusion depth of 3D glyphs.
  uint8_t messagesSwitch = SWITCH_OFF;    ///< #OPTION_MESSAGES.
  uint8_t texturingSwitch = SWITCH_OFF;   ///< #OPTION_TEXTURING.
  uint8_t contouringSwitch = SWITCH_OFF;  ///< #OPTION_CONTOURING.
  float contourColor[4] = {0, 0, 0, 0};   ///< Red, green, blue, alpha of the outline.
  int32_t direction = 0;                  ///< 1..4 once set; 0 = not yet set, nothing is drawn.
  uint8_t centered = 0;                   ///< Non-zero: strings are centred on the origin.
  float rotation = 0;                     ///< Degrees about z applied to every string.

  // The text console.
  TextConsole console;  ///< The text console.

  // Bitmap fonts and their settings.
  BitmapFont bitmapFonts[FONT_SLOT_COUNT];  ///< The bitmap-font slots.
  int32_t currentBitmapFont = 0;            ///< -1 = none.
  uint8_t bitmapCentered = 0;               ///< Bitmap strings are centred when exactly 1.
  uint8_t savedTexturing = 0;               ///< GL_TEXTURE_2D as found by the last beginBitmapText().
  float bitmapRotation = 0;                 ///< Stored, applied by no drawing call.
};

extern ZARNOK_FONT_API FontRegistry fontRegistry;  ///< The one registry.

// ---------------------------------------------------------------------------------
// Vector-font registry and settings.

/// Reads a vector font file into the lowest empty slot and makes that slot the current
/// font. Needs no GL context. Loading the same file twice fills two slots.
/// \param path the file's path (\ref vector_font_file "the vector font file").
/// \return the slot, 0..255; or -1 when all 256 slots are filled (no file is opened then)
///         or the file cannot be opened or is refused (see readFontFile()). A failed load
///         leaves the registry exactly as it was.
ZARNOK_FONT_API int loadFont(const char* path);

/// Frees the current font and empties its slot; there is no current font afterwards (-1).
/// \return 0; or -1 when there is no current font (nothing changes).
ZARNOK_FONT_API int unloadCurrentFont();

/// Frees the font in a slot and empties the slot. If it was the current font, there is
/// no current font afterwards (-1); otherwise the current font stays.
/// \param index the slot.
/// \return 0; or -1 when the index is outside 0..255 or the slot is empty.
ZARNOK_FONT_API int unloadFont(int index);

/// Makes a filled slot the current font, which drawing calls use.
/// \param index the slot.
/// \return 0; or -1 when the index is outside 0..255 or the slot is empty (nothing changes).
ZARNOK_FONT_API int selectFont(int index);

/// The current font.
/// \return its slot, or -1 for none (0 at program start, before any load).
ZARNOK_FONT_API int32_t getCurrentFont();

/// Sets the gap between two neighbouring glyphs (0.2 at program start). No range check.
/// \param space the gap, in font units.
ZARNOK_FONT_API void setSymbolSpace(float space);

/// Sets the advance of a space and of a character without a glyph (2.0 at program start).
/// \param size the advance, in font units.
ZARNOK_FONT_API void setSpaceSize(float size);

/// Sets the depth of wireframe and solid prisms (0.2 at program start), which stand between
/// z = 1 and z = 1 + depth.
/// \param depth the depth, in font units.
ZARNOK_FONT_API void setSymbolDepth(float depth);

/// The depth of prisms.
/// \return the depth set by setSymbolDepth().
ZARNOK_FONT_API float getSymbolDepth();

/// Switches an option on (\ref settings "the settings"): its switch becomes #SWITCH_ON (1).
/// \param option #OPTION_MESSAGES, #OPTION_TEXTURING, #OPTION_CONTOURING or
///        #OPTION_CONSOLE_CURSOR; any other code is ignored.
ZARNOK_FONT_API void enableOption(int option);

/// Switches an option off: its switch becomes #SWITCH_OFF (2).
/// \param option as for enableOption(); any other code is ignored.
ZARNOK_FONT_API void disableOption(int option);

/// Sets the writing direction. Until the first call (or initFonts()) it is 0, and
/// layoutString() and every string call draw nothing: set one first.
/// \param direction #DIRECTION_RIGHT, #DIRECTION_LEFT, #DIRECTION_UP or #DIRECTION_DOWN
///        (1..4); any other value is ignored.
ZARNOK_FONT_API void setDirection(int32_t direction);

/// The writing direction.
/// \return 1..4, or 0 before any was set.
ZARNOK_FONT_API int32_t getDirection();

/// Sets whether strings are centred on their origin along the writing direction.
/// \param centered non-zero to centre; only its low byte is kept, so 256 means off.
ZARNOK_FONT_API void setCentering(int centered);

/// The centring flag.
/// \return the low byte stored by setCentering(); non-zero = centred.
ZARNOK_FONT_API uint8_t getCentering();

/// Sets the rotation applied to every string, about the z axis through its origin.
/// \param degrees the angle, counter-clockwise.
ZARNOK_FONT_API void setRotation(float degrees);

/// Sets the colour of the outline that contouring (#OPTION_CONTOURING) draws over solid
/// glyphs. The components are stored as given.
/// \param red red, 0..1.
/// \param green green, 0..1.
/// \param blue blue, 0..1.
/// \param alpha alpha, 0..1.
ZARNOK_FONT_API void setContourColor(float red, float green, float blue, float alpha);

// Vector-font file reader (used by loadFont) and the byte-order probe.

/// Reads a vector font file (\ref vector_font_file "the vector font file") into a font record; loadFont()
/// uses it. Needs no GL context. The file is closed on every path. \param path the file's path. \param font
/// an empty record to fill: its name, glyph count and glyphs. \return 0; or -1 when the file cannot be
/// opened, does not start with "GLF", holds a
///         code twice, ends before its declared records, or has a triangle index or
///         contour end not below its glyph's vertex count. The record may then hold
///         glyphs read before the fault. With #OPTION_MESSAGES on, a wrong magic and a
///         repeated code print a line on standard output.
ZARNOK_FONT_API int readFontFile(const char* path, VectorFont* font);

/// The host's byte order, which the font readers consult.
/// \return 1 on a little-endian host, else 0.
ZARNOK_FONT_API int hostIsLittleEndian();

// ---------------------------------------------------------------------------------
// String layout and glyph drawing in the current font.

/// Draws one character's glyph of the current font at the origin of the current matrix:
/// drawSolidGlyph(), drawOutlineGlyph(), drawWireGlyph3D(), drawSolidGlyph3D() or one
/// of your own, for layoutString().
using GlyphDrawer = void (*)(unsigned char code);

/// Lays a string out in the current font and calls a glyph drawer for each character
/// that is not a space, the matrix moved to the character's place. The first glyph
/// starts at the origin (direction right, no centring: its left edge at x = -1), or the
/// string is centred on it (setCentering()); it runs along the writing direction,
/// rotated by the rotation setting. Each step is the glyph's extent from its origin, the
/// symbol space and the next glyph's extent to its origin; a space or a character
/// without a glyph advances by the space size.
///
/// Needs a GL context; nothing happens for a null or empty text, without a current font
/// or without a writing direction. Leaves the matrix as it found it (glPushMatrix() ... glPopMatrix()).
/// \param text a zero-terminated string; each byte is a character code.
/// \param drawer called for each character that is not a space, also for those without
///        a glyph.
ZARNOK_FONT_API void layoutString(const char* text, GlyphDrawer drawer);

/// Draws a string in flat filled glyphs of the current font, at z = 0 in the current
/// colour: layoutString() with drawSolidGlyph(). Needs a GL context; leaves the GL state
/// as it found it.
/// \param text a zero-terminated string.
ZARNOK_FONT_API void drawString(const char* text);

/// drawString() in a given font: the font is current during the call, and the current
/// font is put back afterwards. An index outside 0..255 or an empty slot draws nothing.
/// \param index the slot of the font.
/// \param text a zero-terminated string.
ZARNOK_FONT_API void drawStringInFont(int index, const char* text);

/// Draws one glyph of the current font as filled triangles at z = 0 (one GL_TRIANGLES
/// batch), in the current colour; with #OPTION_TEXTURING on each vertex (x, y) gets the
/// texture coordinate ((x + 1) / 2, (y + 1) / 2); with #OPTION_CONTOURING on, the outline
/// (drawOutlineGlyph()) follows in the contour colour, and the current colour is put back.
/// Needs a GL context; nothing is drawn without a current font or a glyph for the code.
/// \param code the character code.
ZARNOK_FONT_API void drawSolidGlyph(unsigned char code);

/// drawSolidGlyph() in a given font, the current font put back afterwards.
/// \param index the slot of the font; outside 0..255 or empty: nothing is drawn.
/// \param code the character code.
ZARNOK_FONT_API void drawSolidGlyphInFont(int index, unsigned char code);

/// Draws one glyph of the current font as its outline: one GL_LINE_LOOP per contour, at
/// z = 0, in the current colour. Needs a GL context; nothing is drawn without a current
/// font or a glyph for the code.
/// \param code the character code.
ZARNOK_FONT_API void drawOutlineGlyph(unsigned char code);

/// Measures a string in a given font, as left-to-right text: min x is the first glyph's
/// left edge (0 if it has none); max x adds, per character, its glyph's width and the
/// symbol space (the last included), or the space size for a space or a character
/// without a glyph; min and max y are the glyphs' lowest and highest points (10 and -10
/// when no character has a glyph). Direction, centring and rotation are not looked at.
/// Needs no GL context.
/// \param index the slot of the font; outside 0..255 or empty: nothing is written.
/// \param text a zero-terminated string.
/// \param minX receives the left end; written with minY only if both are given.
/// \param minY receives the bottom.
/// \param maxX receives the right end; written with maxY only if both are given.
/// \param maxY receives the top.
ZARNOK_FONT_API void getStringBounds(int index, const char* text, float* minX, float* minY, float* maxX,
                                     float* maxY);

/// getStringBounds() in the current font; without one nothing is written.
/// \param text a zero-terminated string.
/// \param minX receives the left end; written with minY only if both are given.
/// \param minY receives the bottom.
/// \param maxX receives the right end; written with maxY only if both are given.
/// \param maxY receives the top.
ZARNOK_FONT_API void getCurrentStringBounds(const char* text, float* minX, float* minY, float* maxX,
                                            float* maxY);

// The library's further calls (outline and extruded strings, the text console, bitmap
// fonts, start-up and shut-down) are declared by their own modules' headers, which
// include this one.

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

// ---------------------------------------------------------------------------------
// Constants.

constexpr int FONT_SLOT_COUNT = 256;   // vector-font slots, and bitmap-font slots
constexpr int GLYPH_CODE_COUNT = 256;  // character codes 0..255

// Switch values: a switch is on only when it equals SWITCH_ON.
constexpr uint8_t SWITCH_ON = 1;
constexpr uint8_t SWITCH_OFF = 2;

// Writing directions.
constexpr int32_t DIRECTION_RIGHT = 1;  // glyphs advance along +x
constexpr int32_t DIRECTION_LEFT = 2;   // along -x
constexpr int32_t DIRECTION_UP = 3;     // along +y
constexpr int32_t DIRECTION_DOWN = 4;   // along -y

// Option codes for enableOption / disableOption.
constexpr int OPTION_MESSAGES = 10;        // the vector-font loader prints its errors
constexpr int OPTION_TEXTURING = 11;       // solid glyph vertices get texture coordinates
constexpr int OPTION_CONTOURING = 12;      // solid glyphs get their outline drawn over them
constexpr int OPTION_CONSOLE_CURSOR = 30;  // the text console shows its blinking cursor

// ---------------------------------------------------------------------------------
// Vector fonts. Glyph coordinates are laid out for a cell from -1 to 1 on both axes;
// a glyph's origin is its reference point for layout.

struct GlyphVertex {
  float x, y;
};

struct VectorGlyph {
  uint8_t vertexCount = 0;                  // 0..255
  uint8_t facetCount = 0;                   // triangles
  uint8_t contourCount = 0;                 // closed outlines
  std::unique_ptr<GlyphVertex[]> vertices;  // vertexCount points, contour after contour
  std::unique_ptr<uint8_t[]> facets;        // facetCount x 3 vertex indices
  std::unique_ptr<uint8_t[]> contourEnds;   // per contour, the index of its last vertex
  float left = 10;                          // smallest x of the vertices (10 without vertices)
  float right = -10;                        // largest x (-10 without vertices)
  float bottom = 10;                        // smallest y (10 without vertices)
  float top = -10;                          // largest y (-10 without vertices)
};

struct VectorFont {
  char name[97] = {};                                      // the file's 96 name bytes and a terminating zero
  uint8_t symbolCount = 0;                                 // glyph records the file declares
  std::unique_ptr<VectorGlyph> symbols[GLYPH_CODE_COUNT];  // by character code; null = no glyph
};

// ---------------------------------------------------------------------------------
// The text console: a grid of characters drawn line by line in a vector font.

struct TextConsole {
  int32_t consoleWidth = 0;                  // characters per line (at most 511)
  int32_t consoleHeight = 0;                 // lines
  std::unique_ptr<uint8_t[]> consoleBuffer;  // width x height cells, line after line; 0 = empty
  int32_t consoleFont = 0;                   // vector-font slot the console is drawn in
  int32_t cursorX = 0;                       // column of the next character
  int32_t cursorY = 0;                       // line of the next character
  uint8_t cursorSwitch = SWITCH_OFF;         // the blinking cursor is shown
  int32_t blinkRate = 0;                     // cursor-line draws between two toggles
  int32_t blinkCounter = 0;                  // draws left until the next toggle
  uint8_t cursorShown = 2;                   // blink phase: 1 shown, 2 hidden
};

// ---------------------------------------------------------------------------------
// Bitmap fonts: one picture holding all glyphs, as a texture, a mask texture and one
// display list per character code.

struct BitmapFont {
  uint8_t inUse = 0;                // the slot holds a loaded font
  uint32_t texture = 0;             // OpenGL texture name of the font picture
  uint32_t maskTexture = 0;         // OpenGL texture name of its mask
  uint32_t listBase = 0;            // first of 256 display lists, one per character code
  std::unique_ptr<float[]> widths;  // 256 glyph widths, for measuring strings
};

// ---------------------------------------------------------------------------------
// The registry: the library's one global state. The initial values below are the
// state at program start, before any call of the library.

struct FontRegistry {
  // Vector fonts and their settings.
  std::unique_ptr<VectorFont> fonts[FONT_SLOT_COUNT];  // null = empty slot
  int32_t currentFont = 0;                             // slot used by drawing; -1 = none
  float symbolSpace = 0.2f;                            // gap between two neighbouring glyphs
  float spaceSize = 2.0f;                              // advance for a space or a character without a glyph
  float symbolDepth = 0.2f;                            // extrusion depth of 3D glyphs
  uint8_t messagesSwitch = SWITCH_OFF;
  uint8_t texturingSwitch = SWITCH_OFF;
  uint8_t contouringSwitch = SWITCH_OFF;
  float contourColor[4] = {0, 0, 0, 0};  // red, green, blue, alpha of the outline
  int32_t direction = 0;                 // 1..4 once set; 0 = not yet set, nothing is drawn
  uint8_t centered = 0;                  // non-zero: strings are centred on the origin
  float rotation = 0;                    // degrees about z applied to every string

  // The text console.
  TextConsole console;

  // Bitmap fonts and their settings.
  BitmapFont bitmapFonts[FONT_SLOT_COUNT];
  int32_t currentBitmapFont = 0;  // -1 = none
  uint8_t bitmapCentered = 0;     // strings are centred when exactly 1
  uint8_t savedTexturing = 0;     // GL_TEXTURE_2D as found by the last beginBitmapText
  float bitmapRotation = 0;       // stored, applied by no drawing call
};

extern ZARNOK_FONT_API FontRegistry fontRegistry;  // the one registry

// ---------------------------------------------------------------------------------
// Vector-font registry and settings.

ZARNOK_FONT_API int loadFont(const char* path);        // read a font into the lowest empty slot; slot or -1
ZARNOK_FONT_API int unloadCurrentFont();               // free the current font; 0 or -1
ZARNOK_FONT_API int unloadFont(int index);             // free the font in a slot; 0 or -1
ZARNOK_FONT_API int selectFont(int index);             // make a filled slot current; 0 or -1
ZARNOK_FONT_API int32_t getCurrentFont();              // the current slot, -1 = none
ZARNOK_FONT_API void setSymbolSpace(float space);      // gap between neighbouring glyphs
ZARNOK_FONT_API void setSpaceSize(float size);         // advance of a space
ZARNOK_FONT_API void setSymbolDepth(float depth);      // extrusion depth of 3D glyphs
ZARNOK_FONT_API float getSymbolDepth();                // extrusion depth of 3D glyphs
ZARNOK_FONT_API void enableOption(int option);         // switch an OPTION_* on; other codes ignored
ZARNOK_FONT_API void disableOption(int option);        // switch an OPTION_* off; other codes ignored
ZARNOK_FONT_API void setDirection(int32_t direction);  // a DIRECTION_*; other values ignored
ZARNOK_FONT_API int32_t getDirection();                // the writing direction
ZARNOK_FONT_API void setCentering(int centered);       // keeps its low byte; non-zero = centred
ZARNOK_FONT_API uint8_t getCentering();                // the centring flag
ZARNOK_FONT_API void setRotation(float degrees);       // rotation of every string about z

ZARNOK_FONT_API void setContourColor(float red, float green, float blue, float alpha);  // colour of outlines

// Vector-font file reader (used by loadFont) and the byte-order probe.
ZARNOK_FONT_API int readFontFile(const char* path, VectorFont* font);  // 0, or -1 on any fault
ZARNOK_FONT_API int hostIsLittleEndian();                              // 1 on a little-endian host, else 0

// ---------------------------------------------------------------------------------
// String layout and glyph drawing in the current font.

// Draws one character's glyph of the current font at the current origin.
using GlyphDrawer = void (*)(unsigned char code);

ZARNOK_FONT_API void layoutString(const char* text, GlyphDrawer drawer);   // place the glyphs, call drawer
ZARNOK_FONT_API void drawString(const char* text);                         // solid glyphs, current font
ZARNOK_FONT_API void drawStringInFont(int index, const char* text);        // solid glyphs in a given font
ZARNOK_FONT_API void drawSolidGlyph(unsigned char code);                   // filled triangles (+ outline)
ZARNOK_FONT_API void drawSolidGlyphInFont(int index, unsigned char code);  // the same in a given font
ZARNOK_FONT_API void drawOutlineGlyph(unsigned char code);                 // one line loop per contour

// Extent of left-to-right text; each pair of outputs is written only if both are given.
ZARNOK_FONT_API void getStringBounds(int index, const char* text, float* minX, float* minY, float* maxX,
                                     float* maxY);
ZARNOK_FONT_API void getCurrentStringBounds(const char* text, float* minX, float* minY, float* maxX,
                                            float* maxY);

// The library's further calls (outline and extruded strings, the text console, bitmap
// fonts, start-up and shut-down) are declared by their own modules' headers, which
// include this one.

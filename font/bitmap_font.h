// bitmap_font.h -- bitmap fonts: the font file reader (glyph records and the embedded
// picture, decoded into RGBA pixels), the loader that turns a font into a glyph texture,
// a mask texture and 256 display lists in a slot of the registry, and the calls that
// choose, unload and draw with the loaded fonts, plainly or masked.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "font/font_library.h"

// The gap every glyph's display list adds after the glyph's width, and that string
// measuring adds per character.
constexpr float glyphSpacing = 0.001f;

// One glyph's place in the font picture, in texture units; tw and th are also the
// glyph's size in model units when drawn.
struct GlyphMetrics {
  float tx, ty, tw, th;
};

// The font file: "BMF", 96 name bytes, 256 glyph records of four little-endian floats,
// then the picture.
constexpr long BITMAP_FONT_NAME_OFFSET = 3;
constexpr long BITMAP_FONT_GLYPHS_OFFSET = 99;
constexpr long BITMAP_FONT_IMAGE_OFFSET = 4195;

// The picture's header is 512 bytes, big-endian; rows (or the row tables of a
// run-length encoded picture) follow it.
constexpr long FONT_IMAGE_HEADER_SIZE = 512;
constexpr uint8_t FONT_IMAGE_RUN_LENGTH = 1;  // storage byte of a run-length encoded picture

// The largest picture the reader accepts: sides up to 16384 pixels (the largest texture
// the GL implementations we run on take) and at most 2^24 pixels in all.
constexpr uint32_t FONT_IMAGE_MAX_SIDE = 16384;
constexpr uint64_t FONT_IMAGE_MAX_PIXELS = uint64_t(1) << 24;

// An open picture inside a font file. The header fields are in host order.
struct FontImage {
  uint16_t magic = 0;
  uint16_t storage = 0;  // storage byte (high) and bytes per channel (low)
  uint16_t dimension = 0;
  uint16_t imageWidth = 0;   // pixels per row
  uint16_t imageHeight = 0;  // rows, row 0 at the bottom
  uint16_t channelCount = 0;
  FILE* file = nullptr;                    // not owned
  long imageStart = 0;                     // file offset of the picture's first byte
  uint64_t imageSize = 0;                  // bytes from imageStart to the end of the file
  std::unique_ptr<uint8_t[]> rowScratch;   // one compressed row (run-length encoded only)
  size_t scratchSize = 0;                  // imageWidth x 256
  std::unique_ptr<uint32_t[]> rowOffsets;  // per row and channel, from imageStart; null if raw
  std::unique_ptr<int32_t[]> rowLengths;   // compressed bytes per row and channel; null if raw
};

// ---------------------------------------------------------------------------------
// Reading fonts.

ZARNOK_FONT_API int loadBitmapFont(
    const char* path);  // load into the lowest free slot, make it current; slot or -1
ZARNOK_FONT_API std::unique_ptr<uint8_t[]> decodeFontImage(
    FILE* file, int32_t* twidth, int32_t* theight,
    int32_t* tcomp);  // RGBA pixels of the picture at file's position, or null
ZARNOK_FONT_API FontImage* openFontImage(
    FILE* file);  // header and row tables of the picture at file's position, or null if malformed
ZARNOK_FONT_API int readImageRow(FontImage* image, uint8_t* buffer, int y,
                                 int z);                // row y of channel z into buffer; 0 or -1
ZARNOK_FONT_API void closeFontImage(FontImage* image);  // free the record; the file stays open
ZARNOK_FONT_API std::unique_ptr<uint8_t[]> makeMaskImage(const uint8_t* pixels, int width,
                                                         int height);  // white where black
ZARNOK_FONT_API void fromBigEndian16(uint16_t* values, size_t count);  // big-endian to host order, in place
ZARNOK_FONT_API void fromBigEndian32(uint32_t* values, size_t count);  // big-endian to host order, in place

// ---------------------------------------------------------------------------------
// Choosing, unloading and drawing. Text runs along +x from the current origin; every
// character moves the origin by its width plus glyphSpacing.

ZARNOK_FONT_API int unloadBitmapFont(int slot);           // free a slot's textures, lists and widths; 0 or -1
ZARNOK_FONT_API int unloadCurrentBitmapFont();            // unloadBitmapFont(current); 0 or -1
ZARNOK_FONT_API int selectBitmapFont(int slot);           // make a loaded slot current; 0 or -1
ZARNOK_FONT_API int32_t getCurrentBitmapFont();           // the current slot, -1 = none
ZARNOK_FONT_API void beginBitmapText();                   // remember GL_TEXTURE_2D, enable it, bind the font
ZARNOK_FONT_API void endBitmapText();                     // put GL_TEXTURE_2D back as found
ZARNOK_FONT_API void drawBitmapChar(unsigned char code);  // one glyph with the caller's state
ZARNOK_FONT_API void drawBitmapString(const char* text);  // a string, centred if so set
ZARNOK_FONT_API void drawMaskedBitmapChar(
    unsigned char code);  // glyph opaque over the frame, background clear
ZARNOK_FONT_API void drawMaskedBitmapString(const char* text);  // the same for a string
ZARNOK_FONT_API void setBitmapCentering(uint8_t flag);          // 1 = strings centred on the origin
ZARNOK_FONT_API uint8_t getBitmapCentering();                   // the centring flag
ZARNOK_FONT_API void setBitmapRotation(float degrees);          // stored; no drawing call applies it

// bitmap_font.h -- bitmap fonts: the font file reader (glyph records and the embedded
// picture, decoded into RGBA pixels), the loader that turns a font into a glyph texture,
// a mask texture and 256 display lists in a slot of the registry, and the calls that
// choose, unload and draw with the loaded fonts, plainly or masked.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "font/font_library.h"

/// \file
/// Bitmap fonts: up to 256 fonts, each one picture with every glyph in it (a texture),
/// a mask made from it (a second texture) and 256 display lists, one per character code,
/// each drawing its glyph as a textured quad from the origin and then moving the origin
/// right by the glyph's width plus #glyphSpacing. A glyph is as many model units wide and
/// high as its share of the picture (GlyphMetrics): scale to taste. The file and its
/// picture are described in \ref bitmap_font_file "the bitmap font file"; the readers below are what
/// loadBitmapFont() uses, exported for tools that read the same files.
///
/// Drawing: plain glyphs are drawn with whatever texturing and blending the caller has
/// set up; beginBitmapText() and endBitmapText() turn 2D texturing on around them and
/// back. Masked glyphs are drawn in two passes that leave the glyphs' black background
/// out: they need GL_BLEND enabled by the caller and set the blend function themselves.

/// The gap every glyph's display list adds after the glyph's width, and that string
/// measuring adds per character.
constexpr float glyphSpacing = 0.001f;

/// One glyph's place in the font picture, in texture units (0..1 across the picture, y
/// from its bottom row); tw and th are also the glyph's size in model units when drawn.
struct GlyphMetrics {
  float tx;  ///< x of the glyph's lower-left corner.
  float ty;  ///< y of the glyph's lower-left corner.
  float tw;  ///< Width.
  float th;  ///< Height.
};

// The font file: "BMF", 96 name bytes, 256 glyph records of four little-endian floats,
// then the picture.
constexpr long BITMAP_FONT_NAME_OFFSET = 3;      ///< File offset of the 96 name bytes.
constexpr long BITMAP_FONT_GLYPHS_OFFSET = 99;   ///< File offset of the 256 glyph records.
constexpr long BITMAP_FONT_IMAGE_OFFSET = 4195;  ///< File offset of the picture.

// The picture's header is 512 bytes, big-endian; rows (or the row tables of a
// run-length encoded picture) follow it.
constexpr long FONT_IMAGE_HEADER_SIZE = 512;  ///< Bytes of the picture's header.
constexpr uint8_t FONT_IMAGE_RUN_LENGTH = 1;  ///< Storage byte of a run-length encoded picture.

// The largest picture the reader accepts: sides up to 16384 pixels (the largest texture
// the GL implementations we run on take) and at most 2^24 pixels in all.
constexpr uint32_t FONT_IMAGE_MAX_SIDE = 16384;                ///< Longest side the reader accepts.
constexpr uint64_t FONT_IMAGE_MAX_PIXELS = uint64_t(1) << 24;  ///< Most pixels the reader accepts.

/// An open picture inside a font file (openFontImage()). The header fields are in host
/// order.
struct FontImage {
  uint16_t magic = 0;                      ///< The header's first field; not checked.
  uint16_t storage = 0;                    ///< Storage byte (high) and bytes per channel (low).
  uint16_t dimension = 0;                  ///< Not used.
  uint16_t imageWidth = 0;                 ///< Pixels per row.
  uint16_t imageHeight = 0;                ///< Rows, row 0 at the bottom.
  uint16_t channelCount = 0;               ///< Channels (planes).
  FILE* file = nullptr;                    ///< The font file; not owned.
  long imageStart = 0;                     ///< File offset of the picture's first byte.
  uint64_t imageSize = 0;                  ///< Bytes from imageStart to the end of the file.
  std::unique_ptr<uint8_t[]> rowScratch;   ///< One compressed row (run-length encoded only).
  size_t scratchSize = 0;                  ///< imageWidth x 256.
  std::unique_ptr<uint32_t[]> rowOffsets;  ///< Per row and channel, from imageStart; null if raw.
  std::unique_ptr<int32_t[]> rowLengths;   ///< Compressed bytes per row and channel; null if raw.
};

// ---------------------------------------------------------------------------------
// Reading fonts.

/// Loads a bitmap font file into the lowest free slot and makes it the current bitmap
/// font: two textures (glyphs and mask, GL_LINEAR filtering) and 256 display lists.
/// Needs a GL context; leaves GL_UNPACK_ALIGNMENT at 1 and the mask texture bound to
/// GL_TEXTURE_2D.
/// \param path the file's path (\ref bitmap_font_file "the bitmap font file").
/// \return the slot, 0..255; or -1 when the file cannot be opened, does not start with
///         "BMF", ends inside its glyph records or holds a picture the reader refuses,
///         when all 256 slots are in use (after reading the whole file) or when GL gives
///         no texture or list names (no context). Nothing changes then, and everything
///         the attempt allocated is released.
ZARNOK_FONT_API int loadBitmapFont(const char* path);

/// Decodes the picture that starts at the file's position into RGBA pixels (rows bottom
/// first, no padding): grey from one or two channels, the second as alpha; red, green
/// and blue from three or more, the fourth as alpha; opaque without an alpha channel.
/// Needs no GL context.
/// \param file the open font file, positioned at the picture.
/// \param twidth receives the width (0 for a refused picture), if not null.
/// \param theight receives the height (0 for a refused picture), if not null.
/// \param tcomp receives the channel count (0 for a refused picture), if not null.
/// \return width x height x 4 bytes; or null when openFontImage() refuses the picture, a
///         row cannot be read or expanded, or memory runs out.
ZARNOK_FONT_API std::unique_ptr<uint8_t[]> decodeFontImage(FILE* file, int32_t* twidth, int32_t* theight,
                                                           int32_t* tcomp);

/// Reads the header of the picture that starts at the file's position, and the row
/// tables of a run-length encoded one, checking them against the file's real size.
/// \param file the open font file, positioned at the picture.
/// \return a record to pass to readImageRow() and free with closeFontImage(); or null
///         for a null file, a header or tables outside the file, a side of 0 or above
///         #FONT_IMAGE_MAX_SIDE, more than #FONT_IMAGE_MAX_PIXELS pixels, no channels, or
///         rows outside the file. Running out of memory for the record, the tables or the
///         scratch row prints "Out of memory!" on standard error and ends the program
///         with status 1.
ZARNOK_FONT_API FontImage* openFontImage(FILE* file);

/// Reads one row of one channel of an open picture, expanding a run-length encoded one.
/// \param image the open picture.
/// \param buffer receives the row: imageWidth bytes. A run-length encoded row that
///        expands to fewer bytes leaves the rest as it was.
/// \param y the row, 0 at the bottom.
/// \param z the channel.
/// \return 0; or -1 for a null argument, a row or channel outside the picture, a failed
///         read, or a row whose packets run past its length or expand beyond the width.
ZARNOK_FONT_API int readImageRow(FontImage* image, uint8_t* buffer, int y, int z);

/// Frees an open picture's record and its buffers; the file stays open.
/// \param image the record from openFontImage(), or null.
ZARNOK_FONT_API void closeFontImage(FontImage* image);

/// Makes the mask of a picture: white (255, 255, 255, 0) where the picture is black (red,
/// green and blue all 0), black (0, 0, 0, 0) everywhere else.
/// \param pixels the RGBA picture.
/// \param width its width.
/// \param height its height.
/// \return the mask, the same size; or null for null pixels, a negative size or no memory.
ZARNOK_FONT_API std::unique_ptr<uint8_t[]> makeMaskImage(const uint8_t* pixels, int width, int height);

/// Converts 16-bit values from big-endian to host order, in place.
/// \param values the values.
/// \param count how many.
ZARNOK_FONT_API void fromBigEndian16(uint16_t* values, size_t count);

/// Converts 32-bit values from big-endian to host order, in place.
/// \param values the values.
/// \param count how many.
ZARNOK_FONT_API void fromBigEndian32(uint32_t* values, size_t count);

// ---------------------------------------------------------------------------------
// Choosing, unloading and drawing. Text runs along +x from the current origin; every
// character moves the origin by its width plus glyphSpacing.

/// Unloads the font in a slot: deletes its two textures and 256 display lists (needs a
/// GL context) and frees its widths. If it was the current bitmap font there is none
/// afterwards (-1).
/// \param slot the slot.
/// \return 0; or -1 when the slot is outside 0..255 or not in use.
ZARNOK_FONT_API int unloadBitmapFont(int slot);

/// unloadBitmapFont() of the current bitmap font.
/// \return 0; or -1 when there is no current bitmap font.
ZARNOK_FONT_API int unloadCurrentBitmapFont();

/// Makes a loaded slot the current bitmap font, which drawing uses.
/// \param slot the slot.
/// \return 0; or -1 when the slot is outside 0..255 or not in use (nothing changes).
ZARNOK_FONT_API int selectBitmapFont(int slot);

/// The current bitmap font.
/// \return its slot, or -1 for none (0 at program start).
ZARNOK_FONT_API int32_t getCurrentBitmapFont();

/// Starts plain bitmap text: remembers whether GL_TEXTURE_2D is enabled, enables it and
/// binds the current font's texture (if there is a current font). Pairs do not nest.
/// Needs a GL context.
ZARNOK_FONT_API void beginBitmapText();

/// Ends bitmap text: GL_TEXTURE_2D enabled or disabled as beginBitmapText() found it.
/// Needs a GL context.
ZARNOK_FONT_API void endBitmapText();

/// Draws one glyph of the current bitmap font at the origin with the caller's texturing
/// and blending, and moves the origin right by its width plus #glyphSpacing (the matrix
/// is left moved). Needs a GL context; nothing without a current bitmap font.
/// \param code the character code.
ZARNOK_FONT_API void drawBitmapChar(unsigned char code);

/// Draws a string in the current bitmap font with the caller's texturing and blending
/// (plain: each glyph an opaque quad, between beginBitmapText() and endBitmapText()).
/// Uncentred, the origin is left at the string's end, so strings continue one another;
/// centred (setBitmapCentering()), the matrix is as before. The list base
/// (glListBase()) is left at the font's. Needs a GL context; nothing without a current
/// bitmap font or for a null text.
/// \param text a zero-terminated string; each byte is a character code.
ZARNOK_FONT_API void drawBitmapString(const char* text);

/// Draws one glyph masked: the frame is multiplied by the mask (drawn white, so the
/// current colour does not tint it), which clears the glyph's pixels and keeps its black
/// background; then the glyph is added in the current colour. Needs GL_BLEND enabled and
/// GL_TEXTURE_2D on; leaves the blend function at (GL_ONE, GL_ONE), the font's texture
/// bound and the origin moved as drawBitmapChar() does. Nothing without a current
/// bitmap font.
/// \param code the character code.
ZARNOK_FONT_API void drawMaskedBitmapChar(unsigned char code);

/// drawMaskedBitmapChar() for a string, centred if so set; the origin moves as with
/// drawBitmapString(). Nothing without a current bitmap font or for a null text.
/// \param text a zero-terminated string.
ZARNOK_FONT_API void drawMaskedBitmapString(const char* text);

/// Sets whether bitmap strings are centred on their origin.
/// \param flag exactly 1 centres; any other value does not.
ZARNOK_FONT_API void setBitmapCentering(uint8_t flag);

/// The bitmap centring flag.
/// \return the value set by setBitmapCentering().
ZARNOK_FONT_API uint8_t getBitmapCentering();

/// Stores a rotation for bitmap text; no drawing call applies it.
/// \param degrees the angle.
ZARNOK_FONT_API void setBitmapRotation(float degrees);

// bitmap_font_loader.cpp -- loads a bitmap font file into the lowest free bitmap-font
// slot: reads the 256 glyph records, decodes the picture, makes the glyph and mask
// textures and compiles one display list per character code, which draws the glyph as
// a textured quad and then moves the origin right by its width plus glyphSpacing.
//
// A file that cannot be opened, does not start with "BMF", ends inside its glyph
// records or holds a picture the reader refuses gives -1 with the registry unchanged;
// so does a full registry (after the whole file has been read). Whatever a failed load
// allocated -- buffers, texture names, display lists -- is released before it returns.
#include <GL/gl.h>

#include <cstring>
#include <new>

#include "font/bitmap_font.h"

namespace {

constexpr size_t kMagicSize = 3;
constexpr size_t kNameSize = 96;
constexpr size_t kGlyphRecordSize = 16;

// A font file opened for reading, closed on every path out.
class InputFile {
 public:
  explicit InputFile(const char* path) : file_(path ? std::fopen(path, "rb") : nullptr) {}
  ~InputFile() { close(); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  FILE* file() const { return file_; }
  // Reads exactly count bytes; false if the file ends first.
  bool read(void* buffer, size_t count) { return std::fread(buffer, 1, count, file_) == count; }
  void close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
  }

 private:
  FILE* file_;
};

// A little-endian IEEE single, assembled byte by byte so that any host reads it right.
float littleEndianFloat(const uint8_t* bytes) {
  const uint32_t bits =
      uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
  float value;
  std::memcpy(&value, &bits, 4);
  return value;
}

void uploadTexture(GLuint name, int width, int height, const uint8_t* pixels) {
  glBindTexture(GL_TEXTURE_2D, name);
  // Internal format 3 keeps red, green and blue; the alpha bytes are dropped.
  glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void compileGlyphList(GLuint list, const GlyphMetrics& glyph) {
  const float right = glyph.tx + glyph.tw;
  const float top = glyph.ty + glyph.th;
  glNewList(list, GL_COMPILE);
  glBegin(GL_QUADS);
  glTexCoord2f(glyph.tx, glyph.ty);
  glVertex2f(0, 0);
  glTexCoord2f(right, glyph.ty);
  glVertex2f(glyph.tw, 0);
  glTexCoord2f(right, top);
  glVertex2f(glyph.tw, glyph.th);
  glTexCoord2f(glyph.tx, top);
  glVertex2f(0, glyph.th);
  glEnd();
  glTranslatef(glyph.tw + glyphSpacing, 0, 0);
  glEndList();
}

}  // namespace

int loadBitmapFont(const char* path) {
  InputFile in(path);
  if (!in.file()) return -1;
  char magic[kMagicSize + 1] = {};
  if (!in.read(magic, kMagicSize) || std::memcmp(magic, "BMF", kMagicSize) != 0) return -1;
  char fontName[kNameSize + 1] = {};  // read past; fonts are not known by name
  if (!in.read(fontName, kNameSize)) return -1;

  std::unique_ptr<float[]> widths(new (std::nothrow) float[GLYPH_CODE_COUNT]);
  if (!widths) return -1;
  GlyphMetrics glyphs[GLYPH_CODE_COUNT];
  for (int code = 0; code < GLYPH_CODE_COUNT; code++) {
    uint8_t record[kGlyphRecordSize];
    if (!in.read(record, kGlyphRecordSize)) return -1;
    glyphs[code] = {littleEndianFloat(record), littleEndianFloat(record + 4), littleEndianFloat(record + 8),
                    littleEndianFloat(record + 12)};
    widths[code] = glyphs[code].tw;
  }

  int32_t width = 0, height = 0, channels = 0;
  std::unique_ptr<uint8_t[]> picture = decodeFontImage(in.file(), &width, &height, &channels);
  if (!picture) return -1;
  std::unique_ptr<uint8_t[]> mask = makeMaskImage(picture.get(), width, height);
  if (!mask) return -1;

  int slot = 0;
  while (slot < FONT_SLOT_COUNT && fontRegistry.bitmapFonts[slot].inUse) slot++;
  if (slot == FONT_SLOT_COUNT) return -1;

  GLuint texture = 0, maskTexture = 0;
  glGenTextures(1, &texture);
  glGenTextures(1, &maskTexture);
  if (texture == 0 || maskTexture == 0) {  // no usable GL context
    if (texture) glDeleteTextures(1, &texture);
    if (maskTexture) glDeleteTextures(1, &maskTexture);
    return -1;
  }
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  uploadTexture(texture, width, height, picture.get());
  uploadTexture(maskTexture, width, height, mask.get());
  picture.reset();
  mask.reset();
  in.close();

  const GLuint listBase = glGenLists(GLYPH_CODE_COUNT);
  if (listBase == 0) {
    glDeleteTextures(1, &texture);
    glDeleteTextures(1, &maskTexture);
    return -1;
  }
  for (int code = 0; code < GLYPH_CODE_COUNT; code++) compileGlyphList(listBase + GLuint(code), glyphs[code]);

  BitmapFont& font = fontRegistry.bitmapFonts[slot];
  font.inUse = 1;
  font.texture = texture;
  font.maskTexture = maskTexture;
  font.listBase = listBase;
  font.widths = std::move(widths);
  fontRegistry.currentBitmapFont = slot;
  return slot;
}

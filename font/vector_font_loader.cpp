// vector_font_loader.cpp -- reads a vector font file into a VectorFont record, and the
// host byte-order probe shared with the bitmap-font loader.
//
// The file: "GLF", 96 name bytes, a symbol count byte, 28 reserved bytes, then one
// record per glyph: code, vertex count V, triangle count F, contour count L (a byte
// each), V pairs of little-endian 32-bit floats, F triples of vertex indices, L
// contour-end indices. The whole format is supported. Besides a wrong magic and a
// code that appears twice, a load also fails (silently) on a file that ends before
// the records it declares, and on a triangle index or contour end that is not below
// the glyph's vertex count -- so a loaded glyph never points outside its own arrays.
// Bytes after the last record are not read. Nothing is read into a buffer beyond the
// size allocated for it: every array is sized from the byte counts of its record
// (at most 255 x 8 bytes), so no size product can overflow.
#include <cstdio>
#include <cstring>
#include <new>

#include "font/font_library.h"

namespace {

// A file opened for reading, closed on every path out.
class InputFile {
 public:
  explicit InputFile(const char* path) : file_(path ? std::fopen(path, "rb") : nullptr) {}
  ~InputFile() {
    if (file_) std::fclose(file_);
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool isOpen() const { return file_ != nullptr; }
  // Reads exactly count bytes; false if the file ends first.
  bool read(void* buffer, size_t count) { return std::fread(buffer, 1, count, file_) == count; }

 private:
  FILE* file_;
};

constexpr size_t kNameSize = 96;
constexpr size_t kReservedSize = 28;

void reportError(const char* message) {
  if (fontRegistry.messagesSwitch == SWITCH_ON) std::fputs(message, stdout);
}

float floatFromBytes(const unsigned char* bytes, bool littleEndianHost) {
  unsigned char ordered[4];
  if (littleEndianHost) {
    std::memcpy(ordered, bytes, 4);
  } else {
    for (int i = 0; i < 4; i++) ordered[i] = bytes[3 - i];
  }
  float value;
  std::memcpy(&value, ordered, 4);
  return value;
}

// Reads the body of one glyph record (after its four count bytes) into glyph.
bool readGlyph(InputFile& in, VectorGlyph& glyph, bool littleEndianHost) {
  const size_t vertexCount = glyph.vertexCount;
  const size_t facetCount = glyph.facetCount;
  const size_t contourCount = glyph.contourCount;
  glyph.vertices.reset(new (std::nothrow) GlyphVertex[vertexCount]);
  glyph.facets.reset(new (std::nothrow) uint8_t[facetCount * 3]);
  glyph.contourEnds.reset(new (std::nothrow) uint8_t[contourCount]);
  if (!glyph.vertices || !glyph.facets || !glyph.contourEnds) return false;

  unsigned char coordinates[255 * 8];
  if (!in.read(coordinates, vertexCount * 8)) return false;
  for (size_t j = 0; j < vertexCount; j++) {
    const float x = floatFromBytes(coordinates + 8 * j, littleEndianHost);
    const float y = floatFromBytes(coordinates + 8 * j + 4, littleEndianHost);
    glyph.vertices[j] = {x, y};
    if (x < glyph.left) glyph.left = x;
    if (x > glyph.right) glyph.right = x;
    if (y < glyph.bottom) glyph.bottom = y;
    if (y > glyph.top) glyph.top = y;
  }

  if (!in.read(glyph.facets.get(), facetCount * 3)) return false;
  for (size_t i = 0; i < facetCount * 3; i++) {
    if (glyph.facets[i] >= vertexCount) return false;
  }
  if (!in.read(glyph.contourEnds.get(), contourCount)) return false;
  for (size_t k = 0; k < contourCount; k++) {
    if (glyph.contourEnds[k] >= vertexCount) return false;
  }
  return true;
}

}  // namespace

int hostIsLittleEndian() {
  const int32_t endianTester = 1;
  unsigned char firstByte;
  std::memcpy(&firstByte, &endianTester, 1);
  return firstByte == 1 ? 1 : 0;
}

int readFontFile(const char* path, VectorFont* font) {
  if (!font) return -1;
  InputFile in(path);
  if (!in.isOpen()) return -1;

  char magic[4] = {};
  if (!in.read(magic, 3) || std::strcmp(magic, "GLF") != 0) {
    reportError("Error reading font file: incorrect file format\n");
    return -1;
  }
  const bool littleEndianHost = hostIsLittleEndian() == 1;

  if (!in.read(font->name, kNameSize)) return -1;
  font->name[kNameSize] = 0;
  if (!in.read(&font->symbolCount, 1)) return -1;
  for (auto& symbol : font->symbols) symbol.reset();
  unsigned char reserved[kReservedSize];
  if (!in.read(reserved, kReservedSize)) return -1;

  for (int record = 0; record < font->symbolCount; record++) {
    unsigned char counts[4];  // code, verts, fcets, lns
    if (!in.read(counts, 4)) return -1;
    const unsigned char code = counts[0];
    if (font->symbols[code]) {
      reportError("Error reading font file: encountered symbols in font\n");
      return -1;
    }
    font->symbols[code].reset(new (std::nothrow) VectorGlyph);
    VectorGlyph* glyph = font->symbols[code].get();
    if (!glyph) return -1;
    glyph->vertexCount = counts[1];
    glyph->facetCount = counts[2];
    glyph->contourCount = counts[3];
    if (!readGlyph(in, *glyph, littleEndianHost)) return -1;
  }
  return 0;
}

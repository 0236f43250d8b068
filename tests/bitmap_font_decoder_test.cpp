// bitmap_font_decoder_test.cpp -- the bitmap font file reader: pictures written by the
// test, raw and run-length encoded with 1 to 5 channels, single packets, the mask, and
// every kind of malformed file, which must fail both the decoding and the load (with
// the registry unchanged and no GL object made), never crash or read astray.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "font/bitmap_font.h"
#include "tests/support/gl_context.h"
#include "tools/common/bitmap_font_writer.h"

namespace fw = bitmap_font_writer;

namespace {

std::string tempPath(const std::string& name) { return ::testing::TempDir() + "bitmap_font_decoder_" + name; }

std::vector<uint8_t> fontAround(const std::vector<uint8_t>& picture) {
  fw::GlyphBox glyphs[256];
  for (int code = 0; code < 256; code++) glyphs[code] = {0.5f, 0.25f, 0.01f * float(code % 7), 0.5f};
  return fw::encodeFontFile("decoder test", glyphs, picture);
}

// A run-length encoded picture whose rows (in table order, row y of channel z at
// y + z x height) are the given packet bytes, stored one after another.
std::vector<uint8_t> packedPicture(int width, int height, int channels,
                                   const std::vector<std::vector<uint8_t>>& rows) {
  fw::PlanarPicture shape(width, height, channels);
  std::vector<uint8_t> out = fw::encodePictureHeader(shape, true);
  uint32_t offset = uint32_t(512 + rows.size() * 8);
  for (const auto& row : rows) {
    fw::appendBigEndian32(out, offset);
    offset += uint32_t(row.size());
  }
  for (const auto& row : rows) fw::appendBigEndian32(out, uint32_t(row.size()));
  for (const auto& row : rows) out.insert(out.end(), row.begin(), row.end());
  return out;
}

void put16(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  bytes[at] = uint8_t(value >> 8);
  bytes[at + 1] = uint8_t(value);
}

void put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; i++) bytes[at + size_t(i)] = uint8_t(value >> (24 - 8 * i));
}

struct Decoded {
  std::unique_ptr<uint8_t[]> pixels;
  int32_t width = -1, height = -1, channels = -1;
  // Pixel x, y as {r, g, b, a}.
  std::vector<int> at(int x, int y) const {
    const uint8_t* p = &pixels[(size_t(y) * size_t(width) + size_t(x)) * 4];
    return {p[0], p[1], p[2], p[3]};
  }
};

// Writes a font file and decodes its picture the way the loader does.
Decoded decodeFontBytes(const std::vector<uint8_t>& bytes, const std::string& name = "decode") {
  const std::string path = tempPath(name);
  Decoded result;
  if (!fw::writeFileBytes(path, bytes)) {
    ADD_FAILURE() << "cannot write " << path;
    return result;
  }
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file || std::fseek(file, BITMAP_FONT_IMAGE_OFFSET, SEEK_SET) != 0) {
    ADD_FAILURE() << "cannot open " << path;
    if (file) std::fclose(file);
    return result;
  }
  result.pixels = decodeFontImage(file, &result.width, &result.height, &result.channels);
  std::fclose(file);
  return result;
}

// A picture whose every value is different across position and channel.
fw::PlanarPicture patternPicture(int width, int height, int channels) {
  fw::PlanarPicture picture(width, height, channels);
  for (int z = 0; z < channels; z++)
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++)
        picture.at(x, y, z) = uint8_t(x * 3 + y * 29 + z * 71 + (x > 9 ? 100 : 0));
  return picture;
}

std::vector<int> expectedPixel(fw::PlanarPicture& picture, int x, int y) {
  const int c = picture.channels;
  const int grey = picture.at(x, y, 0);
  if (c == 1) return {grey, grey, grey, 255};
  if (c == 2) return {grey, grey, grey, picture.at(x, y, 1)};
  return {grey, picture.at(x, y, 1), picture.at(x, y, 2), c >= 4 ? picture.at(x, y, 3) : 255};
}

TEST(BitmapFontDecoderTest, DecodesRawAndRunLengthPicturesOfOneToFiveChannels) {
  for (int channels = 1; channels <= 5; channels++) {
    for (bool runLength : {false, true}) {
      SCOPED_TRACE("channels " + std::to_string(channels) + (runLength ? ", run-length" : ", raw"));
      // Wide enough for runs and literals of the full 127 bytes; flat stretches give runs.
      fw::PlanarPicture picture = patternPicture(300, 5, channels);
      for (int x = 20; x < 200; x++) picture.at(x, 2, 0) = 42;
      Decoded image = decodeFontBytes(fontAround(fw::encodePicture(picture, runLength)));
      ASSERT_TRUE(image.pixels);
      EXPECT_EQ(image.width, 300);
      EXPECT_EQ(image.height, 5);
      EXPECT_EQ(image.channels, channels);
      for (int y = 0; y < 5; y++)
        for (int x = 0; x < 300; x++)
          ASSERT_EQ(image.at(x, y), expectedPixel(picture, x, y)) << x << ", " << y;
    }
  }
}

TEST(BitmapFontDecoderTest, ExpandsLiteralAndRunPackets) {
  // 0x83: three literal bytes; 0x05: the next byte five times.
  Decoded image = decodeFontBytes(fontAround(packedPicture(8, 1, 1, {{0x83, 1, 2, 3, 0x05, 9, 0}})));
  ASSERT_TRUE(image.pixels);
  const int expected[8] = {1, 2, 3, 9, 9, 9, 9, 9};
  for (int x = 0; x < 8; x++)
    EXPECT_EQ(image.at(x, 0), (std::vector<int>{expected[x], expected[x], expected[x], 255}));
}

TEST(BitmapFontDecoderTest, RowEndingAtItsFirstControlByteLeavesTheRowBufferAlone) {
  const std::string path = tempPath("empty_row");
  ASSERT_TRUE(fw::writeFileBytes(path, fontAround(packedPicture(4, 2, 1, {{0x04, 7, 0}, {0x00}}))));
  FILE* file = std::fopen(path.c_str(), "rb");
  ASSERT_TRUE(file);
  ASSERT_EQ(std::fseek(file, BITMAP_FONT_IMAGE_OFFSET, SEEK_SET), 0);
  FontImage* image = openFontImage(file);
  ASSERT_TRUE(image);
  uint8_t row[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  EXPECT_EQ(readImageRow(image, row, 1, 0), 0);
  EXPECT_EQ(std::vector<uint8_t>(row, row + 4), std::vector<uint8_t>(4, 0xAA));
  EXPECT_EQ(readImageRow(image, row, 0, 0), 0);
  EXPECT_EQ(std::vector<uint8_t>(row, row + 4), std::vector<uint8_t>(4, 7));
  EXPECT_EQ(readImageRow(image, row, 2, 0), -1) << "row outside the picture";
  EXPECT_EQ(readImageRow(image, row, 0, 1), -1) << "channel outside the picture";
  closeFontImage(image);
  std::fclose(file);

  // Decoding keeps the previous row's values for such a row (black for the first).
  Decoded decoded = decodeFontBytes(fontAround(packedPicture(4, 2, 1, {{0x00}, {0x04, 7, 0}})));
  ASSERT_TRUE(decoded.pixels);
  EXPECT_EQ(decoded.at(0, 0), (std::vector<int>{0, 0, 0, 255}));
  EXPECT_EQ(decoded.at(3, 1), (std::vector<int>{7, 7, 7, 255}));
}

TEST(BitmapFontDecoderTest, MaskIsWhiteOnlyWhereThePictureIsBlack) {
  const uint8_t pixels[] = {0, 0, 0, 255, 0, 0, 1, 0, 200, 0, 0, 0, 0, 0, 0, 0};
  std::unique_ptr<uint8_t[]> mask = makeMaskImage(pixels, 2, 2);
  ASSERT_TRUE(mask);
  EXPECT_EQ(std::vector<uint8_t>(mask.get(), mask.get() + 16),
            (std::vector<uint8_t>{255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 0}));
}

TEST(BitmapFontDecoderTest, ConvertsBigEndianValuesInPlace) {
  uint8_t shorts[4] = {0x12, 0x34, 0xFF, 0x01};
  uint16_t values16[2];
  std::memcpy(values16, shorts, 4);
  fromBigEndian16(values16, 2);
  EXPECT_EQ(values16[0], 0x1234);
  EXPECT_EQ(values16[1], 0xFF01);
  uint8_t longs[4] = {0x80, 0x01, 0x02, 0x03};
  uint32_t value32;
  std::memcpy(&value32, longs, 4);
  fromBigEndian32(&value32, 1);
  EXPECT_EQ(value32, 0x80010203u);
}

TEST(BitmapFontDecoderTest, TakesPicturesUpToTheSizeLimit) {
  // 4096 x 4096 = 2^24 pixels, every row the same packet: accepted.
  std::vector<std::vector<uint8_t>> rows(4096, std::vector<uint8_t>{0x7F, 5, 0});
  Decoded image = decodeFontBytes(fontAround(packedPicture(4096, 4096, 1, rows)));
  ASSERT_TRUE(image.pixels);
  EXPECT_EQ(image.at(126, 4095), (std::vector<int>{5, 5, 5, 255}));
  EXPECT_EQ(image.at(127, 4095), (std::vector<int>{0, 0, 0, 255}));
}

// ---------------------------------------------------------------------------------
// Malformed files: refused by the decoder and by the loader, which leaves the registry
// as it was and makes no texture and no display list.

struct RegistrySnapshot {
  int32_t current;
  std::vector<uint64_t> slots;
  bool operator==(const RegistrySnapshot& other) const {
    return current == other.current && slots == other.slots;
  }
};

RegistrySnapshot snapshotRegistry() {
  RegistrySnapshot snapshot{fontRegistry.currentBitmapFont, {}};
  for (const BitmapFont& font : fontRegistry.bitmapFonts) {
    snapshot.slots.insert(snapshot.slots.end(), {font.inUse, font.texture, font.maskTexture, font.listBase,
                                                 reinterpret_cast<uintptr_t>(font.widths.get())});
  }
  return snapshot;
}

// Mesa hands out texture and list names in increasing order and never reuses them, so
// a probe's name tells whether anything was created since the last probe.
GLuint probeTextureName() {
  GLuint name = 0;
  glGenTextures(1, &name);
  glDeleteTextures(1, &name);
  return name;
}

GLuint probeListName() {
  const GLuint name = glGenLists(1);
  glDeleteLists(name, 1);
  return name;
}

class BitmapFontMalformedTest : public GlTest {
 protected:
  // Loads bytes; expects -1, the registry untouched and no GL object made; and, unless
  // only the part before the picture is at fault, the picture refused by the decoder.
  void expectRefused(const std::vector<uint8_t>& bytes, const std::string& what, bool pictureAtFault = true) {
    SCOPED_TRACE(what);
    const std::string path = tempPath("malformed");
    ASSERT_TRUE(fw::writeFileBytes(path, bytes));
    const RegistrySnapshot before = snapshotRegistry();
    const GLuint texture = probeTextureName(), list = probeListName();
    EXPECT_EQ(loadBitmapFont(path.c_str()), -1);
    EXPECT_TRUE(snapshotRegistry() == before);
    EXPECT_EQ(probeTextureName(), texture + 1);
    EXPECT_EQ(probeListName(), list + 1);
    if (pictureAtFault && bytes.size() >= size_t(BITMAP_FONT_IMAGE_OFFSET)) {
      EXPECT_FALSE(decodeFontBytes(bytes).pixels);
    }
  }
};

// Offsets of the picture's fields within a font file.
constexpr size_t kWidthAt = BITMAP_FONT_IMAGE_OFFSET + 6;
constexpr size_t kHeightAt = BITMAP_FONT_IMAGE_OFFSET + 8;
constexpr size_t kChannelsAt = BITMAP_FONT_IMAGE_OFFSET + 10;
constexpr size_t kTablesAt = BITMAP_FONT_IMAGE_OFFSET + 512;

TEST_F(BitmapFontMalformedTest, RefusesBadMagicAndFilesEndingEarly) {
  const std::vector<uint8_t> good = fontAround(fw::encodePicture(patternPicture(4, 4, 3), true));
  for (size_t at = 0; at < 3; at++) {
    std::vector<uint8_t> bytes = good;
    bytes[at] ^= 0x20;  // "bMF", "BmF", "BMf"
    expectRefused(bytes, "magic byte " + std::to_string(at), false);
  }
  expectRefused({}, "empty file");
  expectRefused(std::vector<uint8_t>(good.begin(), good.begin() + 50), "ends inside the name");
  expectRefused(std::vector<uint8_t>(good.begin(), good.begin() + 4194), "ends inside the glyph records");
  expectRefused(std::vector<uint8_t>(good.begin(), good.begin() + 4195), "no picture");
  expectRefused(std::vector<uint8_t>(good.begin(), good.begin() + 4195 + 511), "picture header cut short");
  EXPECT_EQ(loadBitmapFont(tempPath("does_not_exist").c_str()), -1);
}

TEST_F(BitmapFontMalformedTest, RefusesHeaderSizesTheFileDoesNotHold) {
  const std::vector<uint8_t> raw = fontAround(fw::encodePicture(patternPicture(8, 4, 2), false));
  const std::vector<uint8_t> packed = fontAround(fw::encodePicture(patternPicture(8, 4, 2), true));
  for (const auto* base : {&raw, &packed}) {
    const std::string kind = base == &raw ? "raw: " : "run-length: ";
    for (size_t field : {kWidthAt, kHeightAt, kChannelsAt}) {
      std::vector<uint8_t> bytes = *base;
      put16(bytes, field, 0);
      expectRefused(bytes, kind + "zero size field at " + std::to_string(field));
    }
    std::vector<uint8_t> bytes = *base;
    put16(bytes, kHeightAt, 0xFFFF);
    expectRefused(bytes, kind + "height far beyond the data");
    bytes = *base;
    put16(bytes, kChannelsAt, 3);
    expectRefused(bytes, kind + "one channel more than stored");
  }
  expectRefused(std::vector<uint8_t>(raw.begin(), raw.end() - 1), "raw data one byte short");
  // Four rows of two channels: 8 entries in each of the two tables.
  expectRefused(std::vector<uint8_t>(packed.begin(), packed.begin() + kTablesAt + 2 * 8 * 4 - 1),
                "row tables cut short");
}

TEST_F(BitmapFontMalformedTest, RefusesPicturesBeyondTheSizeLimit) {
  // Both are backed by the file; only the limit refuses them.
  expectRefused(fontAround(fw::encodePicture(fw::PlanarPicture(16385, 1, 1), false)), "side of 16385");
  std::vector<std::vector<uint8_t>> rows(4097, std::vector<uint8_t>{0});
  expectRefused(fontAround(packedPicture(4097, 4097, 1, rows)), "2^24 + 8193 pixels");
}

TEST_F(BitmapFontMalformedTest, RefusesRowOffsetsAndLengthsOutsideTheFile) {
  // Two rows of width 8: entries 0 and 1; offsets at kTablesAt, lengths 8 bytes later.
  const std::vector<uint8_t> base = fontAround(packedPicture(8, 2, 1, {{0x08, 1, 0}, {0x08, 2, 0}}));
  const uint32_t imageSize = uint32_t(base.size() - BITMAP_FONT_IMAGE_OFFSET);
  struct Case {
    const char* what;
    size_t at;
    uint32_t value;
  } cases[] = {
      {"offset at the end of the file", kTablesAt + 4, imageSize},
      {"row one byte past the end", kTablesAt + 4, imageSize - 2},
      {"offset far beyond the file", kTablesAt, 0xFFFFFFFF},
      {"negative length", kTablesAt + 8, 0xFFFFFFFF},
      {"length larger than the file", kTablesAt + 12, 0x7FFFFFFF},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = base;
    put32(bytes, c.at, c.value);
    expectRefused(bytes, c.what);
  }
  // A row longer than 256 x the width, though inside the file.
  std::vector<uint8_t> bytes = base;
  bytes.resize(bytes.size() + 8 * 256, 0);
  put32(bytes, kTablesAt + 8, 8 * 256 + 1);
  expectRefused(bytes, "row longer than the scratch row");
}

TEST_F(BitmapFontMalformedTest, RefusesRowsThatOverflowTheWidthOrRunOutOfBytes) {
  const std::pair<const char*, std::vector<uint8_t>> rows[] = {
      {"run beyond the width", {0x09, 1, 0}},
      {"runs adding up beyond the width", {0x05, 1, 0x04, 2, 0}},
      {"literal beyond the width", {0x89, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0}},
      {"literal bytes missing", {0x83, 1, 2}},
      {"run value missing", {0x05}},
      {"no terminator", {0x08, 7}},
      {"no bytes at all", {}},
  };
  for (const auto& row : rows) expectRefused(fontAround(packedPicture(8, 1, 1, {row.second})), row.first);
}

}  // namespace

// bitmap_font_decoder_test.cpp -- the bitmap font file reader on files the test writes:
// raw and run-length pictures of 1 to 5 channels, single packets and short rows, the
// mask, and every kind of malformed file, which must fail the decoding and the load
// (registry unchanged, no GL object made) without reading astray.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "font/bitmap_font.h"
#include "tests/support/gl_context.h"
#include "tools/common/bitmap_font_writer.h"

namespace fw = bitmap_font_writer;

namespace {

// Writes a font file holding `picture`; returns its path.
std::string writeFont(const std::vector<uint8_t>& file) {
  static int count = 0;
  const std::string path = ::testing::TempDir() + "bitmap_font_decoder_" + std::to_string(count++);
  EXPECT_TRUE(fw::writeFileBytes(path, file));
  return path;
}

std::vector<uint8_t> fontAround(const std::vector<uint8_t>& picture) {
  fw::GlyphBox glyphs[256];
  return fw::encodeFontFile("decoder test", glyphs, picture);
}

// A run-length picture whose rows (table entry y + z x height) are the given packets.
std::vector<uint8_t> packedPicture(int width, int height, int channels,
                                   const std::vector<std::vector<uint8_t>>& rows) {
  std::vector<uint8_t> out = fw::encodePictureHeader(fw::PlanarPicture(width, height, channels), true);
  uint32_t offset = uint32_t(512 + rows.size() * 8);
  for (const auto& row : rows)
    fw::appendBigEndian32(out, std::exchange(offset, offset + uint32_t(row.size())));
  for (const auto& row : rows) fw::appendBigEndian32(out, uint32_t(row.size()));
  for (const auto& row : rows) out.insert(out.end(), row.begin(), row.end());
  return out;
}

// Decodes the picture of a font file as the loader does: RGBA bytes, empty if refused.
std::vector<uint8_t> decode(const std::vector<uint8_t>& file, int32_t* width = nullptr) {
  FILE* in = std::fopen(writeFont(file).c_str(), "rb");
  if (!in) return {};
  std::fseek(in, BITMAP_FONT_IMAGE_OFFSET, SEEK_SET);
  int32_t w = 0, h = 0, c = 0;
  std::unique_ptr<uint8_t[]> pixels = decodeFontImage(in, &w, &h, &c);
  std::fclose(in);
  if (width) *width = w;
  return pixels ? std::vector<uint8_t>(pixels.get(), pixels.get() + size_t(w) * size_t(h) * 4)
                : std::vector<uint8_t>();
}

TEST(BitmapFontDecoderTest, DecodesRawAndRunLengthPicturesOfOneToFiveChannels) {
  for (int channels = 1; channels <= 5; channels++) {
    // 300 wide, with a flat stretch: runs and literals up to their 127-byte limit.
    fw::PlanarPicture picture(300, 5, channels);
    for (int z = 0; z < channels; z++)
      for (int y = 0; y < 5; y++)
        for (int x = 0; x < 300; x++)
          picture.at(x, y, z) = uint8_t(x > 30 && x < 200 ? 42 + z : x * 3 + y * 29 + z * 71);
    std::vector<uint8_t> expected;
    for (int y = 0; y < 5; y++)
      for (int x = 0; x < 300; x++) {
        const uint8_t grey = picture.at(x, y, 0);
        if (channels < 3)
          expected.insert(expected.end(),
                          {grey, grey, grey, uint8_t(channels == 2 ? picture.at(x, y, 1) : 255)});
        else
          expected.insert(expected.end(), {grey, picture.at(x, y, 1), picture.at(x, y, 2),
                                           uint8_t(channels >= 4 ? picture.at(x, y, 3) : 255)});
      }
    for (bool runLength : {false, true}) {
      SCOPED_TRACE(std::to_string(channels) + (runLength ? " channels, run-length" : " channels, raw"));
      EXPECT_EQ(decode(fontAround(fw::encodePicture(picture, runLength))), expected);
    }
  }
}

TEST(BitmapFontDecoderTest, ExpandsPacketsAndKeepsTheRowBufferForAnEmptyRow) {
  // 0x83: three literal bytes; 0x05: the next byte five times.
  std::vector<uint8_t> grey = {1, 2, 3, 9, 9, 9, 9, 9}, expected;
  for (uint8_t value : grey) expected.insert(expected.end(), {value, value, value, 255});
  EXPECT_EQ(decode(fontAround(packedPicture(8, 1, 1, {{0x83, 1, 2, 3, 0x05, 9, 0}}))), expected);

  // A row whose first control byte is 0 writes nothing into the row buffer.
  FILE* file =
      std::fopen(writeFont(fontAround(packedPicture(4, 2, 1, {{0x04, 7, 0}, {0x00}}))).c_str(), "rb");
  ASSERT_TRUE(file);
  std::fseek(file, BITMAP_FONT_IMAGE_OFFSET, SEEK_SET);
  FontImage* image = openFontImage(file);
  ASSERT_TRUE(image);
  uint8_t row[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  EXPECT_EQ(readImageRow(image, row, 1, 0), 0);
  EXPECT_EQ(std::vector<uint8_t>(row, row + 4), std::vector<uint8_t>(4, 0xAA));
  EXPECT_EQ(readImageRow(image, row, 2, 0), -1) << "row outside the picture";
  EXPECT_EQ(readImageRow(image, row, 0, 1), -1) << "channel outside the picture";
  closeFontImage(image);
  std::fclose(file);
  // Decoded, such a row repeats the row below it in its channel (black for row 0).
  const std::vector<uint8_t> pixels = decode(fontAround(packedPicture(1, 3, 1, {{0}, {0x01, 7, 0}, {0}})));
  EXPECT_EQ(pixels, (std::vector<uint8_t>{0, 0, 0, 255, 7, 7, 7, 255, 7, 7, 7, 255}));

  // The largest picture taken: 4096 x 4096 = 2^24 pixels.
  int32_t width = 0;
  EXPECT_FALSE(
      decode(fontAround(packedPicture(4096, 4096, 1, std::vector<std::vector<uint8_t>>(4096, {0}))), &width)
          .empty());
  EXPECT_EQ(width, 4096);
}

TEST(BitmapFontDecoderTest, MaskIsWhiteOnlyWhereThePictureIsBlack) {
  const uint8_t pixels[] = {0, 0, 0, 255, 0, 0, 1, 0, 200, 0, 0, 0, 0, 0, 0, 0};
  std::unique_ptr<uint8_t[]> mask = makeMaskImage(pixels, 2, 2);
  ASSERT_TRUE(mask);
  EXPECT_EQ(std::vector<uint8_t>(mask.get(), mask.get() + 16),
            (std::vector<uint8_t>{255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 0}));
}

// ---------------------------------------------------------------------------------
// Malformed files.

void put(std::vector<uint8_t>& bytes, size_t at, uint32_t value, int size) {
  for (int i = 0; i < size; i++) bytes[at + size_t(i)] = uint8_t(value >> (8 * (size - 1 - i)));
}

std::vector<uint8_t> with(std::vector<uint8_t> bytes, size_t at, uint32_t value, int size) {
  put(bytes, at, value, size);
  return bytes;
}

std::vector<uint8_t> cut(const std::vector<uint8_t>& bytes, size_t size) {
  return std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(size));
}

// Mesa hands out texture and list names in increasing order and never reuses them, so
// a probe's name tells whether anything was made since the last probe.
std::pair<GLuint, GLuint> probeNames() {
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glDeleteTextures(1, &texture);
  const GLuint list = glGenLists(1);
  glDeleteLists(list, 1);
  return {texture, list};
}

class BitmapFontMalformedTest : public GlTest {};

TEST_F(BitmapFontMalformedTest, RefusesEveryMalformedFileWithoutTouchingTheRegistry) {
  constexpr size_t kImage = BITMAP_FONT_IMAGE_OFFSET, kWidthAt = kImage + 6, kHeightAt = kImage + 8,
                   kChannelsAt = kImage + 10, kOffsets = kImage + 512, kLengths = kOffsets + 8;
  fw::PlanarPicture picture(8, 2, 2);
  const std::vector<uint8_t> raw = fontAround(fw::encodePicture(picture, false));
  const std::vector<uint8_t> packed = fontAround(fw::encodePicture(picture, true));
  // Two rows of width 8 (entries 0 and 1), to be given broken packets or table entries.
  const std::vector<uint8_t> rows = fontAround(packedPicture(8, 2, 1, {{0x08, 1, 0}, {0x08, 2, 0}}));
  const uint32_t rowsImageSize = uint32_t(rows.size() - kImage);
  auto packets = [&](std::vector<uint8_t> row) { return fontAround(packedPicture(8, 1, 1, {row})); };
  std::vector<uint8_t> longRow = with(rows, kLengths, 8 * 256 + 1, 4);
  longRow.resize(longRow.size() + 8 * 256);  // inside the file, but longer than any row of 8

  const std::pair<const char*, std::vector<uint8_t>> cases[] = {
      {"magic", with(raw, 0, 'b', 1)},
      {"magic", with(raw, 1, 'm', 1)},
      {"magic", with(raw, 2, 'f', 1)},
      {"empty file", {}},
      {"ends in the name", cut(raw, 50)},
      {"ends in the glyph records", cut(raw, kImage - 1)},
      {"no picture", cut(raw, kImage)},
      {"picture header cut short", cut(raw, kImage + 511)},
      {"raw: width 0", with(raw, kWidthAt, 0, 2)},
      {"raw: height 0", with(raw, kHeightAt, 0, 2)},
      {"raw: no channels", with(raw, kChannelsAt, 0, 2)},
      {"raw: one channel more than stored", with(raw, kChannelsAt, 3, 2)},
      {"raw: one byte short", cut(raw, raw.size() - 1)},
      {"raw: side of 16385", fontAround(fw::encodePicture(fw::PlanarPicture(16385, 1, 1), false))},
      {"run-length: width 0", with(packed, kWidthAt, 0, 2)},
      {"run-length: no channels", with(packed, kChannelsAt, 0, 2)},
      {"run-length: height beyond the tables", with(packed, kHeightAt, 0xFFFF, 2)},
      {"run-length: tables cut short", cut(packed, kOffsets + 2 * 4 * 4 - 1)},
      {"run-length: 2^24 + 8193 pixels",
       fontAround(packedPicture(4097, 4097, 1, std::vector<std::vector<uint8_t>>(4097, {0})))},
      {"row at the end of the file", with(rows, kOffsets + 4, rowsImageSize, 4)},
      {"row one byte past the end", with(rows, kOffsets + 4, rowsImageSize - 2, 4)},
      {"row offset far beyond the file", with(rows, kOffsets, 0xFFFFFFFF, 4)},
      {"negative row length", with(rows, kLengths, 0xFFFFFFFF, 4)},
      {"row length beyond the file", with(rows, kLengths + 4, 0x7FFFFFFF, 4)},
      {"row longer than 256 x the width", longRow},
      {"run beyond the width", packets({0x09, 1, 0})},
      {"runs adding up beyond the width", packets({0x05, 1, 0x04, 2, 0})},
      {"literal beyond the width", packets({0x89, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0})},
      {"literal bytes missing", packets({0x83, 1, 2})},
      {"run value missing", packets({0x05})},
      {"no terminator", packets({0x08, 7})},
      {"no packet bytes at all", packets({})},
  };
  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    const std::string path = writeFont(bytes);
    std::vector<uint64_t> before = {uint64_t(fontRegistry.currentBitmapFont)};
    for (const BitmapFont& font : fontRegistry.bitmapFonts)
      before.insert(before.end(), {font.inUse, font.texture, font.listBase,
                                   reinterpret_cast<uintptr_t>(font.widths.get())});
    const std::pair<GLuint, GLuint> names = probeNames();
    EXPECT_EQ(loadBitmapFont(path.c_str()), -1);
    std::vector<uint64_t> after = {uint64_t(fontRegistry.currentBitmapFont)};
    for (const BitmapFont& font : fontRegistry.bitmapFonts)
      after.insert(after.end(),
                   {font.inUse, font.texture, font.listBase, reinterpret_cast<uintptr_t>(font.widths.get())});
    EXPECT_EQ(after, before);
    EXPECT_EQ(probeNames(), std::make_pair(names.first + 1, names.second + 1)) << "a GL object was made";
    if (bytes.size() >= kImage && std::string(what) != "magic") {
      EXPECT_TRUE(decode(bytes).empty());
    }
  }
  EXPECT_EQ(loadBitmapFont((::testing::TempDir() + "no_such_font").c_str()), -1);
}

}  // namespace

// bitmap_font_decoder_test.cpp -- the font picture reader on files the test writes:
// raw and run-length pictures of 1 to 5 channels, single packets and empty rows, the
// mask, and malformed files, which must fail both the decoding and the load (registry
// unchanged, no GL object made) without reading astray.
#include <utility>

#include "tests/bitmap_font_files.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A run-length picture whose rows (table entry y + z x height) are the given packets.
Bytes packedPicture(int width, int height, int channels, const std::vector<Bytes>& rows) {
  Bytes out = fw::encodePictureHeader(fw::PlanarPicture(width, height, channels), true);
  uint32_t offset = uint32_t(512 + rows.size() * 8);
  for (const Bytes& row : rows)
    fw::appendBigEndian32(out, std::exchange(offset, offset + uint32_t(row.size())));
  for (const Bytes& row : rows) fw::appendBigEndian32(out, uint32_t(row.size()));
  for (const Bytes& row : rows) out.insert(out.end(), row.begin(), row.end());
  return out;
}

// The picture of a font file decoded as the loader does it: RGBA bytes, empty if refused.
Bytes decode(const Bytes& file, int32_t* width = nullptr) {
  int32_t w = 0, h = 0;
  std::unique_ptr<uint8_t[]> pixels = decodePictureOf(writeTestFile("bitmap_font_decoder", file), &w, &h);
  if (width) *width = w;
  return pixels ? Bytes(pixels.get(), pixels.get() + size_t(w) * size_t(h) * 4) : Bytes();
}

TEST(BitmapFontDecoderTest, DecodesRawAndRunLengthPicturesOfOneToFiveChannels) {
  for (int channels = 1; channels <= 5; channels++) {
    // 300 wide, with a flat stretch: runs and literals up to their 127-byte limit.
    fw::PlanarPicture picture(300, 5, channels);
    for (int z = 0; z < channels; z++)
      for (int y = 0; y < 5; y++)
        for (int x = 0; x < 300; x++)
          picture.at(x, y, z) = uint8_t(x > 30 && x < 200 ? 42 + z : x * 3 + y * 29 + z * 71);
    Bytes expected;
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
      EXPECT_EQ(decode(fontFile(fw::encodePicture(picture, runLength))), expected);
    }
  }
}

TEST(BitmapFontDecoderTest, ExpandsPacketsAndKeepsTheRowBufferForAnEmptyRow) {
  // 0x83: three literal bytes; 0x05: the next byte five times.
  Bytes expected;
  for (uint8_t grey : {1, 2, 3, 9, 9, 9, 9, 9}) expected.insert(expected.end(), {grey, grey, grey, 255});
  EXPECT_EQ(decode(fontFile(packedPicture(8, 1, 1, {{0x83, 1, 2, 3, 0x05, 9, 0}}))), expected);

  // A row whose first control byte is 0 writes nothing into the row buffer.
  const std::string path =
      writeTestFile("bitmap_font_empty_row", fontFile(packedPicture(4, 2, 1, {{0x04, 7, 0}, {0}})));
  FILE* file = std::fopen(path.c_str(), "rb");
  ASSERT_TRUE(file);
  std::fseek(file, BITMAP_FONT_IMAGE_OFFSET, SEEK_SET);
  FontImage* image = openFontImage(file);
  ASSERT_TRUE(image);
  uint8_t row[4] = {0xAA, 0xAA, 0xAA, 0xAA};
  EXPECT_EQ(readImageRow(image, row, 1, 0), 0);
  EXPECT_EQ(Bytes(row, row + 4), Bytes(4, 0xAA));
  EXPECT_EQ(readImageRow(image, row, 2, 0), -1) << "row outside the picture";
  EXPECT_EQ(readImageRow(image, row, 0, 1), -1) << "channel outside the picture";
  closeFontImage(image);
  std::fclose(file);
  // Decoded, such a row repeats the row below it in its channel (black for row 0).
  EXPECT_EQ(decode(fontFile(packedPicture(1, 3, 1, {{0}, {0x01, 7, 0}, {0}}))),
            (Bytes{0, 0, 0, 255, 7, 7, 7, 255, 7, 7, 7, 255}));

  // The largest picture taken: 4096 x 4096 = 2^24 pixels.
  int32_t width = 0;
  EXPECT_FALSE(decode(fontFile(packedPicture(4096, 4096, 1, std::vector<Bytes>(4096, {0}))), &width).empty());
  EXPECT_EQ(width, 4096);
}

TEST(BitmapFontDecoderTest, MaskIsWhiteOnlyWhereThePictureIsBlack) {
  const uint8_t pixels[] = {0, 0, 0, 255, 0, 0, 1, 0, 200, 0, 0, 0, 0, 0, 0, 0};
  std::unique_ptr<uint8_t[]> mask = makeMaskImage(pixels, 2, 2);
  ASSERT_TRUE(mask);
  EXPECT_EQ(Bytes(mask.get(), mask.get() + 16),
            (Bytes{255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 0}));
}

// A big-endian field of `size` bytes at `at` set to value.
Bytes with(Bytes bytes, size_t at, uint32_t value, int size) {
  for (int i = 0; i < size; i++) bytes[at + size_t(i)] = uint8_t(value >> (8 * (size - 1 - i)));
  return bytes;
}

Bytes cut(const Bytes& bytes, size_t size) { return Bytes(bytes.begin(), bytes.begin() + long(size)); }

// The registry's slots and the next texture and list names: Mesa hands names out in
// increasing order and never reuses them, so these tell whether anything was made.
std::vector<uint64_t> registryAndNames() {
  std::vector<uint64_t> state = {uint64_t(fontRegistry.currentBitmapFont)};
  for (const BitmapFont& font : fontRegistry.bitmapFonts)
    state.insert(state.end(),
                 {font.inUse, font.texture, font.listBase, reinterpret_cast<uintptr_t>(font.widths.get())});
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glDeleteTextures(1, &texture);
  const GLuint list = glGenLists(1);
  glDeleteLists(list, 1);
  state.insert(state.end(), {texture, list});
  return state;
}

TEST_F(BitmapFontTest, MalformedFilesFailWithoutTouchingTheRegistry) {
  constexpr size_t kImage = BITMAP_FONT_IMAGE_OFFSET, kWidthAt = kImage + 6, kHeightAt = kImage + 8,
                   kChannelsAt = kImage + 10, kOffsets = kImage + 512, kLengths = kOffsets + 8;
  fw::PlanarPicture picture(8, 2, 2);
  const Bytes raw = fontFile(fw::encodePicture(picture, false));
  const Bytes packed = fontFile(fw::encodePicture(picture, true));
  // Two rows of width 8 (entries 0 and 1), to be given broken table entries; and rows of packets.
  const Bytes rows = fontFile(packedPicture(8, 2, 1, {{0x08, 1, 0}, {0x08, 2, 0}}));
  const uint32_t rowsImageSize = uint32_t(rows.size() - kImage);
  auto packets = [&](Bytes row) { return fontFile(packedPicture(8, 1, 1, {row})); };
  Bytes longRow = with(rows, kLengths, 8 * 256 + 1, 4);
  longRow.resize(longRow.size() + 8 * 256);  // inside the file, but longer than any row of 8

  const std::pair<const char*, Bytes> cases[] = {
      {"magic", with(raw, 2, 'f', 1)},
      {"empty file", {}},
      {"ends in the glyph records", cut(raw, kImage - 1)},
      {"picture header cut short", cut(raw, kImage + 511)},
      {"width 0", with(raw, kWidthAt, 0, 2)},
      {"height 0", with(raw, kHeightAt, 0, 2)},
      {"no channels", with(raw, kChannelsAt, 0, 2)},
      {"raw: one byte short", cut(raw, raw.size() - 1)},
      {"side of 16385", fontFile(fw::encodePicture(fw::PlanarPicture(16385, 1, 1), false))},
      {"run-length: tables cut short", cut(packed, kOffsets + 2 * 4 * 4 - 1)},
      {"2^24 + 8193 pixels", fontFile(packedPicture(4097, 4097, 1, std::vector<Bytes>(4097, {0})))},
      {"row one byte past the end", with(rows, kOffsets + 4, rowsImageSize - 2, 4)},
      {"row offset far beyond the file", with(rows, kOffsets, 0xFFFFFFFF, 4)},
      {"negative row length", with(rows, kLengths, 0xFFFFFFFF, 4)},
      {"row longer than 256 x the width", longRow},
      {"runs adding up beyond the width", packets({0x05, 1, 0x04, 2, 0})},
      {"literal beyond the width", packets({0x89, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0})},
      {"literal bytes missing", packets({0x83, 1, 2})},
      {"run value missing", packets({0x05})},
      {"no terminator", packets({0x08, 7})},
  };
  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    const std::string path = writeTestFile("bitmap_font_malformed", bytes);
    std::vector<uint64_t> before = registryAndNames();
    EXPECT_EQ(loadBitmapFont(path.c_str()), -1);
    before.end()[-2]++, before.end()[-1]++;  // the names the probe itself took
    EXPECT_EQ(registryAndNames(), before) << "the registry changed or a GL object was made";
    if (bytes.size() >= kImage && std::string(what) != "magic") {
      EXPECT_TRUE(decode(bytes).empty());
    }
  }
  EXPECT_EQ(loadBitmapFont((::testing::TempDir() + "no_such_font").c_str()), -1);
}

}  // namespace

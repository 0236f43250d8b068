// vector_font_loader_test.cpp -- the vector font file reader on files written by the
// test: what it keeps of a good file, the two messages and when they are printed, and
// every kind of damaged file (wrong magic, duplicate code, truncation at every length,
// vertex indices out of range at every position), which must fail the load and leave
// the registry as it was.
#include "font/font_library.h"
#include "tests/vector_font_test_files.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

class VectorFontLoaderTest : public ::testing::Test {
 protected:
  void TearDown() override { resetFontRegistry(); }

  // Loads bytes through the registry with messages on or off and returns the result;
  // the loader's standard output goes to *printed.
  int load(const std::vector<uint8_t>& bytes, bool messages, std::string* printed) {
    const std::string path = writeTestFile("load.font", bytes);
    if (messages)
      enableOption(OPTION_MESSAGES);
    else
      disableOption(OPTION_MESSAGES);
    CaptureStdout();
    const int result = loadFont(path.c_str());
    std::fflush(stdout);
    *printed = GetCapturedStdout();
    return result;
  }

  // Asserts that a load of bytes fails silently and changes nothing.
  void expectRefused(const std::vector<uint8_t>& bytes, const std::string& what) {
    std::string printed;
    EXPECT_EQ(load(bytes, true, &printed), -1) << what;
    EXPECT_EQ(printed, "") << what;
    EXPECT_EQ(fontRegistry.fonts[0], nullptr) << what;
    EXPECT_EQ(getCurrentFont(), 0) << what;
  }

  // A font whose glyphs use every field: two contours, bounds on all sides.
  static std::vector<TestGlyph> sampleGlyphs() {
    TestGlyph ring = {
        'O',
        {{-0.9f, -0.8f}, {0.6f, -0.8f}, {0.6f, 0.95f}, {-0.25f, 0.5f}, {0.0f, 0.5f}, {0.0f, 0.25f}},
        {0, 1, 2, 3, 4, 5, 0, 2, 5},
        {2, 5}};
    return {ring, rectangleGlyph('-', -0.5f, 0.5f, -0.1f, 0.1f), {'.', {}, {}, {}}};
  }
};

TEST_F(VectorFontLoaderTest, KeepsNameGlyphsAndBounds) {
  std::vector<uint8_t> bytes = fontFileBytes(sampleGlyphs(),
                                             "0123456789abcdef0123456789abcdef0123456789abcdef"
                                             "0123456789abcdef0123456789abcdef0123456789abcdef");
  bytes.insert(bytes.end(), {1, 2, 3});  // bytes after the last record are not read
  std::string printed;
  ASSERT_EQ(load(bytes, true, &printed), 0);
  EXPECT_EQ(printed, "");
  const VectorFont& font = *fontRegistry.fonts[0];
  EXPECT_EQ(std::strlen(font.name), 96u);  // all 96 bytes, then a terminator
  EXPECT_EQ(std::string(font.name, 4), "0123");
  EXPECT_EQ(font.symbolCount, 3);
  int present = 0;
  for (const auto& symbol : font.symbols) present += symbol != nullptr;
  EXPECT_EQ(present, 3);

  const VectorGlyph& ring = *font.symbols[size_t('O')];
  ASSERT_EQ(ring.vertexCount, 6);
  EXPECT_EQ(ring.facetCount, 3);
  EXPECT_EQ(ring.contourCount, 2);
  EXPECT_EQ(ring.vertices[2].x, 0.6f);
  EXPECT_EQ(ring.vertices[2].y, 0.95f);
  EXPECT_EQ(ring.vertices[3].x, -0.25f);
  EXPECT_EQ(ring.facets[8], 5);
  EXPECT_EQ(ring.contourEnds[0], 2);
  EXPECT_EQ(ring.contourEnds[1], 5);
  EXPECT_EQ(ring.left, -0.9f);
  EXPECT_EQ(ring.right, 0.6f);
  EXPECT_EQ(ring.bottom, -0.8f);
  EXPECT_EQ(ring.top, 0.95f);

  const VectorGlyph& empty = *font.symbols[size_t('.')];
  EXPECT_EQ(empty.vertexCount, 0);
  EXPECT_EQ(empty.left, 10.0f);
  EXPECT_EQ(empty.right, -10.0f);
  EXPECT_EQ(empty.bottom, 10.0f);
  EXPECT_EQ(empty.top, -10.0f);
}

TEST_F(VectorFontLoaderTest, LoadsAFontWithoutGlyphs) {
  std::string printed;
  ASSERT_EQ(load(fontFileBytes({}), false, &printed), 0);
  for (const auto& symbol : fontRegistry.fonts[0]->symbols) EXPECT_EQ(symbol, nullptr);
  float minX, minY, maxX, maxY;
  getCurrentStringBounds("ab", &minX, &minY, &maxX, &maxY);
  EXPECT_FLOAT_EQ(maxX, 4.0f);  // two spaces
}

TEST_F(VectorFontLoaderTest, RefusesAWrongMagicWithItsMessageOnlyWhenAsked) {
  const std::vector<uint8_t> good = fontFileBytes({});
  std::vector<std::vector<uint8_t>> wrong;
  for (size_t i = 0; i < 3; i++) {
    std::vector<uint8_t> bytes = good;
    bytes[i] ^= 0x20;  // one letter changed to lower case
    wrong.push_back(bytes);
  }
  wrong.push_back({'G', 'L'});  // shorter than the magic
  wrong.push_back({});
  std::vector<uint8_t> zeroInMagic = good;
  zeroInMagic[2] = 0;
  wrong.push_back(zeroInMagic);

  for (const auto& bytes : wrong) {
    std::string printed;
    EXPECT_EQ(load(bytes, false, &printed), -1);
    EXPECT_EQ(printed, "");
    EXPECT_EQ(load(bytes, true, &printed), -1);
    EXPECT_EQ(printed, "Error reading font file: incorrect file format\n");
    EXPECT_EQ(fontRegistry.fonts[0], nullptr);
  }
}

TEST_F(VectorFontLoaderTest, RefusesACodeThatAppearsTwice) {
  const std::vector<uint8_t> bytes = fontFileBytes(
      {rectangleGlyph('A', -1, 1, -1, 1), rectangleGlyph('B', -1, 1, -1, 1), {'A', {}, {}, {}}});
  std::string printed;
  EXPECT_EQ(load(bytes, false, &printed), -1);
  EXPECT_EQ(printed, "");
  EXPECT_EQ(load(bytes, true, &printed), -1);
  EXPECT_EQ(printed, "Error reading font file: encountered symbols in font\n");
  EXPECT_EQ(fontRegistry.fonts[0], nullptr);
  EXPECT_EQ(getCurrentFont(), 0);
}

TEST_F(VectorFontLoaderTest, RefusesATruncatedFileAtEveryLength) {
  const std::vector<uint8_t> bytes = fontFileBytes(sampleGlyphs());
  for (size_t length = 0; length < bytes.size(); length++) {
    if (length < 3) continue;  // a short magic is a format error, with its message
    expectRefused(std::vector<uint8_t>(bytes.begin(), bytes.begin() + length),
                  "truncated to " + std::to_string(length));
  }
  // A count that promises more records than there are.
  expectRefused(fontFileBytes(sampleGlyphs(), "x", 4), "count beyond the records");
}

TEST_F(VectorFontLoaderTest, RefusesVertexIndicesOutOfRangeAtEveryPosition) {
  std::vector<RecordLayout> layout;
  const std::vector<uint8_t> bytes = fontFileBytes(sampleGlyphs(), "x", -1, &layout);
  for (size_t record = 0; record < layout.size(); record++) {
    const uint8_t vertexCount = bytes[layout[record].start + 1];
    for (size_t at = layout[record].facets; at < layout[record].end; at++) {
      for (int bad : {int(vertexCount), 255}) {
        std::vector<uint8_t> damaged = bytes;
        damaged[at] = uint8_t(bad);
        expectRefused(damaged, "byte " + std::to_string(at) + " set to " + std::to_string(bad));
      }
      std::vector<uint8_t> highest = bytes;
      highest[at] = uint8_t(vertexCount - 1);  // the last vertex is still a vertex
      std::string printed;
      EXPECT_EQ(load(highest, true, &printed), 0) << at;
      resetFontRegistry();
    }
  }
  // A glyph without vertices can have no triangle and no contour.
  expectRefused(fontFileBytes({{'x', {}, {0, 0, 0}, {}}}), "triangle without vertices");
  expectRefused(fontFileBytes({{'x', {}, {}, {0}}}), "contour without vertices");
}

TEST_F(VectorFontLoaderTest, LoadsTheLargestGlyphs) {
  std::vector<TestGlyph> glyphs;
  for (int code : {0, 255}) {
    TestGlyph glyph{uint8_t(code), {}, {}, {}};
    for (int j = 0; j < 255; j++) glyph.vertices.push_back({j / 255.0f, -j / 255.0f});
    for (int j = 0; j < 255 * 3; j++) glyph.facets.push_back(uint8_t(j % 255));
    for (int j = 0; j < 255; j++) glyph.contourEnds.push_back(uint8_t(j));
    glyphs.push_back(glyph);
  }
  std::string printed;
  ASSERT_EQ(load(fontFileBytes(glyphs), true, &printed), 0);
  const VectorGlyph& last = *fontRegistry.fonts[0]->symbols[255];
  EXPECT_EQ(last.vertexCount, 255);
  EXPECT_EQ(last.facetCount, 255);
  EXPECT_EQ(last.contourCount, 255);
  EXPECT_EQ(last.right, 254 / 255.0f);
  EXPECT_EQ(last.bottom, -254 / 255.0f);
}

TEST_F(VectorFontLoaderTest, ReadsFilesDirectlyAndProbesTheByteOrder) {
  EXPECT_EQ(hostIsLittleEndian(), __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__ ? 1 : 0);
  VectorFont font;
  const std::string path = writeTestFile("direct.font", fontFileBytes(sampleGlyphs()));
  EXPECT_EQ(readFontFile(path.c_str(), &font), 0);
  EXPECT_NE(font.symbols[size_t('-')], nullptr);
  EXPECT_EQ(readFontFile((testFolder() + "/missing").c_str(), &font), -1);
  EXPECT_EQ(readFontFile(path.c_str(), nullptr), -1);
}

}  // namespace

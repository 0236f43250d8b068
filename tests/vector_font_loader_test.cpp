// vector_font_loader_test.cpp -- the vector font file reader on files written by the
// test: what it keeps of a good file, its two messages, and damaged files (truncated at
// every length, vertex indices out of range at every position), refused silently.
#include "font/font_library.h"
#include "tests/vector_font_test_files.h"

namespace {

const std::vector<TestGlyph> kGlyphs = {
    {'O',
     {{-0.9f, -0.8f}, {0.6f, -0.8f}, {0.6f, 0.95f}, {-0.25f, 0.5f}, {0, 0.5f}, {0, 0.25f}},
     {0, 1, 2, 3, 4, 5, 0, 2, 5},
     {2, 5}},
    rectangleGlyph('-', -0.5f, 0.5f, -0.1f, 0.1f),
    {'.', {}, {}, {}}};

// Loads bytes through the registry: the result, then whatever the loader printed.
std::string load(const std::vector<uint8_t>& bytes, bool messages = true) {
  const std::string path = writeTestFile("load.font", bytes);
  messages ? enableOption(OPTION_MESSAGES) : disableOption(OPTION_MESSAGES);
  ::testing::internal::CaptureStdout();
  const int result = loadFont(path.c_str());
  std::fflush(stdout);
  return std::to_string(result) + ::testing::internal::GetCapturedStdout();
}
void expectRefused(const std::vector<uint8_t>& bytes, const std::string& what) {
  EXPECT_EQ(load(bytes), "-1") << what;
  EXPECT_EQ(fontRegistry.fonts[0], nullptr) << what;
}

// Counts, vertices, triangles, contour ends and bounds of a glyph.
std::vector<float> contentsOf(const VectorGlyph& g) {
  std::vector<float> all = {float(g.vertexCount), float(g.facetCount), float(g.contourCount)};
  for (int j = 0; j < g.vertexCount; j++) all.insert(all.end(), {g.vertices[j].x, g.vertices[j].y});
  all.insert(all.end(), g.facets.get(), g.facets.get() + 3 * g.facetCount);
  all.insert(all.end(), g.contourEnds.get(), g.contourEnds.get() + g.contourCount);
  all.insert(all.end(), {g.left, g.right, g.bottom, g.top});
  return all;
}

class VectorFontLoaderTest : public ::testing::Test {
 protected:
  void TearDown() override { resetFontRegistry(); }
};

TEST_F(VectorFontLoaderTest, KeepsNameGlyphsAndBounds) {
  std::vector<uint8_t> bytes = fontFileBytes(kGlyphs);
  for (size_t i = 0; i < 96; i++) bytes[3 + i] = uint8_t('a' + i % 26);  // a name without a terminator
  bytes.insert(bytes.end(), {1, 2, 3});                                  // bytes after the last record
  ASSERT_EQ(load(bytes), "0");
  const VectorFont& font = *fontRegistry.fonts[0];
  EXPECT_EQ(std::string(font.name), std::string(bytes.begin() + 3, bytes.begin() + 99));
  EXPECT_EQ(font.symbolCount, 3);
  EXPECT_EQ(std::count_if(std::begin(font.symbols), std::end(font.symbols),
                          [](const auto& s) { return s != nullptr; }),
            3);
  EXPECT_EQ(contentsOf(*font.symbols[size_t('O')]),
            (std::vector<float>{6,    3, 2,    -0.9f, -0.8f, 0.6f, -0.8f, 0.6f, 0.95f, -0.25f,
                                0.5f, 0, 0.5f, 0,     0.25f, 0,    1,     2,    3,     4,
                                5,    0, 2,    5,     2,     5,    -0.9f, 0.6f, -0.8f, 0.95f}));
  EXPECT_EQ(contentsOf(*font.symbols[size_t('.')]), (std::vector<float>{0, 0, 0, 10, -10, 10, -10}));

  ASSERT_EQ(load(fontFileBytes({})), "1");  // a symbol count of 0
  for (const auto& symbol : fontRegistry.fonts[1]->symbols) EXPECT_EQ(symbol, nullptr);
}

TEST_F(VectorFontLoaderTest, PrintsItsTwoMessagesOnlyWhenAsked) {
  const std::string format = "Error reading font file: incorrect file format\n";
  std::vector<std::pair<std::vector<uint8_t>, std::string>> cases = {
      {fontFileBytes({rectangleGlyph('A', -1, 1, -1, 1), {'B', {}, {}, {}}, {'A', {}, {}, {}}}),
       "Error reading font file: encountered symbols in font\n"}};
  for (const std::string& magic : std::vector<std::string>{"", "GL", {"GL\0", 3}, "gLF", "GlF", "GLf"}) {
    std::vector<uint8_t> bytes = fontFileBytes({});  // a good file with a bad magic, or only part of one
    std::copy(magic.begin(), magic.end(), bytes.begin());
    bytes.resize(magic.size() < 3 ? magic.size() : bytes.size());
    cases.push_back({bytes, format});
  }
  for (const auto& c : cases) {
    EXPECT_EQ(load(c.first, false), "-1");
    EXPECT_EQ(load(c.first, true), "-1" + c.second);
    EXPECT_EQ(fontRegistry.fonts[0], nullptr);
    EXPECT_EQ(getCurrentFont(), 0);
  }
}

TEST_F(VectorFontLoaderTest, RefusesTruncatedFilesAndIndicesOutOfRangeAtEveryPosition) {
  std::vector<size_t> facetsAt;
  const std::vector<uint8_t> bytes = fontFileBytes(kGlyphs, -1, &facetsAt);
  for (size_t length = 3; length < bytes.size(); length++)  // shorter ones have a bad magic
    expectRefused({bytes.begin(), bytes.begin() + long(length)}, "truncated to " + std::to_string(length));
  expectRefused(fontFileBytes(kGlyphs, 4), "a count beyond the records");

  for (size_t r = 0; r < kGlyphs.size(); r++) {
    const size_t vertexCount = kGlyphs[r].vertices.size();
    for (size_t at = facetsAt[r]; at < facetsAt[r] + kGlyphs[r].facets.size() + kGlyphs[r].contourEnds.size();
         at++) {
      std::vector<uint8_t> damaged = bytes;
      for (size_t bad : {vertexCount, size_t(255)}) {
        damaged[at] = uint8_t(bad);
        expectRefused(damaged, "byte " + std::to_string(at) + " set to " + std::to_string(bad));
      }
      damaged[at] = uint8_t(vertexCount - 1);  // the last vertex is still a vertex
      EXPECT_EQ(load(damaged), "0") << at;
      resetFontRegistry();
    }
  }
  expectRefused(fontFileBytes({{'x', {}, {0, 0, 0}, {}}}), "triangle without vertices");
  expectRefused(fontFileBytes({{'x', {}, {}, {0}}}), "contour without vertices");
}

TEST_F(VectorFontLoaderTest, LoadsTheLargestGlyphs) {
  TestGlyph big{0, {}, {}, {}};
  for (int j = 0; j < 255; j++) {
    big.vertices.push_back({j / 255.0f, -j / 255.0f});
    big.facets.insert(big.facets.end(), {uint8_t(j), uint8_t(254 - j), 0});
    big.contourEnds.push_back(uint8_t(j));
  }
  TestGlyph last = big;
  last.code = 255;
  ASSERT_EQ(load(fontFileBytes({big, last})), "0");
  const std::vector<float> contents = contentsOf(*fontRegistry.fonts[0]->symbols[255]);
  ASSERT_EQ(contents.size(), 3u + 255 * (2 + 3 + 1) + 4);
  EXPECT_EQ(std::vector<float>(contents.begin(), contents.begin() + 3), std::vector<float>(3, 255));
  EXPECT_EQ(std::vector<float>(contents.end() - 6, contents.end()),
            (std::vector<float>{253, 254, 0, 254 / 255.0f, -254 / 255.0f, 0}));
}

}  // namespace

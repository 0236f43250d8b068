// font_registry_test.cpp -- the vector-font registry and its file reader: the state at
// program start, the settings' codes, the slots, and what a file gives or why it is refused.
#include "tests/vector_font_test_files.h"

namespace {

class FontRegistryTest : public ::testing::Test {
 protected:
  void TearDown() override { resetFontRegistry(); }
};

TEST_F(FontRegistryTest, StartsAsTheGameRunsAndKeepsOnlyAcceptedSettings) {
  FontRegistry& r = fontRegistry;
  EXPECT_THAT((std::vector<float>{float(r.currentFont), r.symbolSpace, r.spaceSize, r.symbolDepth,
                                  float(r.direction), float(r.centered), r.rotation, r.contourColor[3]}),
              near({0, 0.2f, 2, 0.2f, 0, 0, 0, 0}));
  for (int unknown : {9, 13, 29, 31}) enableOption(unknown);
  for (auto [code, target] : {std::pair{10, &r.messagesSwitch},
                              {11, &r.texturingSwitch},
                              {12, &r.contouringSwitch},
                              {30, &r.console.cursorSwitch}}) {
    std::string states = std::to_string(*target);  // off at start, and no unknown code changed it
    enableOption(code), states += std::to_string(*target), disableOption(code);
    EXPECT_EQ(states + std::to_string(*target), "212") << code;
  }
  for (int32_t direction : {1, 2, 3, 4, 0, 5, -1}) setDirection(direction);
  setCentering(256);  // only its low byte counts
  EXPECT_EQ(getDirection() * 10 + getCentering(), 40);
}

TEST_F(FontRegistryTest, FillsTheLowestEmptySlotAndFreesAndChoosesOnlyFilledOnes) {
  for (int slot = 0; slot < 256; slot++) ASSERT_EQ(loadBytes(fontBytes({})), slot);
  EXPECT_TRUE(selectFont(5) == 0 && loadBytes(fontBytes({})) == -1 && unloadFont(3) == 0);  // full; 5 stays
  for (int bad : {3, -1, 256}) EXPECT_TRUE(unloadFont(bad) == -1 && selectFont(bad) == -1) << bad;
  EXPECT_EQ(loadFont((testFolder() + "/missing.font").c_str()), -1);
  EXPECT_TRUE(getCurrentFont() == 5 && unloadFont(5) == 0 && getCurrentFont() == -1 &&
              unloadCurrentFont() == -1);
  EXPECT_EQ(loadBytes(fontBytes({})), 3);  // the lowest empty slot
  EXPECT_TRUE(unloadCurrentFont() == 0 && getCurrentFont() == -1 && !fontRegistry.fonts[3] &&
              fontRegistry.fonts[4]);
}

TEST_F(FontRegistryTest, ReadsAFileWholeAndRefusesBadOnesWithTheirMessages) {
  std::vector<uint8_t> good =  // two contours and one triangle; a glyph without vertices; a stray byte
      fontBytes({{'O', {{-0.9f, -0.8f}, {0.6f, 0.95f}, {0, 0.5f}, {0.25f, -0.25f}}, {2, 0, 1}, {1, 3}},
                 {'.', {}, {}, {}}});
  good.push_back(7);
  const std::string format = "Error reading font file: incorrect file format\n";
  std::vector<std::pair<std::vector<uint8_t>, std::string>> bad = {{{'G', 'L'}, format}};
  // The magic in lower case, 'O' twice, a triangle corner and a contour end past the last vertex.
  for (auto [at, value] : {std::pair{0, 'g'}, {1, 'l'}, {2, 'f'}, {169, 'O'}, {164, 4}, {168, 4}}) {
    bad.push_back({good, at < 3      ? format
                         : at == 169 ? "Error reading font file: encountered symbols in font\n"
                                     : ""});
    bad.back().first[size_t(at)] = uint8_t(value);
  }
  for (long size = 3; size < 173; size++) bad.push_back({{good.begin(), good.begin() + size}, ""});
  ASSERT_TRUE(loadBytes(good) == 0 && loadBytes(good) == 1 && unloadFont(0) == 0);
  for (size_t i = 0; i < bad.size(); i++)
    for (uint8_t messages : {2, 1}) {
      fontRegistry.messagesSwitch = messages;
      ::testing::internal::CaptureStdout();
      EXPECT_TRUE(loadBytes(bad[i].first) == -1 && !fontRegistry.fonts[0] && getCurrentFont() == 1) << i;
      EXPECT_EQ(::testing::internal::GetCapturedStdout(), messages == 1 ? bad[i].second : "") << i;
    }
  const VectorFont& font = *fontRegistry.fonts[1];
  const VectorGlyph &o = *font.symbols[size_t('O')], &dot = *font.symbols[size_t('.')];
  EXPECT_EQ(std::string(font.name), std::string(96, '\xEE'));
  EXPECT_THAT(
      (std::vector<float>{float(font.symbolCount), float(o.vertexCount), float(o.facetCount),
                          float(o.contourCount), o.vertices[0].x, o.vertices[1].y, o.vertices[3].x,
                          float(o.facets[0]), float(o.facets[2]), float(o.contourEnds[0]),
                          float(o.contourEnds[1]), o.left, o.right, o.bottom, o.top, dot.left, dot.right,
                          dot.bottom, dot.top}),
      near({2, 4, 1, 2, -0.9f, 0.95f, 0.25f, 2, 1, 1, 3, -0.9f, 0.6f, -0.8f, 0.95f, 10, -10, 10, -10}));
}

}  // namespace

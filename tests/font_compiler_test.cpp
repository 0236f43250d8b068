// font_compiler_test.cpp -- the font compiler on Debian's TrueType fonts: glyphs inside
// the cell and the record limits, centred, counter-clockwise; options; refusals.
#include <string>

#include "font/font_library.h"
#include "tests/support/game_process.h"
#include "tests/vector_font_test_files.h"

namespace {

const std::string kOcrA = "/usr/share/fonts/truetype/ocr-a/OCRABold.ttf";
const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// Runs the compiler in the test folder; its exit status, and what it printed in *printed.
int compile(const std::string& arguments, std::string* printed = nullptr) {
  const std::string out =
      runCommand("cd '" + testFolder() + "' && " ZARNOK_BINARY_DIR "/tools/font_compiler " + arguments +
                 " 2>&1; echo \"exit $?\"");
  if (printed) *printed = out;
  return out.rfind("exit ") == std::string::npos ? -1 : std::atoi(out.c_str() + out.rfind("exit ") + 5);
}
const VectorFont& loaded(const std::string& name) {
  const int slot = loadFont((testFolder() + "/" + name).c_str());
  EXPECT_GE(slot, 0) << name;
  static const VectorFont empty;
  return slot >= 0 ? *fontRegistry.fonts[slot] : empty;
}

class FontCompilerTest : public ::testing::Test {
 protected:
  void TearDown() override { resetFontRegistry(); }
};

TEST_F(FontCompilerTest, WritesWellFormedGlyphsInsideTheCell) {
  for (const std::string& source : {kOcrA, kDejaVu}) {
    SCOPED_TRACE(source);
    ASSERT_EQ(compile("'" + source + "' compiled.font"), 0);
    const VectorFont& font = loaded("compiled.font");
    EXPECT_EQ(font.symbols[size_t(' ')], nullptr);  // no outline, laid out as a space anyway
    for (int code = 33; code <= 126; code++) EXPECT_NE(font.symbols[code], nullptr) << code;
    EXPECT_NE(font.symbols[0xC4], nullptr);  // both sources have the A with diaeresis
    for (const auto& symbol : font.symbols) {
      if (!symbol) continue;
      const VectorGlyph& g = *symbol;
      ASSERT_GT(g.facetCount, 0);
      EXPECT_NEAR(g.left, -g.right, 1e-4) << "origin at the horizontal centre";
      EXPECT_TRUE(g.left >= -1 && g.right <= 1 && g.bottom >= -1 && g.top <= 1);
      EXPECT_EQ(g.contourEnds[g.contourCount - 1], g.vertexCount - 1);
      for (int k = 1; k < g.contourCount; k++) EXPECT_GT(g.contourEnds[k], g.contourEnds[k - 1]);
      for (int f = 0; f < g.facetCount; f++) {
        const GlyphVertex &a = g.vertices[g.facets[3 * f]], &b = g.vertices[g.facets[3 * f + 1]],
                          &c = g.vertices[g.facets[3 * f + 2]];
        EXPECT_GT((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y), 0) << "triangle " << f;
      }
    }
  }
}

TEST_F(FontCompilerTest, ScalesByItsOptionsAndFlattensCoarselyWhereAGlyphWouldNotFit) {
  ASSERT_EQ(compile("'" + kDejaVu + "' plain.font"), 0);
  ASSERT_EQ(compile("--height 1 --condense 0.5 '" + kDejaVu + "' small.font"), 0);
  ASSERT_EQ(compile("--flatness 0.00001 '" + kDejaVu + "' fine.font"), 0);
  const VectorFont &plain = loaded("plain.font"), &small = loaded("small.font"), &fine = loaded("fine.font");
  const VectorGlyph &big = *plain.symbols[size_t('H')], &little = *small.symbols[size_t('H')];
  EXPECT_NEAR(little.top - little.bottom, (big.top - big.bottom) / 2, 1e-3);
  EXPECT_NEAR(little.right - little.left, (big.right - big.left) / 4, 1e-3);
  for (int code : {'@', '&', 'O', 'S'}) {  // at that flatness every curve would need far more than 255 points
    ASSERT_NE(fine.symbols[code], nullptr) << char(code);
    EXPECT_GT(fine.symbols[code]->vertexCount, plain.symbols[code]->vertexCount) << char(code);
  }
}

TEST_F(FontCompilerTest, RefusesWhatIsNotAFont) {
  writeTestFile("not-a-font.ttf", {'h', 'e', 'l', 'l', 'o'});
  std::string printed;
  EXPECT_EQ(compile("not-a-font.ttf out.font", &printed), 1);
  EXPECT_NE(printed.find("cannot read 'not-a-font.ttf' as a TrueType or OpenType font"), std::string::npos)
      << printed;
  EXPECT_EQ(compile("missing.ttf out.font"), 1);
  EXPECT_EQ(compile("--height -1 '" + kOcrA + "' out.font"), 2);
  EXPECT_EQ(compile("'" + kOcrA + "'"), 2);
}

}  // namespace

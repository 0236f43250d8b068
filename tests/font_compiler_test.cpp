// font_compiler_test.cpp -- the font compiler run on Debian's TrueType fonts: the
// files it writes load, keep every glyph inside the cell and the record limits, are
// centred on the glyph origin and filled with counter-clockwise triangles; its
// options scale the glyphs; it refuses what is not a font.
#include <cmath>
#include <string>

#include "font/font_library.h"
#include "tests/support/game_process.h"
#include "tests/vector_font_test_files.h"

namespace {

const std::string kCompiler = ZARNOK_BINARY_DIR "/tools/font_compiler";
const std::string kOcrA = "/usr/share/fonts/truetype/ocr-a/OCRABold.ttf";
const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

class FontCompilerTest : public ::testing::Test {
 protected:
  void TearDown() override { resetFontRegistry(); }

  // Runs the compiler; returns its exit status and its messages in *messages.
  static int compile(const std::string& arguments, std::string* messages = nullptr) {
    const std::string log = testFolder() + "/compiler.log";
    const int status = std::system((kCompiler + " " + arguments + " 2>'" + log + "'").c_str());
    if (messages) *messages = runCommand("cat '" + log + "'");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  static const VectorFont& loaded(const std::string& path) {
    const int slot = loadFont(path.c_str());
    EXPECT_GE(slot, 0) << path;
    static const VectorFont empty;
    return slot >= 0 ? *fontRegistry.fonts[slot] : empty;
  }
};

TEST_F(FontCompilerTest, WritesWellFormedGlyphsInsideTheCell) {
  for (const std::string& source : {kOcrA, kDejaVu}) {
    SCOPED_TRACE(source);
    const std::string output = testFolder() + "/compiled.font";
    ASSERT_EQ(compile("'" + source + "' '" + output + "'"), 0);
    const VectorFont& font = loaded(output);
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
        const GlyphVertex& a = g.vertices[g.facets[3 * f]];
        const GlyphVertex& b = g.vertices[g.facets[3 * f + 1]];
        const GlyphVertex& c = g.vertices[g.facets[3 * f + 2]];
        EXPECT_GT((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y), 0) << "triangle " << f;
      }
    }
  }
}

TEST_F(FontCompilerTest, ScalesByItsOptionsAndFlattensCoarselyWhereAGlyphWouldNotFit) {
  const std::string plain = testFolder() + "/plain.font", small = testFolder() + "/small.font";
  const std::string fine = testFolder() + "/fine.font";
  ASSERT_EQ(compile("'" + kDejaVu + "' '" + plain + "'"), 0);
  ASSERT_EQ(compile("--height 1 --condense 0.5 '" + kDejaVu + "' '" + small + "'"), 0);
  ASSERT_EQ(compile("--flatness 0.00001 '" + kDejaVu + "' '" + fine + "'"), 0);
  const VectorGlyph& big = *loaded(plain).symbols[size_t('H')];
  const VectorGlyph& little = *loaded(small).symbols[size_t('H')];
  EXPECT_NEAR(little.top - little.bottom, (big.top - big.bottom) / 2, 1e-3);
  EXPECT_NEAR(little.right - little.left, (big.right - big.left) / 4, 1e-3);
  // At that flatness every curve would need far more than 255 points.
  const VectorFont& detailed = loaded(fine);
  for (int code : {'@', '&', 'O', 'S'}) {
    ASSERT_NE(detailed.symbols[code], nullptr) << char(code);
    EXPECT_GT(detailed.symbols[code]->vertexCount, loaded(plain).symbols[code]->vertexCount) << char(code);
  }
}

TEST_F(FontCompilerTest, RefusesWhatIsNotAFont) {
  const std::string notAFont = writeTestFile("not-a-font.ttf", {'h', 'e', 'l', 'l', 'o'});
  std::string messages;
  EXPECT_EQ(compile("'" + notAFont + "' '" + testFolder() + "/out.font'", &messages), 1);
  EXPECT_NE(messages.find("cannot read '" + notAFont + "' as a TrueType or OpenType font"), std::string::npos)
      << messages;
  EXPECT_EQ(compile("'" + testFolder() + "/missing.ttf' '" + testFolder() + "/out.font'"), 1);
  EXPECT_EQ(compile("--height -1 '" + kOcrA + "' '" + testFolder() + "/out.font'"), 2);
  EXPECT_EQ(compile("'" + kOcrA + "'"), 2);
}

}  // namespace

// bitmap_font_drawing_test.cpp -- drawing with a bitmap font in the real GL context: a
// glyph's list and its advance, string length and centring (codes 128 to 255 too), the
// two masked passes as pixels and state, begin/end texturing, and nothing at all
// without a usable font.
#include <algorithm>

#include "tests/bitmap_font_files.h"

namespace {

// A 16 x 16 picture, its left half black, its right half yellow. 'M' covers all of it
// (1 x 1 units); the other glyphs have the widths the tests measure.
std::string writeTestFont() {
  fw::PlanarPicture picture(16, 16, 3);
  for (int y = 0; y < 16; y++)
    for (int x = 8; x < 16; x++) picture.at(x, y, 0) = picture.at(x, y, 1) = 255;
  fw::GlyphBox glyphs[256];
  for (int code = 2; code < 256; code++) glyphs[code] = {0, 0, 0.01f, 0.1f};
  glyphs[int('A')] = {0, 0, 0.2f, 0.1f};
  glyphs[int('B')] = {0, 0, 0.3f, 0.1f};
  glyphs[int('G')] = {0.125f, 0.375f, 0.25f, 0.5f};
  glyphs[int('M')] = {0, 0, 1, 1};
  glyphs[130] = {0, 0, 0.4f, 0.1f};
  glyphs[200] = {0, 0, 0.05f, 0.1f};
  return writeTestFile("bitmap_font_drawing", fontFile(fw::encodePicture(picture, true), glyphs));
}

float modelviewX() {
  float matrix[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
  return matrix[12];
}

GLint integer(GLenum what) {
  GLint value = -1;
  glGetIntegerv(what, &value);
  return value;
}

// Smallest and largest object x drawn (the projection maps -1..1 onto 1024 pixels).
std::pair<float, float> drawnXRange(const std::function<void()>& draw) {
  float low = 1e9f, high = -1e9f;
  for (const auto& polygon : polygonsOf(captureFeedback(draw)))
    for (const auto& vertex : polygon.vertices) {
      low = std::min(low, vertex.x / 512 - 1);
      high = std::max(high, vertex.x / 512 - 1);
    }
  return {low, high};
}

class BitmapFontDrawingTest : public BitmapFontTest {
 protected:
  void SetUp() override {
    BitmapFontTest::SetUp();
    static const std::string path = writeTestFont();
    ASSERT_EQ(loadBitmapFont(path.c_str()), 0);
    setBitmapCentering(0);
    glMatrixMode(GL_PROJECTION);
    glOrtho(-1, 1, -1, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
  }
  void TearDown() override {
    BitmapFontTest::TearDown();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
  }
  const BitmapFont& font = fontRegistry.bitmapFonts[0];
};

TEST_F(BitmapFontDrawingTest, GlyphListDrawsItsShareOfThePictureAndAdvancesByWidthPlusSpacing) {
  const auto polygons = polygonsOf(captureFeedback([] { drawBitmapChar('G'); }));
  ASSERT_EQ(polygons.size(), 2u);
  for (const auto& polygon : polygons)
    for (const auto& v : polygon.vertices) {  // 0..0.25 by 0..0.5, the picture from (0.125, 0.375)
      const float x = v.x / 512 - 1, y = v.y / 384 - 1;
      EXPECT_TRUE(std::abs(x) < 1e-3f || std::abs(x - 0.25f) < 1e-3f) << x;
      EXPECT_TRUE(std::abs(y) < 1e-3f || std::abs(y - 0.5f) < 1e-3f) << y;
      EXPECT_NEAR(v.s, 0.125f + x, 1e-4f);
      EXPECT_NEAR(v.t, 0.375f + y, 1e-4f);
    }
  glLoadIdentity();
  drawBitmapChar('G');
  EXPECT_FLOAT_EQ(modelviewX(), 0.251f);
  glLoadIdentity();
  drawBitmapChar(1);  // an all-zero record: it only moves on by the spacing
  EXPECT_EQ(modelviewX(), glyphSpacing);
}

TEST_F(BitmapFontDrawingTest, StringIsAsLongAsItsGlyphsAndCentresOnTheOrigin) {
  drawBitmapString("AB");
  EXPECT_NEAR(modelviewX(), 0.502f, 1e-6f) << "the origin ends at the end";
  glLoadIdentity();
  EXPECT_NEAR(drawnXRange([] { drawBitmapString("AB"); }).first, 0, 2e-3f);

  setBitmapCentering(1);
  glLoadIdentity();
  const auto range = drawnXRange([] { drawBitmapString("AB"); });
  EXPECT_NEAR(range.first, -0.251f, 2e-3f);
  EXPECT_NEAR(range.second, 0.25f, 2e-3f);
  drawBitmapString("AB");
  EXPECT_EQ(modelviewX(), 0) << "centred strings leave the matrix as it was";
  EXPECT_EQ(GLuint(integer(GL_LIST_BASE)), font.listBase);
  // Codes 128 to 255 have widths of their own: 0.05 and 0.4.
  const char high[] = {char(200), char(130), 0};
  EXPECT_NEAR(drawnXRange([&] { drawBitmapString(high); }).first, -0.226f, 2e-3f);
  EXPECT_TRUE(captureFeedback([] {
                drawBitmapString("");
                drawMaskedBitmapString("");
              }).empty());
  EXPECT_EQ(modelviewX(), 0);
  setBitmapCentering(2);  // only exactly 1 centres
  EXPECT_NEAR(drawnXRange([] { drawBitmapString("AB"); }).first, 0, 2e-3f);
}

// The masked glyph 'M' covers the top-right quarter of the blue frame: its black left
// half must leave the frame as it was, its yellow right half must replace it, in the
// caller's colour. Afterwards: additive blending, the glyph texture, balanced stacks.
TEST_F(BitmapFontDrawingTest, MaskedGlyphIsOpaqueOverTheFrameWithItsBackgroundLeftClear) {
  for (bool asString : {false, true}) {
    SCOPED_TRACE(asString ? "string" : "character");
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glColor3f(0.5f, 0.5f, 0.5f);
    setBitmapCentering(asString);
    if (asString) {
      glTranslatef(0.5005f, 0, 0);  // "M" centred here spans 0..1
      drawMaskedBitmapString("M");
      EXPECT_FLOAT_EQ(modelviewX(), 0.5005f);
    } else {
      drawMaskedBitmapChar('M');
      EXPECT_FLOAT_EQ(modelviewX(), 1.001f) << "only the glyph pass moves the origin";
    }
    EXPECT_EQ(readPixelsRgb(600, 500, 1, 1), (std::vector<unsigned char>{0, 0, 255})) << "glyph background";
    EXPECT_EQ(readPixelsRgb(900, 500, 1, 1), (std::vector<unsigned char>{128, 128, 0})) << "glyph";
    EXPECT_EQ(readPixelsRgb(300, 500, 1, 1), (std::vector<unsigned char>{0, 0, 255})) << "outside";
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_ONE);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE);
    EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), font.texture);
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(integer(GL_ATTRIB_STACK_DEPTH), 0);
  }
}

TEST_F(BitmapFontDrawingTest, BeginAndEndTextPutTexturingBackAsFound) {
  for (bool withFont : {true, false})
    for (GLboolean enabled : {GL_FALSE, GL_TRUE}) {
      SCOPED_TRACE(std::string(withFont ? "with" : "without") + " a font, texturing " +
                   (enabled ? "on" : "off"));
      if (!withFont) unloadBitmapFont(0);
      enabled ? glEnable(GL_TEXTURE_2D) : glDisable(GL_TEXTURE_2D);
      glBindTexture(GL_TEXTURE_2D, 0);
      beginBitmapText();
      EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
      EXPECT_EQ(GLuint(integer(GL_TEXTURE_BINDING_2D)), withFont ? font.texture : 0);
      endBitmapText();
      EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), enabled);
    }
}

// Every piece of state a drawing call could touch.
std::vector<float> drawingState() {
  std::vector<float> state(20);
  glGetFloatv(GL_MODELVIEW_MATRIX, state.data());
  glGetFloatv(GL_CURRENT_COLOR, state.data() + 16);
  for (GLenum what : {GL_MODELVIEW_STACK_DEPTH, GL_ATTRIB_STACK_DEPTH, GL_BLEND_SRC, GL_BLEND_DST,
                      GL_TEXTURE_BINDING_2D, GL_LIST_BASE})
    state.push_back(float(integer(what)));
  return state;
}

TEST_F(BitmapFontDrawingTest, WithoutAUsableFontNothingIsDrawnAndNoStateChanges) {
  for (int32_t current : {-1, 1, 0}) {  // none, a free slot, a slot just unloaded
    SCOPED_TRACE("current " + std::to_string(current));
    if (current == 0) {
      ASSERT_EQ(unloadBitmapFont(0), 0);
    }
    fontRegistry.currentBitmapFont = current;
    setBitmapCentering(1);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, 0);
    glListBase(7);
    glColor4f(0.25f, 0.5f, 0.75f, 1);
    glTranslatef(0.125f, 0, 0);
    const std::vector<float> before = drawingState();
    EXPECT_TRUE(captureFeedback([] {
                  drawBitmapChar('A');
                  drawBitmapString("AB");
                  drawMaskedBitmapChar('A');
                  drawMaskedBitmapString("AB");
                }).empty());
    EXPECT_EQ(drawingState(), before);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  }
}

}  // namespace

// bitmap_font_drawing_test.cpp -- drawing with bitmap fonts in the real GL context:
// what a glyph's list draws and how far it moves the origin, string length and
// centring (also for codes 128 to 255), the two passes of masked drawing as pixels and
// as state, begin/end texturing, and that without a usable font nothing happens at all.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "font/bitmap_font.h"
#include "tests/support/gl_context.h"
#include "tools/common/bitmap_font_writer.h"

namespace fw = bitmap_font_writer;

namespace {

// The font: a 16 x 16 picture, its left half black, its right half yellow. 'M' covers
// the whole picture (1 x 1 units); the other glyphs have the widths the tests measure.
std::string writeTestFont() {
  fw::PlanarPicture picture(16, 16, 3);
  for (int y = 0; y < 16; y++)
    for (int x = 8; x < 16; x++) picture.at(x, y, 0) = picture.at(x, y, 1) = 255;
  fw::GlyphBox glyphs[256];
  for (int code = 0; code < 256; code++) glyphs[code] = {0, 0, 0.01f, 0.1f};
  glyphs[1] = {0, 0, 0, 0};
  glyphs['A'] = {0, 0, 0.2f, 0.1f};
  glyphs['B'] = {0, 0, 0.3f, 0.1f};
  glyphs['G'] = {0.125f, 0.375f, 0.25f, 0.5f};
  glyphs['M'] = {0, 0, 1, 1};
  glyphs[130] = {0, 0, 0.4f, 0.1f};
  glyphs[200] = {0, 0, 0.05f, 0.1f};
  const std::string path = ::testing::TempDir() + "bitmap_font_drawing_test_font";
  EXPECT_TRUE(
      fw::writeFileBytes(path, fw::encodeFontFile("drawing", glyphs, fw::encodePicture(picture, true))));
  return path;
}

float modelviewX() {
  float matrix[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
  return matrix[12];
}

// Object x of a window x under the fixture's projection (-1 to 1 across 1024 pixels).
float objectX(float windowX) { return windowX / 512 - 1; }

// Smallest and largest object x of everything a draw produces.
std::pair<float, float> drawnXRange(const std::function<void()>& draw) {
  const auto polygons = polygonsOf(captureFeedback(draw));
  float low = 1e9f, high = -1e9f;
  for (const auto& polygon : polygons)
    for (const auto& vertex : polygon.vertices) {
      low = std::min(low, objectX(vertex.x));
      high = std::max(high, objectX(vertex.x));
    }
  return {low, high};
}

GLint integerState(GLenum what) {
  GLint value = -1;
  glGetIntegerv(what, &value);
  return value;
}

class BitmapFontDrawingTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    for (int slot = 0; slot < FONT_SLOT_COUNT; slot++) unloadBitmapFont(slot);
    static const std::string path = writeTestFont();
    slot_ = loadBitmapFont(path.c_str());
    ASSERT_GE(slot_, 0);
    setBitmapCentering(0);
    glMatrixMode(GL_PROJECTION);
    glOrtho(-1, 1, -1, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
  }
  void TearDown() override {
    for (int slot = 0; slot < FONT_SLOT_COUNT; slot++) unloadBitmapFont(slot);
    setBitmapCentering(0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
  }
  const BitmapFont& font() const { return fontRegistry.bitmapFonts[slot_]; }

  int slot_ = -1;
};

TEST_F(BitmapFontDrawingTest, GlyphListDrawsItsShareOfThePictureAndAdvancesByWidthPlusSpacing) {
  const auto polygons = polygonsOf(captureFeedback([] { drawBitmapChar('G'); }));
  ASSERT_FALSE(polygons.empty());
  // The quad spans 0..0.25 by 0..0.5 and shows the picture from (0.125, 0.375) on.
  for (const auto& polygon : polygons) {
    for (const auto& v : polygon.vertices) {
      const float x = objectX(v.x), y = v.y / 384 - 1;
      EXPECT_TRUE(std::abs(x) < 1e-3f || std::abs(x - 0.25f) < 1e-3f) << x;
      EXPECT_TRUE(std::abs(y) < 1e-3f || std::abs(y - 0.5f) < 1e-3f) << y;
      EXPECT_NEAR(v.s, 0.125f + x, 1e-4f);
      EXPECT_NEAR(v.t, 0.375f + y, 1e-4f);
    }
  }
  glLoadIdentity();
  drawBitmapChar('G');
  EXPECT_EQ(modelviewX(), 0.25f + glyphSpacing);
  EXPECT_FLOAT_EQ(modelviewX(), 0.251f);

  // A glyph whose record is all zeros still has a list: it only moves on by the spacing.
  glLoadIdentity();
  drawBitmapChar(1);
  EXPECT_EQ(modelviewX(), glyphSpacing);
}

TEST_F(BitmapFontDrawingTest, StringIsAsLongAsItsGlyphsAndCentresOnTheOrigin) {
  drawBitmapString("AB");
  const float length = (0.2f + glyphSpacing) + (0.3f + glyphSpacing);
  EXPECT_EQ(modelviewX(), length) << "uncentred strings leave the origin at their end";
  EXPECT_NEAR(length, 0.502f, 1e-6f);
  glLoadIdentity();
  auto range = drawnXRange([] { drawBitmapString("AB"); });
  EXPECT_NEAR(range.first, 0, 2e-3f);
  EXPECT_NEAR(range.second, 0.501f, 2e-3f);

  setBitmapCentering(1);
  glLoadIdentity();
  range = drawnXRange([] { drawBitmapString("AB"); });
  EXPECT_NEAR(range.first, -0.251f, 2e-3f);
  EXPECT_NEAR(range.second, 0.25f, 2e-3f);
  drawBitmapString("AB");
  EXPECT_EQ(modelviewX(), 0) << "centred strings leave the matrix as it was";
  GLint listBase = -1;
  glGetIntegerv(GL_LIST_BASE, &listBase);
  EXPECT_EQ(GLuint(listBase), font().listBase);

  // Only exactly 1 centres.
  setBitmapCentering(2);
  glLoadIdentity();
  EXPECT_NEAR(drawnXRange([] { drawBitmapString("AB"); }).first, 0, 2e-3f);
}

TEST_F(BitmapFontDrawingTest, HighCharacterCodesAreMeasuredWithTheirOwnWidths) {
  setBitmapCentering(1);
  const char text[] = {char(200), char(130), 0};
  // 0.05 + 0.4 + 2 x spacing, the first glyph starting half of that to the left.
  const auto range = drawnXRange([&] { drawBitmapString(text); });
  EXPECT_NEAR(range.first, -0.226f, 2e-3f);
  EXPECT_NEAR(range.second, 0.225f, 2e-3f);
  setBitmapCentering(0);
  glLoadIdentity();
  drawBitmapString(text);
  EXPECT_FLOAT_EQ(modelviewX(), 0.452f);
}

TEST_F(BitmapFontDrawingTest, EmptyStringDrawsNothingCentredOrNot) {
  for (uint8_t centred : {0, 1}) {
    setBitmapCentering(centred);
    EXPECT_TRUE(captureFeedback([] { drawBitmapString(""); }).empty());
    EXPECT_TRUE(captureFeedback([] { drawMaskedBitmapString(""); }).empty());
    EXPECT_EQ(modelviewX(), 0);
    EXPECT_EQ(integerState(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  }
}

// The masked glyph 'M' covers the top-right quarter of the frame: its black left half
// must leave the blue frame as it was, its yellow right half must replace it.
TEST_F(BitmapFontDrawingTest, MaskedGlyphIsOpaqueOverTheFrameWithItsBackgroundLeftClear) {
  for (bool asString : {false, true}) {
    SCOPED_TRACE(asString ? "string" : "character");
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor3f(0.5f, 0.5f, 0.5f);  // tints the glyphs only, not the mask
    if (asString) {
      setBitmapCentering(1);
      glTranslatef(0.5005f, 0, 0);  // centred on 0.5005, the string "M" spans 0..1
      drawMaskedBitmapString("M");
      EXPECT_FLOAT_EQ(modelviewX(), 0.5005f);
    } else {
      drawMaskedBitmapChar('M');
      EXPECT_FLOAT_EQ(modelviewX(), 1.001f) << "only the glyph pass moves the origin";
    }
    EXPECT_EQ(readPixelsRgb(600, 500, 1, 1), (std::vector<unsigned char>{0, 0, 255})) << "background";
    EXPECT_EQ(readPixelsRgb(900, 500, 1, 1), (std::vector<unsigned char>{128, 128, 0})) << "glyph";
    EXPECT_EQ(readPixelsRgb(300, 500, 1, 1), (std::vector<unsigned char>{0, 0, 255})) << "outside";

    // Afterwards: additive blending with the glyph texture, the caller's colour kept.
    EXPECT_EQ(integerState(GL_BLEND_SRC), GL_ONE);
    EXPECT_EQ(integerState(GL_BLEND_DST), GL_ONE);
    EXPECT_EQ(GLuint(integerState(GL_TEXTURE_BINDING_2D)), font().texture);
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.5f);
    EXPECT_EQ(integerState(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(integerState(GL_ATTRIB_STACK_DEPTH), 0);

    // The mask pass comes first, in white; the glyph pass in the caller's colour.
    glLoadIdentity();
    const auto polygons = polygonsOf(captureFeedback([&] {
      if (asString)
        drawMaskedBitmapString("M");
      else
        drawMaskedBitmapChar('M');
    }));
    ASSERT_EQ(polygons.size(), 4u);
    EXPECT_FLOAT_EQ(polygons.front().vertices[0].g, 1.0f);
    EXPECT_FLOAT_EQ(polygons.back().vertices[0].g, 0.5f);
    setBitmapCentering(0);
  }
}

TEST_F(BitmapFontDrawingTest, BeginAndEndTextPutTexturingBackAsFound) {
  glDisable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, 0);
  beginBitmapText();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(GLuint(integerState(GL_TEXTURE_BINDING_2D)), font().texture);
  endBitmapText();
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));

  glEnable(GL_TEXTURE_2D);
  beginBitmapText();
  endBitmapText();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));

  // Without a font texturing is still switched, but nothing is bound.
  ASSERT_EQ(unloadCurrentBitmapFont(), 0);
  glDisable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, 0);
  beginBitmapText();
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_EQ(integerState(GL_TEXTURE_BINDING_2D), 0);
  endBitmapText();
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

// Every piece of state a drawing call could touch.
std::vector<float> drawingState() {
  std::vector<float> state(16);
  glGetFloatv(GL_MODELVIEW_MATRIX, state.data());
  float colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  state.insert(state.end(), colour, colour + 4);
  for (GLenum what : {GL_MODELVIEW_STACK_DEPTH, GL_ATTRIB_STACK_DEPTH, GL_BLEND_SRC, GL_BLEND_DST,
                      GL_TEXTURE_BINDING_2D, GL_LIST_BASE})
    state.push_back(float(integerState(what)));
  return state;
}

TEST_F(BitmapFontDrawingTest, WithoutAUsableFontNothingIsDrawnAndNoStateChanges) {
  const int otherSlot = (slot_ + 1) % FONT_SLOT_COUNT;
  for (int32_t current : {-1, otherSlot}) {  // none, and a free slot
    SCOPED_TRACE("current " + std::to_string(current));
    fontRegistry.currentBitmapFont = current;
    setBitmapCentering(1);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    GLuint sentinel = 0;
    glGenTextures(1, &sentinel);
    glBindTexture(GL_TEXTURE_2D, sentinel);
    glListBase(7);
    glColor4f(0.25f, 0.5f, 0.75f, 1);
    glTranslatef(0.125f, 0, 0);
    const std::vector<float> before = drawingState();
    const auto items = captureFeedback([] {
      drawBitmapChar('A');
      drawBitmapString("AB");
      drawMaskedBitmapChar('A');
      drawMaskedBitmapString("AB");
    });
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(drawingState(), before);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glDeleteTextures(1, &sentinel);
  }
  // After unloading the current font, likewise.
  fontRegistry.currentBitmapFont = slot_;
  ASSERT_EQ(unloadBitmapFont(slot_), 0);
  EXPECT_EQ(getCurrentBitmapFont(), -1);
  const std::vector<float> before = drawingState();
  EXPECT_TRUE(captureFeedback([] { drawBitmapString("AB"); }).empty());
  EXPECT_EQ(drawingState(), before);
}

TEST_F(BitmapFontDrawingTest, SettingsAreStoredAsGiven) {
  setBitmapCentering(7);
  EXPECT_EQ(getBitmapCentering(), 7);
  setBitmapRotation(33.5f);
  EXPECT_EQ(fontRegistry.bitmapRotation, 33.5f);
  // The rotation is kept but drawing does not apply it.
  setBitmapCentering(0);
  EXPECT_NEAR(drawnXRange([] { drawBitmapString("B"); }).second, 0.3f, 2e-3f);
  setBitmapRotation(0);
}

}  // namespace

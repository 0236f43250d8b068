// bitmap_font_maker_test.cpp -- the bitmap fonts made at build time from DejaVu Sans
// Bold: both load, their glyph widths are those of a proportional font, the run-length
// grey-alpha font and the raw RGBA font hold the same picture, and masked text drawn
// over a coloured, textured background covers it with pure grey glyphs only where the
// glyphs are.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font/bitmap_font.h"
#include "tests/support/gl_context.h"

namespace {

const std::string kPackedFont = std::string(ZARNOK_ASSET_DIR) + "/fonts/sans_bold.bitmap_font";
const std::string kRawFont = std::string(ZARNOK_ASSET_DIR) + "/fonts/sans_bold_rgba_raw.bitmap_font";

std::vector<uint8_t> textureRgb(GLuint texture) {
  glBindTexture(GL_TEXTURE_2D, texture);
  GLint width = 0, height = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

class BitmapFontMakerTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    for (int slot = 0; slot < FONT_SLOT_COUNT; slot++) unloadBitmapFont(slot);
  }
  void TearDown() override {
    for (int slot = 0; slot < FONT_SLOT_COUNT; slot++) unloadBitmapFont(slot);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
  }
};

TEST_F(BitmapFontMakerTest, BuiltFontsLoadWithProportionalWidthsAndTheSamePicture) {
  const int packed = loadBitmapFont(kPackedFont.c_str());
  ASSERT_EQ(packed, 0) << kPackedFont << " (made by the bitmap_fonts target)";
  const int raw = loadBitmapFont(kRawFont.c_str());
  ASSERT_EQ(raw, 1) << kRawFont;
  const float* widths = fontRegistry.bitmapFonts[packed].widths.get();
  EXPECT_GT(widths['W'], widths['i']);
  EXPECT_GT(widths[' '], 0);
  EXPECT_GT(widths[0xE9], 0) << "Latin-1 e acute";
  EXPECT_EQ(widths[1], 0) << "control codes have no glyph";
  EXPECT_EQ(widths[0x85], 0);
  for (int code = 0; code < 256; code++) ASSERT_EQ(widths[code], fontRegistry.bitmapFonts[raw].widths[code]);
  const std::vector<uint8_t> packedPicture = textureRgb(fontRegistry.bitmapFonts[packed].texture);
  ASSERT_EQ(packedPicture.size(), 512u * 512u * 3u);
  EXPECT_EQ(packedPicture, textureRgb(fontRegistry.bitmapFonts[raw].texture));
}

// A red and blue checkerboard, as a texture over the whole frame.
void drawBackground() {
  static GLuint texture = 0;
  if (!texture) {
    std::vector<uint8_t> board(64 * 64 * 3, 0);
    for (int y = 0; y < 64; y++)
      for (int x = 0; x < 64; x++) board[size_t(y * 64 + x) * 3 + (((x / 8) + (y / 8)) % 2 ? 0 : 2)] = 200;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 64, 64, 0, GL_RGB, GL_UNSIGNED_BYTE, board.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  }
  glDisable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, texture);
  glColor3f(1, 1, 1);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(-1, -1);
  glTexCoord2f(4, 0);
  glVertex2f(1, -1);
  glTexCoord2f(4, 3);
  glVertex2f(1, 1);
  glTexCoord2f(0, 3);
  glVertex2f(-1, 1);
  glEnd();
}

TEST_F(BitmapFontMakerTest, MaskedTextCoversTheBackgroundOnlyUnderItsGlyphs) {
  ASSERT_EQ(loadBitmapFont(kPackedFont.c_str()), 0) << kPackedFont;
  drawBackground();
  const std::vector<uint8_t> background = readPixelsRgb(0, 0, kWidth, kHeight);

  for (bool masked : {true, false}) {
    SCOPED_TRACE(masked ? "masked" : "plain");
    drawBackground();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glLoadIdentity();
    glScalef(3.5f, 3.5f * kWidth / kHeight, 1);
    glColor3f(0.5f, 0.5f, 0.5f);  // glyphs added to red or blue would not be grey
    setBitmapCentering(1);
    beginBitmapText();
    if (masked)
      drawMaskedBitmapString("Zarnok! \xC0\xE9");
    else
      drawBitmapString("Zarnok! \xC0\xE9");
    endBitmapText();
    setBitmapCentering(0);
    glLoadIdentity();
    const std::vector<uint8_t> frame = readPixelsRgb(0, 0, kWidth, kHeight);
    saveScreenshot(std::string(ZARNOK_BINARY_DIR) + "/bitmap_font_" + (masked ? "masked" : "plain") + ".png");

    // Where the text changed the frame, masked glyphs are pure grey (the background
    // cleared under them) except at their filtered edges, where the mask is partly
    // white; plain glyphs are added to the background's colour, never grey.
    size_t changed = 0, grey = 0;
    for (size_t i = 0; i < frame.size(); i += 3) {
      if (std::equal(&frame[i], &frame[i] + 3, &background[i])) continue;
      changed++;
      if (frame[i] == frame[i + 1] && frame[i + 1] == frame[i + 2]) grey++;
    }
    EXPECT_GT(changed, 20000u) << "the text is drawn";
    if (masked)
      EXPECT_GT(grey, changed / 2);
    else
      EXPECT_LT(grey, changed / 100);
  }
}

}  // namespace

// bitmap_font_maker_test.cpp -- the bitmap fonts made at build time from DejaVu Sans
// Bold: both load, their glyph widths are those of a proportional font with Latin-1
// letters and no control codes, and the run-length grey-alpha font and the raw RGBA
// font hold the same picture.
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
  }
};

TEST_F(BitmapFontMakerTest, BuiltFontsLoadWithProportionalWidthsAndTheSamePicture) {
  const int packed = loadBitmapFont(kPackedFont.c_str());
  ASSERT_EQ(packed, 0) << kPackedFont << " (made by the bitmap_fonts target)";
  const int raw = loadBitmapFont(kRawFont.c_str());
  ASSERT_EQ(raw, 1) << kRawFont;
  const float* widths = fontRegistry.bitmapFonts[packed].widths.get();
  EXPECT_GT(widths[int('W')], widths[int('i')]);
  EXPECT_GT(widths[int(' ')], 0);
  EXPECT_GT(widths[0xE9], 0) << "Latin-1 e acute";
  EXPECT_EQ(widths[1], 0) << "control codes have no glyph";
  EXPECT_EQ(widths[0x85], 0);
  for (int code = 0; code < 256; code++) ASSERT_EQ(widths[code], fontRegistry.bitmapFonts[raw].widths[code]);
  const std::vector<uint8_t> packedPicture = textureRgb(fontRegistry.bitmapFonts[packed].texture);
  ASSERT_EQ(packedPicture.size(), 512u * 512u * 3u);
  EXPECT_EQ(packedPicture, textureRgb(fontRegistry.bitmapFonts[raw].texture));
}

}  // namespace

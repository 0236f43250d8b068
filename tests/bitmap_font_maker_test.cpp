// bitmap_font_maker_test.cpp -- the bitmap fonts made at build time from DejaVu Sans
// Bold: both load, their glyph widths are those of a proportional font with Latin-1
// letters and no control codes, and the run-length grey-alpha font and the raw RGBA
// font hold the same picture.
#include "tests/bitmap_font_files.h"

namespace {

using BitmapFontMakerTest = BitmapFontTest;

TEST_F(BitmapFontMakerTest, BuiltFontsLoadWithProportionalWidthsAndTheSamePicture) {
  const std::string fonts = std::string(ZARNOK_ASSET_DIR) + "/fonts/";
  ASSERT_EQ(loadBitmapFont((fonts + "sans_bold.bitmap_font").c_str()), 0)
      << "made by the bitmap_fonts target";
  ASSERT_EQ(loadBitmapFont((fonts + "sans_bold_rgba_raw.bitmap_font").c_str()), 1);
  const BitmapFont &packed = fontRegistry.bitmapFonts[0], &raw = fontRegistry.bitmapFonts[1];
  const float* widths = packed.widths.get();
  EXPECT_GT(widths[int('W')], widths[int('i')]);
  EXPECT_GT(widths[int(' ')], 0);
  EXPECT_GT(widths[0xE9], 0) << "Latin-1 e acute";
  EXPECT_EQ(widths[1], 0) << "control codes have no glyph";
  EXPECT_EQ(widths[0x85], 0);
  EXPECT_EQ(std::vector<float>(widths, widths + 256),
            std::vector<float>(raw.widths.get(), raw.widths.get() + 256));
  const std::vector<uint8_t> picture = textureRgb(packed.texture);
  ASSERT_EQ(picture.size(), 512u * 512u * 3u);
  EXPECT_EQ(picture, textureRgb(raw.texture));
}

}  // namespace

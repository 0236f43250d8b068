// font_tools_test.cpp -- the font compiler makes a font the library loads, and the
// showcase draws it into a screenshot.
#include "tests/vector_font_test_files.h"

TEST(FontToolsTest, CompilerAndShowcaseWork) {
  const std::string font = testFolder() + "/compiled.font", shot = testFolder() + "/shot.png";
  ASSERT_EQ(std::system((FONT_COMPILER " /usr/share/fonts/truetype/ocr-a/OCRABold.ttf " + font).c_str()), 0);
  ASSERT_EQ(loadFont(font.c_str()), 0);
  for (int code = '!'; code <= '~'; code++)
    EXPECT_GT(fontRegistry.fonts[0]->symbols[code]->facetCount, 0) << code;
  ASSERT_EQ(
      std::system((FONTSHOW " " + font +
                   " --bitmap-font " ZARNOK_ASSET_DIR "/fonts/sans_bold.bitmap_font --screenshot " + shot)
                      .c_str()),
      0);
  std::ifstream png(shot, std::ios::binary);
  std::string header(24, 0);  // the signature, then the first chunk: the width and height, big-endian
  png.read(&header[0], 24);
  EXPECT_EQ(header.substr(1, 3) + header.substr(16), std::string("PNG\0\0\4\0\0\0\3\0", 11));
  resetFontRegistry();
}

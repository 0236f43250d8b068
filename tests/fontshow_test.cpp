// fontshow_test.cpp -- the font showcase in a real window on Xvfb: its screenshot (read
// back through ImageMagick) has every panel drawn; a missing font or a wrong command
// line is refused.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <set>
#include <string>

#include "tests/support/game_process.h"

namespace {

int fontshow(const std::string& arguments) {
  const int status =
      std::system((std::string("timeout 60 '") + FONTSHOW_BINARY + "' " + arguments + " 2>&1").c_str());
  return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(FontshowTest, ScreenshotShowsEveryPanel) {
  const std::string shot = ::testing::TempDir() + "fontshow_shot.png";
  std::remove(shot.c_str());
  ASSERT_EQ(fontshow("'" FONTSHOW_FONT "' --screenshot '" + shot + "'"), 0);
  const std::string rgb = runCommand("convert '" + shot + "' -strip -depth 8 rgb:-");  // top row first
  ASSERT_EQ(rgb.size(), 1024u * 768 * 3) << "no 1024 x 768 PNG at " << shot;
  auto pixel = [&rgb](int x, int y) { return rgb.substr((size_t(y) * 1024 + size_t(x)) * 3, 3); };

  // A grid of 4 x 3 cells of 256 x 240 pixels below a 48-pixel heading; the console
  // spans the first two cells of the last row.
  const std::string panels[] = {"flat",
                                "outline",
                                "wireframe",
                                "extruded, lit",
                                "flat, contoured",
                                "extruded, contoured",
                                "directions",
                                "centring and rotation",
                                "text console"};
  const std::string background = pixel(0, 767);
  for (int i = 0; i < 9; i++) {
    const int left = 256 * (i % 4), top = 48 + 240 * (i / 4), width = i == 8 ? 512 : 256;
    int inked = 0;
    std::set<std::string> colours;
    for (int y = top + 8; y < top + 240 - 32; y++)  // inside the frame, above the caption
      for (int x = left + 8; x < left + width - 8; x++)
        if (pixel(x, y) != background) inked++, colours.insert(pixel(x, y));
    EXPECT_GT(inked, 300) << panels[i] << " is (nearly) empty";
    EXPECT_TRUE(panels[i].rfind("extruded", 0) != 0 || colours.size() > 100)
        << panels[i] << " does not look lit";
  }
}

TEST(FontshowTest, RefusesAMissingFontAndAWrongCommandLine) {
  EXPECT_EQ(fontshow("'" + ::testing::TempDir() + "no_such_font.glf' --screenshot /dev/null"), 1);
  EXPECT_EQ(fontshow(""), 2);
  EXPECT_EQ(fontshow("'" FONTSHOW_FONT "' --no-such-option"), 2);
}

}  // namespace

// fontshow_test.cpp -- the font showcase in a real window on Xvfb: its screenshot
// mode writes a PNG (read back through ImageMagick) in which every panel has been
// drawn, and it refuses a missing font or a wrong command line.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/game_process.h"

namespace {

// Runs a shell command; its exit status, or -1 if it did not exit normally.
int exitStatusOf(const std::string& command) {
  const int status = std::system(command.c_str());
  return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string fontshow(const std::string& arguments) {
  return std::string("timeout 60 '") + FONTSHOW_BINARY + "' " + arguments + " 2>&1";
}

// An RGB picture decoded from a file by ImageMagick, top row first.
struct Picture {
  int width = 0, height = 0;
  std::string rgb;
  const unsigned char* at(int x, int y) const {
    return reinterpret_cast<const unsigned char*>(&rgb[(size_t(y) * size_t(width) + size_t(x)) * 3]);
  }
};

Picture readPicture(const std::string& path) {
  const std::string ppm = runCommand("convert '" + path + "' -strip -depth 8 ppm:-");
  Picture picture;
  std::istringstream header(ppm);
  std::string magic;
  int maximum = 0;
  header >> magic >> picture.width >> picture.height >> maximum;
  if (magic != "P6" || maximum != 255) return Picture{};
  picture.rgb = ppm.substr(size_t(header.tellg()) + 1);
  if (picture.rgb.size() != size_t(picture.width) * size_t(picture.height) * 3) return Picture{};
  return picture;
}

// Where fontshow puts its panels: a grid of 4 x 3 cells of 256 x 240 pixels below a
// 48-pixel heading; the text console spans the first two cells of the last row.
struct Area {
  const char* panel;
  int left, top, width, height;
};
const Area kPanels[] = {
    {"flat", 0, 48, 256, 240},
    {"outline", 256, 48, 256, 240},
    {"wireframe", 512, 48, 256, 240},
    {"extruded, lit", 768, 48, 256, 240},
    {"flat, contoured", 0, 288, 256, 240},
    {"extruded, contoured", 256, 288, 256, 240},
    {"directions", 512, 288, 256, 240},
    {"centring and rotation", 768, 288, 256, 240},
    {"text console", 0, 528, 512, 240},
};

TEST(FontshowTest, ScreenshotShowsEveryPanel) {
  const std::string shot = ::testing::TempDir() + "fontshow_shot.png";
  std::remove(shot.c_str());
  ASSERT_EQ(exitStatusOf(fontshow("'" FONTSHOW_FONT "' --screenshot '" + shot + "'")), 0);
  Picture picture = readPicture(shot);
  ASSERT_EQ(picture.width, 1024) << "no readable PNG at " << shot;
  ASSERT_EQ(picture.height, 768);

  const unsigned char* background = picture.at(0, 767);
  for (const Area& area : kPanels) {
    // Inside the panel's frame and above its caption: the panel's own drawing.
    int inked = 0;
    std::set<int> colours;
    for (int y = area.top + 8; y < area.top + area.height - 32; y++)
      for (int x = area.left + 8; x < area.left + area.width - 8; x++) {
        const unsigned char* p = picture.at(x, y);
        if (p[0] == background[0] && p[1] == background[1] && p[2] == background[2]) continue;
        inked++;
        colours.insert(p[0] << 16 | p[1] << 8 | p[2]);
      }
    EXPECT_GT(inked, 300) << area.panel << " is (nearly) empty";
    // Lighting shades the solids: far more tones than the flat panels' edges give.
    if (std::string(area.panel).rfind("extruded", 0) == 0) {
      EXPECT_GT(colours.size(), 100u) << area.panel << " does not look lit";
    }
  }
}

TEST(FontshowTest, RefusesAMissingFontAndAWrongCommandLine) {
  const std::string missing = ::testing::TempDir() + "no_such_font.glf";
  EXPECT_EQ(exitStatusOf(fontshow("'" + missing + "' --screenshot /dev/null")), 1);
  EXPECT_EQ(exitStatusOf(fontshow("")), 2);
  EXPECT_EQ(exitStatusOf(fontshow("'" FONTSHOW_FONT "' --no-such-option")), 2);
}

}  // namespace

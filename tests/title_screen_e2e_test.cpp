// title_screen_e2e_test.cpp -- the game's text as a player sees it: the real game
// under Xvfb, screenshots of its window. The title screen shows the title word (in a
// colour that changes), the blinking prompt and the credit line; a round shows the
// clock counting up over its board, and after a crash the next round shows the best
// time over the record board.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tests/support/game_process.h"

namespace {

struct Picture {
  int width = 0, height = 0;
  std::string rgb;  // top row first
  const unsigned char* at(int column, int row) const {
    return reinterpret_cast<const unsigned char*>(&rgb[3 * (size_t(row) * width + column)]);
  }
};

// The game window straight from the X server, through ImageMagick, as RGB bytes.
Picture grab(const GameProcess& game) {
  const std::string ppm =
      runCommand("xwd -silent -id " + game.windowId() + " | convert xwd:- +set comment -depth 8 ppm:-");
  Picture p;
  int maxValue = 0, header = 0;
  if (std::sscanf(ppm.c_str(), "P6 %d %d %d%n", &p.width, &p.height, &maxValue, &header) != 3 ||
      maxValue != 255 || ppm.size() < size_t(header) + 1 + size_t(p.width) * p.height * 3)
    return Picture{};
  p.rgb = ppm.substr(size_t(header) + 1);
  return p;
}

struct Region {
  int left, top, right, bottom;  // pixels, right and bottom excluded
};

// Pixels of a region that pass a test.
template <typename Test>
int countPixels(const Picture& picture, Region region, Test test) {
  int count = 0;
  for (int row = region.top; row < region.bottom; row++)
    for (int column = region.left; column < region.right; column++) count += test(picture.at(column, row));
  return count;
}
bool notBlack(const unsigned char* p) { return p[0] + p[1] + p[2] > 30; }
bool nearlyWhite(const unsigned char* p) { return p[0] > 200 && p[1] > 200 && p[2] > 190; }
bool dark(const unsigned char* p) { return p[0] + p[1] + p[2] < 180; }

// Pixels whose darkness differs between two shots within a region.
int changedPixels(const Picture& a, const Picture& b, Region r) {
  int changed = 0;
  for (int row = r.top; row < r.bottom; row++)
    for (int column = r.left; column < r.right; column++)
      changed += dark(a.at(column, row)) != dark(b.at(column, row));
  return changed;
}

// Where the texts stand in the 1024 x 768 window.
constexpr Region kTitle = {140, 100, 890, 280};
constexpr Region kPrompt = {270, 525, 750, 600};
constexpr Region kCredit = {340, 722, 500, 755};
constexpr Region kClock = {448, 45, 575, 108};  // digits over the time board
constexpr Region kBest = {20, 45, 170, 108};    // digits over the record board
constexpr Region kBackground = {0, 300, 100, 400};

class TitleScreenEndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(game.start("", {"SDL_AUDIODRIVER=dummy"})) << "cannot start the game";
    ASSERT_TRUE(game.waitForWindow("Trelvisk")) << game.output();
    ASSERT_EQ(game.windowSize(), std::make_pair(1024, 768));
  }
  // A shot of the window (xwd leaves out its last column and row), kept as a PNG too
  // when named.
  Picture shot(const std::string& name = "") {
    if (!name.empty()) {
      EXPECT_TRUE(game.screenshot(::testing::TempDir() + "title_screen_" + name + ".png"));
    }
    Picture picture = grab(game);
    EXPECT_TRUE(picture.width >= 1000 && picture.height >= 760) << "cannot read the window";
    return picture.width >= 1000 && picture.height >= 760 ? picture : Picture();
  }
  static bool onTitleScreen(const Picture& p) {
    return p.width && countPixels(p, kBackground, notBlack) == 0;
  }

  GameProcess game;
};

TEST_F(TitleScreenEndToEndTest, ShowsTheTitleTheBlinkingPromptAndTheCredit) {
  usleep(500000);
  // Shot times with and without the prompt: it blinks when it is present in one shot
  // and absent in a shot about half a second later.
  std::vector<double> withPrompt, withoutPrompt;
  auto seenBlink = [&] {
    for (double a : withPrompt)
      for (double b : withoutPrompt)
        if (b - a > 0.4 && b - a < 0.6) return true;
    return false;
  };
  std::set<std::vector<int>> titleColours;
  const double start = monotonicSeconds();
  while (monotonicSeconds() - start < 8.0 && !(seenBlink() && titleColours.size() >= 2)) {
    const double time = monotonicSeconds();
    const Picture p = shot();
    ASSERT_GT(p.width, 0);
    ASSERT_TRUE(onTitleScreen(p));
    EXPECT_GT(countPixels(p, kTitle, notBlack), 5000) << "the title word is missing";
    EXPECT_GT(countPixels(p, kCredit, nearlyWhite), 60) << "the credit line is missing";
    const int promptPixels = countPixels(p, kPrompt, nearlyWhite);
    EXPECT_TRUE(promptPixels > 2000 || promptPixels == 0) << promptPixels;
    (promptPixels > 2000 ? withPrompt : withoutPrompt).push_back(time);
    // The title's colour: the brightest pixel of its middle row.
    std::vector<int> brightest = {0, 0, 0};
    for (int column = kTitle.left; column < kTitle.right; column++) {
      const unsigned char* px = p.at(column, 190);
      if (px[0] + px[1] + px[2] > brightest[0] + brightest[1] + brightest[2])
        brightest = {px[0], px[1], px[2]};
    }
    titleColours.insert(brightest);
    usleep(150000);
  }
  EXPECT_TRUE(seenBlink()) << "no shot without the prompt half a second after one with it, in "
                           << withPrompt.size() + withoutPrompt.size() << " shots";
  EXPECT_GE(titleColours.size(), 2u) << "the title word keeps one colour";
}

TEST_F(TitleScreenEndToEndTest, ShowsTheClockCountingAndTheBestTimeAfterACrash) {
  ASSERT_TRUE(game.key("space"));
  usleep(200000);  // no obstacle is near enough to end the round this soon
  const Picture first = shot("round");
  ASSERT_GT(first.width, 0);
  ASSERT_FALSE(onTitleScreen(first)) << "space did not start a round";
  EXPECT_GT(countPixels(first, kClock, dark), 150) << "no clock over the time board";
  EXPECT_GT(countPixels(first, kBest, dark), 150) << "no best time over the record board";
  EXPECT_EQ(countPixels(first, kPrompt, nearlyWhite), 0);

  // The clock a second later, in a round that lasts that long.
  bool counted = false;
  Picture earlier = first;
  for (int attempt = 0; attempt < 5 && !counted; attempt++) {
    usleep(1000000);
    const Picture later = shot();
    ASSERT_GT(later.width, 0);
    if (!onTitleScreen(later) && !onTitleScreen(earlier)) {
      EXPECT_GT(changedPixels(earlier, later, kClock), 40) << "the clock did not move";
      counted = true;
    } else {
      usleep(1200000);  // the crash pause, then a new round
      ASSERT_TRUE(game.key("space"));
      usleep(200000);
      earlier = shot();
      ASSERT_GT(earlier.width, 0);
    }
  }
  EXPECT_TRUE(counted) << "no round lasted a second";

  // Wait for a crash: the world is random; steer to and fro to sweep the field.
  bool crashed = false;
  const double start = monotonicSeconds();
  for (int step = 0; !crashed && monotonicSeconds() - start < 240; step++) {
    const int button = step % 4 < 2 ? 1 : 3;
    game.mouseDown(button);
    usleep(300000 + 100000 * (step % 7));
    game.mouseUp(button);
    crashed = onTitleScreen(shot());
  }
  ASSERT_TRUE(crashed) << "no crash within four minutes";
  usleep(1200000);
  ASSERT_TRUE(game.key("space"));
  usleep(200000);
  const Picture next = shot("next-round");
  ASSERT_GT(next.width, 0);
  ASSERT_FALSE(onTitleScreen(next));
  EXPECT_GT(changedPixels(first, next, kBest), 40) << "the best time still reads 0.0";
}

}  // namespace

// round_e2e_test.cpp -- a round of the real game in a real window on Xvfb, driven with
// xdotool: the scene that SPACE brings up, the view that steering carries sideways,
// the crash that freezes the game and returns to the title screen, and ESC.
// Screenshots are kept in the test's working folder (round_*.png).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/game_process.h"

namespace {

// A picture as RGB bytes, top row first.
struct Picture {
  int width = 0, height = 0;
  std::string rgb;
  const unsigned char* at(int x, int y) const {
    return reinterpret_cast<const unsigned char*>(rgb.data()) + (size_t(y) * size_t(width) + size_t(x)) * 3;
  }
  bool valid() const { return width > 0 && rgb.size() == size_t(width) * size_t(height) * 3; }
};

// The picture that a shell command ending in ImageMagick's "convert <input>" reads.
Picture pictureFrom(const std::string& command) {
  const std::string ppm = runCommand(command + " +set comment -depth 8 ppm:-");
  Picture p;
  int maxValue = 0, header = 0;
  if (std::sscanf(ppm.c_str(), "P6 %d %d %d%n", &p.width, &p.height, &maxValue, &header) != 3 ||
      maxValue != 255)
    return Picture{};
  p.rgb = ppm.substr(size_t(header) + 1);
  return p;
}

// The game window straight from the X server, without a file in between.
Picture grab(const GameProcess& game) {
  return pictureFrom("xwd -silent -id " + game.windowId() + " | convert xwd:-");
}

bool isBlack(const unsigned char* p) { return p[0] < 12 && p[1] < 12 && p[2] < 12; }

double blackShare(const Picture& p) {
  size_t black = 0;
  for (int y = 0; y < p.height; y++)
    for (int x = 0; x < p.width; x++) black += isBlack(p.at(x, y));
  return double(black) / (double(p.width) * p.height);
}

// The title screen is black but for its text.
bool isTitleScreen(const Picture& p) { return p.valid() && blackShare(p) > 0.8; }

// Distance from the fog colour (217, 217, 166 in bytes).
int fogDistance(const unsigned char* p) {
  return std::abs(p[0] - 217) + std::abs(p[1] - 217) + std::abs(p[2] - 166);
}

void startGame(GameProcess& game) {
  ASSERT_TRUE(game.start());
  ASSERT_TRUE(game.waitForWindow("Trelvisk")) << game.output();
  usleep(500000);
}

// How alike the back wall's rows stay over three shots of a round in motion: 1 is
// still. -1 when there is no round in motion to see (the title screen, or the frozen
// frame of the pause after a crash).
double wallStillness(const GameProcess& game) {
  Picture shots[3];
  for (Picture& shot : shots) {
    shot = grab(game);
    if (!shot.valid() || isTitleScreen(shot)) return -1;
  }
  if (shots[0].rgb == shots[1].rgb || shots[1].rgb == shots[2].rgb) return -1;
  auto alike = [](const Picture& a, const Picture& b) {
    size_t same = 0, all = 0;
    for (int y = 130; y < 260; y++)
      for (int x = 0; x < a.width; x++, all++) same += std::equal(a.at(x, y), a.at(x, y) + 3, b.at(x, y));
    return double(same) / double(all);
  };
  return std::min({alike(shots[0], shots[1]), alike(shots[1], shots[2]), alike(shots[0], shots[2])});
}

}  // namespace

TEST(RoundEndToEndTest, SpaceBringsUpTheFoggedSceneWithBlocksAndEscapeExitsWith255) {
  GameProcess game;
  startGame(game);
  ASSERT_TRUE(game.screenshot("round_title.png"));
  const Picture title = pictureFrom("convert round_title.png");
  ASSERT_TRUE(title.valid());
  EXPECT_TRUE(isTitleScreen(title)) << "black share " << blackShare(title);

  ASSERT_TRUE(game.key("space"));
  usleep(400000);
  ASSERT_TRUE(game.screenshot("round_scene.png"));
  const Picture scene = pictureFrom("convert round_scene.png");
  ASSERT_TRUE(scene.valid());
  EXPECT_LT(blackShare(scene), 0.05) << "the scene covers the clear colour";
  // The upper half is the back wall 110 units away: nearly pure fog.
  for (int x : {100, 300, 700, 950}) EXPECT_LT(fogDistance(scene.at(x, 200)), 40) << "wall at x " << x;
  // The player's block stands in the lower middle, in its own colours, not the fog's.
  const unsigned char* block = scene.at(scene.width / 2, 600);
  EXPECT_GT(fogDistance(block), 60);
  EXPECT_FALSE(isBlack(block));
  // Obstacles stand out of the fog across the view, about the horizon.
  int outOfFog = 0;
  for (int y = 290; y < 420; y++)
    for (int x = 0; x < scene.width; x++) outOfFog += fogDistance(scene.at(x, y)) > 60;
  EXPECT_GT(outOfFog, 500) << "no obstacles to be seen";

  ASSERT_TRUE(game.key("Escape"));
  EXPECT_EQ(game.waitForExit(10), 255) << game.output();
}

TEST(RoundEndToEndTest, HoldingAMouseButtonCarriesTheViewSideways) {
  GameProcess game;
  startGame(game);
  // Going straight, the wall 110 units ahead stands still on the screen; steering
  // carries the view past it. A crash may cut a try short: each reading is kept once
  // made, and SPACE starts another round for the rest.
  double straight = -1, left = -1, right = -1;
  for (int attempt = 0; attempt < 30 && (straight < 0 || left < 0 || right < 0); attempt++) {
    ASSERT_TRUE(game.key("space"));
    usleep(500000);  // upright again after any earlier steering
    if (straight < 0) straight = wallStillness(game);
    for (auto [button, reading] : {std::pair{1, &left}, {3, &right}}) {
      if (*reading >= 0) continue;
      ASSERT_TRUE(game.mouseDown(button));
      usleep(500000);  // well into the turn
      *reading = wallStillness(game);
      ASSERT_TRUE(game.mouseUp(button));
      usleep(500000);
    }
  }
  std::printf("back wall alike from shot to shot: straight %.2f, left %.2f, right %.2f\n", straight, left,
              right);
  ASSERT_TRUE(straight >= 0 && left >= 0 && right >= 0) << "crashes kept cutting the steering short\n"
                                                        << game.output();
  EXPECT_GT(straight, 0.97);
  EXPECT_LT(left, 0.9);
  EXPECT_LT(right, 0.9);
  ASSERT_TRUE(game.key("Escape"));
  EXPECT_EQ(game.waitForExit(10), 255) << game.output();
}

TEST(RoundEndToEndTest, ACrashFreezesTheGameForASecondThenShowsTheTitle) {
  GameProcess game;
  startGame(game);
  ASSERT_TRUE(game.key("space"));
  // Hold still until the block runs into something, watching the window all along.
  struct Shot {
    double time;
    std::string rgb;
  };
  std::vector<Shot> shots;
  const double start = monotonicSeconds();
  bool sawTitle = false;
  while (monotonicSeconds() - start < 90 && !sawTitle) {
    Picture p = grab(game);
    ASSERT_TRUE(p.valid()) << game.output();
    sawTitle = shots.size() > 3 && isTitleScreen(p);
    shots.push_back({monotonicSeconds(), std::move(p.rgb)});
  }
  ASSERT_TRUE(sawTitle) << "no crash within 90 s of holding still";
  // Going back from the title: the frozen frame, the same in every shot, and before
  // it the moving scene. (The frame in which the round ended, finished after the pause,
  // may show for an instant between the two.)
  size_t frozen = shots.size() - 2;
  if (frozen > 0 && shots[frozen - 1].rgb != shots[frozen].rgb) frozen--;
  const std::string& frozenFrame = shots[frozen].rgb;
  while (frozen > 0 && shots[frozen - 1].rgb == frozenFrame) frozen--;
  ASSERT_GT(frozen, 0u) << "the round was never seen moving";
  const double frozenFor = shots.back().time - shots[frozen].time;
  std::printf("crash after %.1f s of play; frozen frame seen for %.2f s before the title\n",
              shots[frozen].time - start, frozenFor);
  EXPECT_GE(frozenFor, 0.7) << "the crash should stop the game for a second";
  EXPECT_LE(frozenFor, 1.5) << "the title should be back about a second after the crash";
  ASSERT_TRUE(game.screenshot("round_after_crash.png"));

  // ESC still ends the program from the title.
  ASSERT_TRUE(game.key("Escape"));
  EXPECT_EQ(game.waitForExit(10), 255) << game.output();
}

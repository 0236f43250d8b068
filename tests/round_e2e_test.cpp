// round_e2e_test.cpp -- a round of the real game in a real window on Xvfb, driven with
// xdotool: the scene that SPACE brings up, the bank that steering gives the player's
// block, the crash that freezes the game and returns to the title screen, and ESC.
// Screenshots are kept in the test's working folder (round_*.png).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/game_process.h"

namespace {

// A picture read back from a screenshot: RGB bytes, top row first.
struct Picture {
  int width = 0, height = 0;
  std::string rgb;
  const unsigned char* at(int x, int y) const {
    return reinterpret_cast<const unsigned char*>(rgb.data()) + (size_t(y) * size_t(width) + size_t(x)) * 3;
  }
  bool valid() const { return width > 0 && rgb.size() == size_t(width) * size_t(height) * 3; }
};

// Parses the binary PPM that ImageMagick writes (which may carry a comment line).
Picture parsePpm(const std::string& ppm) {
  size_t pos = 0;
  auto nextNumber = [&](int& value) {
    while (pos < ppm.size() && (std::isspace(static_cast<unsigned char>(ppm[pos])) || ppm[pos] == '#')) {
      if (ppm[pos] == '#') pos = ppm.find('\n', pos);
      if (pos == std::string::npos) return false;
      pos++;
    }
    if (pos >= ppm.size() || !std::isdigit(static_cast<unsigned char>(ppm[pos]))) return false;
    value = 0;
    while (pos < ppm.size() && std::isdigit(static_cast<unsigned char>(ppm[pos])))
      value = value * 10 + (ppm[pos++] - '0');
    return true;
  };
  Picture p;
  int maxValue = 0;
  if (ppm.compare(0, 2, "P6") != 0) return Picture{};
  pos = 2;
  if (!nextNumber(p.width) || !nextNumber(p.height) || !nextNumber(maxValue) || maxValue != 255)
    return Picture{};
  p.rgb = ppm.substr(pos + 1);
  return p;
}

Picture readPng(const std::string& path) { return parsePpm(runCommand("convert '" + path + "' ppm:-")); }

// The game window straight from the X server, without a file in between.
Picture grab(const GameProcess& game) {
  return parsePpm(runCommand("xwd -silent -id " + game.windowId() + " | convert xwd:- ppm:-"));
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

int distance(const unsigned char* p, int r, int g, int b) {
  return std::abs(p[0] - r) + std::abs(p[1] - g) + std::abs(p[2] - b);
}

const int FOG[3] = {217, 217, 166};  // the fog colour in bytes

void startGame(GameProcess& game) {
  // The pictures checked below are those of the game's own textures.
  for (const char* file : {"terrain_texture.bmp", "wallpaper.bmp", "c_1.bmp", "BG_Time.bmp"}) {
    const std::string path = std::string(ZARNOK_ASSET_DIR) + "/" + file;
    ASSERT_EQ(access(path.c_str(), R_OK), 0) << path << " is missing: build the assets first";
  }
  ASSERT_TRUE(game.start());
  ASSERT_TRUE(game.waitForWindow("Trelvisk")) << game.output();
  usleep(500000);
}

// The share of pixels in rows [top, bottom) that two shots have alike.
double stillShare(const Picture& a, const Picture& b, int top, int bottom) {
  size_t same = 0, all = 0;
  for (int y = top; y < bottom; y++)
    for (int x = 0; x < a.width; x++, all++) same += std::equal(a.at(x, y), a.at(x, y) + 3, b.at(x, y));
  return double(same) / double(all);
}

// The player's block, found as what stays put over three shots in the lower middle of
// the window, apart from the fog-coloured ground: its pixels, or none while the block
// still moves on the screen (banking) or is not there (the title screen).
std::vector<std::pair<int, int>> stillBlock(const Picture (&shots)[3]) {
  const int left = shots[0].width / 2 - 240, right = shots[0].width / 2 + 240;
  const int top = shots[0].height / 2 + 40, bottom = shots[0].height - 45;  // above the credit line
  std::vector<std::pair<int, int>> block;
  for (int y = top; y < bottom; y++)
    for (int x = left; x < right; x++) {
      const unsigned char* p = shots[0].at(x, y);
      bool still = true;
      for (int i = 1; i < 3; i++)
        for (int c = 0; c < 3; c++) still = still && shots[i].at(x, y)[c] == p[c];
      if (still && distance(p, FOG[0], FOG[1], FOG[2]) > 40) block.push_back({x, y});
    }
  return block;
}

// How much the player's block leans on the screen once it has settled, in pixels from
// the middle of its lower third to the middle of its upper third (negative: leaning
// left). False if it does not settle within a few seconds or the round ends.
bool blockLean(const GameProcess& game, double& lean, double* wallStill = nullptr) {
  Picture shots[3];
  const double end = monotonicSeconds() + 8;
  bool haveFirst = false;
  double first = 0, firstTime = 0;
  while (monotonicSeconds() < end) {
    shots[0] = std::move(shots[1]);
    shots[1] = std::move(shots[2]);
    shots[2] = grab(game);
    if (!shots[2].valid() || isTitleScreen(shots[2])) return false;
    // A frame that stands still as a whole is the pause after a crash, not a round.
    if (!shots[0].valid() || shots[0].rgb == shots[1].rgb || shots[1].rgb == shots[2].rgb) continue;
    auto block = stillBlock(shots);
    if (block.size() < 8000) continue;
    int minY = shots[0].height, maxY = 0;
    for (auto [x, y] : block) minY = std::min(minY, y), maxY = std::max(maxY, y);
    const int third = (maxY - minY) / 3;
    double upperSum = 0, lowerSum = 0;
    int upper = 0, lower = 0;
    for (auto [x, y] : block) {
      if (y < minY + third) upperSum += x, upper++;
      if (y > maxY - third) lowerSum += x, lower++;
    }
    if (upper == 0 || lower == 0) continue;
    // Settled: the same lean again a while later (a loaded machine can stall the game
    // for a few shots in the middle of a bank).
    const double now = monotonicSeconds(), measured = upperSum / upper - lowerSum / lower;
    if (haveFirst && now - firstTime > 0.3 && std::abs(measured - first) < 2) {
      lean = measured;
      if (wallStill)
        *wallStill =
            std::min({stillShare(shots[0], shots[1], 130, 260), stillShare(shots[1], shots[2], 130, 260),
                      stillShare(shots[0], shots[2], 130, 260)});
      return true;
    }
    if (!haveFirst || std::abs(measured - first) >= 2) first = measured, firstTime = now, haveFirst = true;
  }
  return false;
}

}  // namespace

TEST(RoundEndToEndTest, SpaceBringsUpTheFoggedSceneWithBlocks) {
  GameProcess game;
  startGame(game);
  ASSERT_TRUE(game.screenshot("round_title.png"));
  Picture title = readPng("round_title.png");
  ASSERT_TRUE(title.valid());
  EXPECT_TRUE(isTitleScreen(title)) << "black share " << blackShare(title);

  ASSERT_TRUE(game.key("space"));
  usleep(400000);
  ASSERT_TRUE(game.screenshot("round_scene.png"));
  Picture scene = readPng("round_scene.png");
  ASSERT_TRUE(scene.valid());
  EXPECT_LT(blackShare(scene), 0.05) << "the scene covers the clear colour";
  // The upper half is the back wall 110 units away: nearly pure fog.
  for (int x : {100, 300, 700, 950}) {
    EXPECT_LT(distance(scene.at(x, 200), FOG[0], FOG[1], FOG[2]), 40) << "wall at x " << x;
  }
  // The player's block stands in the lower middle, in its own colours, not the fog's.
  const unsigned char* block = scene.at(scene.width / 2, 600);
  EXPECT_GT(distance(block, FOG[0], FOG[1], FOG[2]), 60);
  EXPECT_FALSE(isBlack(block));
  // Obstacles stand out of the fog across the view, about the horizon.
  int outOfFog = 0;
  for (int y = 290; y < 420; y++)
    for (int x = 0; x < scene.width; x++) outOfFog += distance(scene.at(x, y), FOG[0], FOG[1], FOG[2]) > 60;
  EXPECT_GT(outOfFog, 500) << "no obstacles to be seen";

  ASSERT_TRUE(game.key("Escape"));
  EXPECT_EQ(game.waitForExit(10), 255) << game.output();
}

TEST(RoundEndToEndTest, MouseButtonsBankTheBlockAndTheViewToEitherSide) {
  GameProcess game;
  startGame(game);
  // A crash may cut a try short: each reading is kept once made, and SPACE starts
  // another round for the rest.
  double straight = 0, leftLean = 0, rightLean = 0;
  double wallStraight = 0, wallLeft = 0, wallRight = 0;  // how still the back wall stands
  bool haveStraight = false, haveLeft = false, haveRight = false;
  for (int attempt = 0; attempt < 10 && !(haveStraight && haveLeft && haveRight); attempt++) {
    ASSERT_TRUE(game.key("space"));
    usleep(200000);
    if (!haveStraight && !(haveStraight = blockLean(game, straight, &wallStraight))) continue;
    if (!haveLeft) {
      ASSERT_TRUE(game.mouseDown(1));  // left
      haveLeft = blockLean(game, leftLean, &wallLeft);
      ASSERT_TRUE(game.screenshot("round_steer_left.png"));
      ASSERT_TRUE(game.mouseUp(1));
      if (!haveLeft) continue;
    }
    // Upright again before the other side: a bank held at its full 36 degrees stays
    // there until a tick without a button brings it back.
    double released = 0;
    if (!blockLean(game, released)) continue;
    EXPECT_LT(std::abs(released), 12) << "after letting go of the left button";
    ASSERT_TRUE(game.mouseDown(3));  // right
    haveRight = blockLean(game, rightLean, &wallRight);
    ASSERT_TRUE(game.screenshot("round_steer_right.png"));
    ASSERT_TRUE(game.mouseUp(3));
  }
  ASSERT_TRUE(haveStraight && haveLeft && haveRight) << "crashes kept cutting the steering short\n"
                                                     << game.output();
  std::printf("block lean on screen: upright %.1f px, left button %.1f px, right button %.1f px\n", straight,
              leftLean, rightLean);
  std::printf("back wall alike from shot to shot: upright %.2f, left %.2f, right %.2f\n", wallStraight,
              wallLeft, wallRight);
  EXPECT_LT(std::abs(straight), 12) << "upright block leans " << straight;
  // Going straight, the wall 110 units ahead stands still on the screen; steering
  // carries the view sideways past it.
  EXPECT_GT(wallStraight, 0.97);
  EXPECT_LT(wallLeft, 0.9);
  EXPECT_LT(wallRight, 0.9);
  // The block banks into the turn further than the camera rolls: it leans toward the
  // side it is steered to.
  EXPECT_LT(leftLean, -25) << "left button";
  EXPECT_GT(rightLean, 25) << "right button";

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
    bool title;
  };
  std::vector<Shot> shots;
  const double start = monotonicSeconds();
  bool sawTitle = false;
  while (monotonicSeconds() - start < 90 && !sawTitle) {
    Picture p = grab(game);
    ASSERT_TRUE(p.valid()) << game.output();
    sawTitle = shots.size() > 3 && isTitleScreen(p);
    shots.push_back({monotonicSeconds(), std::move(p.rgb), sawTitle});
  }
  ASSERT_TRUE(sawTitle) << "no crash within 90 s of holding still";
  // Going back from the title: the frozen frame, the same in every shot, and before
  // it the moving scene.
  // (The frame in which the round ended, finished after the pause, may show for an
  // instant between the two.)
  size_t frozen = shots.size() - 2;
  if (frozen > 0 && shots[frozen - 1].rgb != shots[frozen].rgb) frozen--;
  const std::string& frozenFrame = shots[frozen].rgb;
  while (frozen > 0 && shots[frozen - 1].rgb == frozenFrame) frozen--;
  ASSERT_GT(frozen, 0u) << "the round was never seen moving";
  const double frozenFor = shots.back().time - shots[frozen].time;
  EXPECT_GE(frozenFor, 0.7) << "the crash should stop the game for a second";
  EXPECT_LE(frozenFor, 1.5) << "the title should be back about a second after the crash";
  std::printf("crash after %.1f s of play; frozen frame seen for %.2f s before the title\n",
              shots[frozen].time - start, frozenFor);

  // Save the frozen frame and the title for a look.
  std::FILE* f = std::fopen("round_crash.ppm", "wb");
  if (f) {
    Picture size = grab(game);
    std::fprintf(f, "P6 %d %d 255\n", size.width, size.height);
    std::fwrite(shots[frozen].rgb.data(), 1, shots[frozen].rgb.size(), f);
    std::fclose(f);
    std::system("convert round_crash.ppm round_crash.png && rm -f round_crash.ppm");
  }
  ASSERT_TRUE(game.screenshot("round_after_crash.png"));

  // ESC still ends the program from the title.
  ASSERT_TRUE(game.key("Escape"));
  EXPECT_EQ(game.waitForExit(10), 255) << game.output();
}

TEST(RoundEndToEndTest, EscapeEndsARoundAndTheProgramWith255) {
  GameProcess game;
  startGame(game);
  ASSERT_TRUE(game.key("space"));
  usleep(300000);
  ASSERT_TRUE(game.running());
  ASSERT_TRUE(game.key("Escape"));
  EXPECT_EQ(game.waitForExit(10), 255) << game.output();
}

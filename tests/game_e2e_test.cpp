// game_e2e_test.cpp -- the real game binary on Xvfb, driven with xdotool: its window
// and the ways it ends, and a round that ends in a crash and back on the title screen.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include "tests/support/game_process.h"

TEST(GameEndToEndTest, WindowFullScreenAndExitStatuses) {
  {
    GameProcess game;
    ASSERT_TRUE(game.waitForWindow()) << "no window titled Trelvisk\n" << game.output();
    EXPECT_EQ(game.windowSize(), std::make_pair(1024, 768));
    EXPECT_EQ(rasterThreadCpus(game.pid()).substr(0, 26), "llvmpipe-0:0 llvmpipe-1:1 ") << "raster threads";
    for (auto size : {std::make_pair(1280, 1024), std::make_pair(1024, 768)}) {  // the screen, then back
      game.send("key F11");
      EXPECT_TRUE(game.waitUntil([&] { return game.windowSize() == size; }, 10)) << size.first;
    }
    game.send("key Escape");
    EXPECT_EQ(game.waitForExit(), 255) << game.output();
  }
  {
    GameProcess game;
    ASSERT_TRUE(game.waitForWindow());
    ASSERT_TRUE(game.waitUntil([&] { return !game.frames().empty(); }));
    ASSERT_TRUE(game.closeWindow());
    EXPECT_EQ(game.waitForExit(), 0) << "closing the window ends the main loop\n" << game.output();
  }
}

// The field is made from the unseeded rand, so the same on every run. Holding still, a
// round started within the first 600 frames of the title screen always ends in a crash
// within 600 frames (worked out from the field for every such start).
TEST(GameEndToEndTest, HoldingStillARoundCrashesBackToTheTitle) {
  GameProcess game;
  ASSERT_TRUE(game.waitForWindow()) << game.output();
  ASSERT_TRUE(game.waitUntil([&] { return game.frames().size() >= 10; })) << game.output();
  game.send("key space");
  std::vector<Frame> f;
  const auto roundEnded = [&] {
    f = game.frames();
    auto round = std::find_if(f.begin(), f.end(), [](const Frame& x) { return x.playing; });
    return round != f.end() &&
           std::find_if(round, f.end(), [](const Frame& x) { return !x.playing; }) != f.end();
  };
  ASSERT_TRUE(game.waitUntil(roundEnded)) << "the round never ended\n" << game.output();
  game.send("key Escape");
  game.waitForExit();
  const size_t title =
      size_t(std::find_if(f.begin(), f.end(), [](const Frame& x) { return x.playing; }) - f.begin());
  const size_t crash =
      size_t(std::find_if(f.begin() + long(title), f.end(), [](const Frame& x) { return !x.playing; }) -
             f.begin()) -
      1;
  ASSERT_LE(title, 600u) << "space came too late for the known crash";
  EXPECT_LE(crash - title, 600u);
  EXPECT_GE(f[crash].endNs - f[crash].startNs, 1000000000) << "the crash frame holds the one-second pause";
}

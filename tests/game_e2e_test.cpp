// game_e2e_test.cpp -- the real game binary in a real window on Xvfb: its window,
// the ways it ends, and that it survives the inputs a player gives it.
#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/support/game_process.h"

TEST(GameEndToEndTest, OpensItsWindowAndEscapeExitsWith255) {
  GameProcess game;
  ASSERT_TRUE(game.start());
  ASSERT_TRUE(game.waitForWindow("Trelvisk")) << "no window titled Trelvisk\n" << game.output();
  auto size = game.windowSize();
  EXPECT_EQ(size.first, 1024);
  EXPECT_EQ(size.second, 768);
  ASSERT_TRUE(game.key("Escape"));
  EXPECT_EQ(game.waitForExit(10), 255) << game.output();
}

TEST(GameEndToEndTest, ClosingTheWindowCleansUpAndExitsWith0) {
  GameProcess game;
  ASSERT_TRUE(game.start());
  ASSERT_TRUE(game.waitForWindow("Trelvisk")) << game.output();
  usleep(300000);
  ASSERT_TRUE(game.closeWindow());
  EXPECT_EQ(game.waitForExit(10), 0) << game.output();
}

TEST(GameEndToEndTest, SurvivesSpaceAndMouseButtons) {
  GameProcess game;
  ASSERT_TRUE(game.start());
  ASSERT_TRUE(game.waitForWindow("Trelvisk")) << game.output();
  for (int round = 0; round < 3; round++) {
    EXPECT_TRUE(game.key("space"));
    EXPECT_TRUE(game.mouseDown(1));
    usleep(150000);
    EXPECT_TRUE(game.mouseDown(3));
    usleep(150000);
    EXPECT_TRUE(game.mouseUp(3));
    EXPECT_TRUE(game.mouseUp(1));
    EXPECT_TRUE(game.mouseDown(2));
    EXPECT_TRUE(game.mouseUp(2));
    EXPECT_TRUE(game.key("a"));
  }
  usleep(300000);
  EXPECT_TRUE(game.running()) << game.output();
  ASSERT_TRUE(game.key("Escape"));
  EXPECT_EQ(game.waitForExit(10), 255) << game.output();
}

TEST(GameEndToEndTest, F11TogglesFullScreenAndBack) {
  GameProcess game;
  ASSERT_TRUE(game.start());
  ASSERT_TRUE(game.waitForWindow("Trelvisk")) << game.output();
  ASSERT_TRUE(game.key("F11"));
  // The private Xvfb screen is 1280 x 1024.
  std::pair<int, int> size;
  for (int i = 0; i < 50 && (size = game.windowSize()).first != 1280; i++) usleep(100000);
  EXPECT_EQ(size, std::make_pair(1280, 1024));
  ASSERT_TRUE(game.key("F11"));
  for (int i = 0; i < 50 && (size = game.windowSize()).first != 1024; i++) usleep(100000);
  EXPECT_EQ(size, std::make_pair(1024, 768));
  EXPECT_TRUE(game.running()) << game.output();
  ASSERT_TRUE(game.key("Escape"));
  EXPECT_EQ(game.waitForExit(10), 255) << game.output();
}

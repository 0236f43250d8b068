// game_fixture.h -- test support for the game logic: a fixture that puts every game
// variable back to its value at load, gives the game a real GLUT window (so the
// callbacks' GLUT and GL calls work), the obstacle field as start-up makes it, and a
// sound player that was never started (its calls then have no effect).
#pragma once

#include <gtest/gtest.h>

#include "game/game_state.h"
#include "game/obstacle_field.h"
#include "sound/sound_player.h"
#include "tests/support/glut_window.h"

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(ensureGlutWindow(), "") << "cannot open a GLUT window";
    restoreInitialGameState();
    createObstacles();
    soundPlayer = new SoundPlayer();
  }
  void TearDown() override { shutdownGame(); }

  // Runs n idle ticks' worth of steering and motion (without the 60 Hz wait).
  static void steerTicks(int n) {
    for (int i = 0; i < n; i++) steer();
  }
};

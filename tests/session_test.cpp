// session_test.cpp -- the session: clock and prompt blinking, the keys, reshape.
#include <GL/glu.h>

#include <cmath>

#include "tests/support/game_fixture.h"

using SessionTest = GameTest;

TEST_F(SessionTest, ClockRunsOnTitleAndInRoundPromptBlinksOnlyOnTitle) {
  // The prompt toggles on the 5th, 10th, 15th tick of the title screen.
  std::vector<bool> seen;
  for (int tick = 1; tick <= 15; tick++) {
    timerTick(0);
    seen.push_back(promptVisible);
  }
  for (int tick = 1; tick <= 15; tick++) {
    bool expected = ((tick / 5) % 2) == 0;
    EXPECT_EQ(seen[size_t(tick - 1)], expected) << "tick " << tick;
  }
  EXPECT_EQ(blinkTicks, 0);
  EXPECT_NEAR(elapsedTime, 1.5f, 1e-5);

  // During a round the clock goes on, the blink count is frozen.
  timerTick(0);
  timerTick(0);
  EXPECT_EQ(blinkTicks, 2);
  isPlaying = true;
  bool prompt = promptVisible;
  float before = elapsedTime;
  for (int i = 0; i < 7; i++) timerTick(0);
  EXPECT_EQ(blinkTicks, 2);
  EXPECT_EQ(promptVisible, prompt);
  // Seven single-precision additions of 0.1, exactly as the clock does them.
  float expected = before;
  for (int i = 0; i < 7; i++) expected += 0.1f;
  EXPECT_EQ(elapsedTime, expected);

  // Back on the title screen the count resumes where it stopped: 3 more to toggle.
  isPlaying = false;
  timerTick(0);
  timerTick(0);
  EXPECT_EQ(promptVisible, prompt);
  timerTick(0);
  EXPECT_EQ(promptVisible, !prompt);
  EXPECT_EQ(blinkTicks, 0);
}

TEST_F(SessionTest, SpaceStartsARoundAndRestartsItsClock) {
  elapsedTime = 7.3f;
  soundPlayer->musicMode = 0;
  keyPressed(' ', 10, 20);
  EXPECT_TRUE(isPlaying);
  EXPECT_EQ(soundPlayer->musicMode, 1);
  EXPECT_EQ(elapsedTime, 0.0f);

  // During a round SPACE restarts the clock and the round goes on.
  elapsedTime = 12.5f;
  playerPos.x = 9.0f;
  keyPressed(' ', 0, 0);
  EXPECT_TRUE(isPlaying);
  EXPECT_EQ(elapsedTime, 0.0f);
  EXPECT_EQ(playerPos.x, 9.0f);
}

TEST_F(SessionTest, OtherKeysChangeNothing) {
  elapsedTime = 3.2f;
  const unsigned char keys[] = {'a', 'q', '\r', '\t', 200};
  for (unsigned char key : keys) {
    keyPressed(key, 0, 0);
  }
  EXPECT_FALSE(isPlaying);
  EXPECT_EQ(elapsedTime, 3.2f);
  EXPECT_EQ(soundPlayer->musicMode, 0);
  isPlaying = true;
  keyPressed('x', 0, 0);
  EXPECT_TRUE(isPlaying);
}

TEST(SessionDeathTest, EscapeEndsTheProcessWithMinusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        isPlaying = true;
        keyPressed(27, 0, 0);
      },
      ::testing::ExitedWithCode(255), "");
  EXPECT_EXIT(keyPressed(27, 0, 0), ::testing::ExitedWithCode(255), "");
}

TEST_F(SessionTest, ReshapeSetsViewportAndProjectionAndAdvancesOnce) {
  glMatrixMode(GL_MODELVIEW);
  reshapeWindow(800, 600);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 800);
  EXPECT_EQ(viewport[3], 600);
  GLint mode;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);

  GLdouble projection[16], expected[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluPerspective(60.0, 800.0 / 600.0, 0.1, 500.0);
  glGetDoublev(GL_PROJECTION_MATRIX, expected);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  for (int i = 0; i < 16; i++) EXPECT_NEAR(projection[i], expected[i], 1e-6) << i;

  // One forward step, and the camera placed behind the player.
  EXPECT_FLOAT_EQ(playerPos.z, 2.9f - 1.2f);
  EXPECT_EQ(cameraEye.z, playerPos.z);
  EXPECT_EQ(cameraCenter.z, playerPos.z - 25);
}

TEST_F(SessionTest, ReshapeToHeightZeroChangesNothing) {
  reshapeWindow(640, 480);
  GLint before[4];
  glGetIntegerv(GL_VIEWPORT, before);
  GLdouble projectionBefore[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projectionBefore);
  Vec3 pos = playerPos, eye = cameraEye;

  reshapeWindow(1024, 0);

  GLint after[4];
  glGetIntegerv(GL_VIEWPORT, after);
  for (int i = 0; i < 4; i++) EXPECT_EQ(after[i], before[i]);
  GLdouble projectionAfter[16];
  glGetDoublev(GL_PROJECTION_MATRIX, projectionAfter);
  for (int i = 0; i < 16; i++) EXPECT_EQ(projectionAfter[i], projectionBefore[i]);
  EXPECT_EQ(playerPos.z, pos.z);
  EXPECT_EQ(cameraEye.z, eye.z);
}

// steering_test.cpp -- the mouse state machine, the steering bands and dead zones,
// the release sequences, the forward motion and its wrap, the camera follow.
#include <GL/freeglut.h>

#include "tests/support/game_fixture.h"

using SteeringTest = GameTest;

TEST_F(SteeringTest, MouseButtonsPressSwitchAndRelease) {
  mouseButton(0, 0, 5, 5);  // left down
  EXPECT_EQ(buttonState, 0);
  EXPECT_EQ(steerButton, 0);
  mouseButton(2, 0, 5, 5);  // right down while left held: steers right at once
  EXPECT_EQ(buttonState, 0);
  EXPECT_EQ(steerButton, 2);
  mouseButton(0, 1, 5, 5);  // left up: any release stops the steering
  EXPECT_EQ(buttonState, -1);
  EXPECT_EQ(steerButton, -1);
  mouseButton(2, 0, 5, 5);
  mouseButton(1, 0, 5, 5);  // middle press stops it too
  EXPECT_EQ(buttonState, -1);
  EXPECT_EQ(steerButton, -1);
  mouseButton(0, 0, 5, 5);
  mouseButton(3, 0, 5, 5);  // wheel
  EXPECT_EQ(buttonState, -1);
}

TEST_F(SteeringTest, NothingSteersOnTheTitleScreen) {
  mouseButton(0, 0, 0, 0);
  steerTicks(10);
  EXPECT_EQ(playerPos.x, 0.0f);
  EXPECT_EQ(playerRoll, 0.0f);
  EXPECT_EQ(cameraUp.x, 0.0f);
  // A press on the title screen steers from the round's first tick.
  isPlaying = true;
  steerTicks(1);
  EXPECT_FLOAT_EQ(playerPos.x, -0.6f);
  EXPECT_EQ(playerRoll, 3.0f);
}

TEST_F(SteeringTest, RightHoldMeetsTheSoftWallAt40) {
  isPlaying = true;
  mouseButton(2, 0, 0, 0);
  steerTicks(67);
  EXPECT_NEAR(playerPos.x, 40.2f, 1e-3);
  // The wall pushes back whichever button is held, then the band lets it out again.
  steerTicks(1);
  EXPECT_NEAR(playerPos.x, 39.6f, 1e-3);
  steerTicks(1);
  EXPECT_NEAR(playerPos.x, 40.2f, 1e-3);
  mouseButton(0, 0, 0, 0);  // left while beyond the wall: still pushed back in
  float x = playerPos.x;
  steerTicks(1);
  EXPECT_FLOAT_EQ(playerPos.x, x - 0.6f);
}

TEST_F(SteeringTest, LeftHoldBanksTo36AndRollsCameraTo032) {
  isPlaying = true;
  mouseButton(0, 0, 0, 0);
  steerTicks(12);
  EXPECT_EQ(playerRoll, 36.0f);
  steerTicks(10);
  EXPECT_EQ(playerRoll, 36.0f);  // outside the band: kept
  EXPECT_NEAR(cameraUp.x, -0.32f, 1e-5);
  EXPECT_NEAR(playerPos.x, -22 * 0.6f, 1e-3);

  // Switching to the right while banked at 36 leaves the bank where it is.
  mouseButton(2, 0, 0, 0);
  steerTicks(1);
  EXPECT_EQ(playerRoll, 36.0f);
}

TEST_F(SteeringTest, ReleaseBringsBankAndCameraBackUpright) {
  isPlaying = true;
  mouseButton(2, 0, 0, 0);
  steerTicks(16);
  EXPECT_NEAR(cameraUp.x, 0.32f, 1e-5);
  EXPECT_EQ(playerRoll, -36.0f);
  const float x = playerPos.x;
  mouseButton(2, 1, 0, 0);
  std::vector<float> rolls;
  for (int i = 0; i < 12; i++) {
    steer();
    rolls.push_back(playerRoll);
  }
  for (int i = 0; i < 12; i++) EXPECT_EQ(rolls[size_t(i)], -33.0f + 3.0f * float(i)) << i;
  EXPECT_EQ(playerPos.x, x);  // the lateral place is never centred
  // The camera: 15 ticks down by 0.02 to 0.02, which lies in the dead zone: 0 on the 16th.
  cameraUp.x = 0.32f;
  steerTicks(15);
  EXPECT_NEAR(cameraUp.x, 0.02f, 1e-5);
  EXPECT_NE(cameraUp.x, 0.0f);
  steerTicks(1);
  EXPECT_EQ(cameraUp.x, 0.0f);
}

TEST_F(SteeringTest, ReleaseDeadZonesIncludeTheirEnds) {
  isPlaying = true;
  buttonState = -1;
  playerRoll = 2.0f;
  cameraUp.x = -0.03f;
  steer();
  EXPECT_EQ(playerRoll, 0.0f);
  EXPECT_EQ(cameraUp.x, 0.0f);
  playerRoll = -5.0f;
  cameraUp.x = 0.05f;
  steer();
  EXPECT_EQ(playerRoll, -2.0f);
  EXPECT_NEAR(cameraUp.x, 0.03f, 1e-6);
}

TEST_F(SteeringTest, AdvanceMovesForwardAndWrapsAtMinus120) {
  playerPos = {5.0f, 4.0f, 3.0f};
  int steps = 0;
  while (playerPos.z > -120.0f) {
    advance();
    steps++;
  }
  EXPECT_EQ(steps, 103);
  EXPECT_NEAR(playerPos.z, -120.6f, 1e-3);
  advance();  // the 104th tick wraps
  EXPECT_EQ(playerPos.z, 3.0f);

  playerPos.z = -120.0f;  // exactly -120 counts as reached
  advance();
  EXPECT_EQ(playerPos.z, 3.0f);

  playerPos.z = -119.9f;
  advance();
  EXPECT_FLOAT_EQ(playerPos.z, -121.1f);
}

TEST_F(SteeringTest, CameraFollowsThePlayerInBothStates) {
  cameraUp.x = 0.12f;
  playerPos = {-7.5f, 4.0f, 10.0f};
  advance();
  EXPECT_EQ(cameraEye.x, -7.5f);
  EXPECT_EQ(cameraEye.y, 4.0f);
  EXPECT_EQ(cameraEye.z, playerPos.z);
  EXPECT_EQ(cameraCenter.x, -7.5f);
  EXPECT_EQ(cameraCenter.y, 0.0f);
  EXPECT_EQ(cameraCenter.z, playerPos.z - 25);
  EXPECT_EQ(cameraUp.x, 0.12f);  // not touched by the follow
  EXPECT_EQ(cameraUp.y, 1.0f);
}

TEST_F(SteeringTest, ArrowKeysSteerLikeTheMouseButtons) {
  isPlaying = true;
  specialKeyPressed(GLUT_KEY_LEFT, 0, 0);
  EXPECT_EQ(buttonState, 0);
  EXPECT_EQ(steerButton, 0);
  steerTicks(2);
  EXPECT_FLOAT_EQ(playerPos.x, -1.2f);
  specialKeyPressed(GLUT_KEY_RIGHT, 0, 0);  // right while left held: steers right
  EXPECT_EQ(steerButton, 2);
  specialKeyReleased(GLUT_KEY_LEFT, 0, 0);  // any release ends the steering
  EXPECT_EQ(buttonState, -1);
  EXPECT_EQ(steerButton, -1);
  specialKeyPressed(GLUT_KEY_RIGHT, 0, 0);
  specialKeyReleased(GLUT_KEY_RIGHT, 0, 0);
  EXPECT_EQ(buttonState, -1);
  specialKeyPressed(GLUT_KEY_UP, 0, 0);  // other special keys leave the steering alone
  EXPECT_EQ(buttonState, -1);
}

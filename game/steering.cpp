// steering.cpp -- the player's steering with the two mouse buttons (lateral motion,
// the block's bank and the camera's roll) and the forward motion with the wrap at
// the far end of the track and the camera follow.
#include <GL/freeglut.h>

#include "game/game_state.h"
#include "game/obstacle_field.h"
#include "sound/sound_player.h"

void mouseButton(int button, int state, int, int) {
  if (button == 0 && state == 0) {
    buttonState = 0;
    steerButton = 0;
  } else if (button == 2 && state == 0) {
    buttonState = 0;
    steerButton = 2;
  } else {
    buttonState = -1;
    steerButton = -1;
  }
  requestRedisplay();
}

// One tick with a steering button held.
static void steerHeld() {
  soundPlayer->loadEffect("sounds\\move.wav");
  soundPlayer->playEffect(0);

  const bool left = steerButton == 0;
  const bool right = steerButton == 2;

  if (double(cameraUp.x) > -0.3 && double(cameraUp.x) < 0.3) {
    if (left) cameraUp.x -= cameraRollStep;
    if (right) cameraUp.x += cameraRollStep;
  }

  if (double(playerPos.x) > -40 && double(playerPos.x) < 40) {
    if (left) playerPos.x -= steerStep;
    if (right) playerPos.x += steerStep;
  } else if (double(playerPos.x) < -40) {
    playerPos.x += steerStep;
  } else if (double(playerPos.x) > 40) {
    playerPos.x -= steerStep;
  }

  if (double(playerRoll) > -35 && double(playerRoll) < 35) {
    if (left) playerRoll += rollStep;
    if (right) playerRoll -= rollStep;
  }
}

// One tick with no steering button held: the bank and the roll come back upright.
static void steerReleased() {
  if (double(playerRoll) >= -2 && double(playerRoll) <= 2) {
    playerRoll = 0.0f;
  } else if (playerRoll > 0) {
    playerRoll -= rollStep;
  } else {
    playerRoll += rollStep;
  }

  if (double(cameraUp.x) >= -0.03 && double(cameraUp.x) <= 0.03) {
    cameraUp.x = 0.0f;
  } else if (cameraUp.x > 0) {
    cameraUp.x -= cameraRollStep;
  } else {
    cameraUp.x += cameraRollStep;
  }
}

void steer() {
  if (!isPlaying) return;
  if (buttonState == 0) {
    steerHeld();
  } else {
    steerReleased();
  }
}

void advance() {
  if (double(playerPos.z) > double(trackFarZ) + double(viewDepth)) {
    playerPos.z -= forwardStep;
  } else {
    // Jump back to the start; the field moves along by the jump plus one step.
    playerPos.z = 3.0f;
    for (int32_t i = 0; i < OBSTACLE_COUNT; i++) placeObstacle(obstacles[i], i);
  }
  cameraEye = {playerPos.x, playerPos.y, playerPos.z};
  cameraCenter = {playerPos.x, 0.0f, playerPos.z - 25};
}

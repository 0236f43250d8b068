// game_state.cpp -- the global variables of the game, with their values at load.
#include "game/game_state.h"

bool isPlaying = false;
bool promptVisible = true;
int32_t blinkTicks = 0;
float elapsedTime = 0.0f;
float bestTime = 0.0f;

Vec3 playerPos = {0.0f, 4.0f, 2.9f};
float playerRoll = 0.0f;
int32_t steerButton = 0;
int32_t buttonState = 1;
Vec3 cameraEye = {0.0f, 0.0f, -5.0f};
Vec3 cameraCenter = {0.0f, 0.0f, 0.0f};
Vec3 cameraUp = {0.0f, 1.0f, 0.0f};

float forwardStep = 1.2f;
float steerStep = 0.6f;
float rollStep = 3.0f;
float cameraRollStep = 0.02f;
float viewDepth = 130.0f;
int32_t trackHalfWidth = 140;
int32_t trackNearZ = 10;
int32_t trackFarZ = -250;
float hitRadius = 0.5f;

Obstacle* obstacles[OBSTACLE_COUNT] = {};
SoundPlayer* soundPlayer = nullptr;

void restoreInitialGameState() {
  isPlaying = false;
  promptVisible = true;
  blinkTicks = 0;
  elapsedTime = 0.0f;
  bestTime = 0.0f;
  playerPos = {0.0f, 4.0f, 2.9f};
  playerRoll = 0.0f;
  steerButton = 0;
  buttonState = 1;
  cameraEye = {0.0f, 0.0f, -5.0f};
  cameraCenter = {0.0f, 0.0f, 0.0f};
  cameraUp = {0.0f, 1.0f, 0.0f};
  for (Obstacle*& o : obstacles) o = nullptr;
  soundPlayer = nullptr;
}

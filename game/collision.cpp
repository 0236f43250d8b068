// collision.cpp -- the hit test and the round end. The test measures in the ground
// plane from the centre of the player's block (6 units ahead of the eye) to a point
// half a unit to the side of the obstacle's position; height and roll play no part.
#include "game/collision.h"

#include "game/game_state.h"
#include "game/obstacle_field.h"
#include "platform/platform.h"
#include "sound/sound_player.h"

void checkCollisions() {
  for (int32_t i = 0; i < OBSTACLE_COUNT; i++) {
    const Obstacle* o = obstacles[i];
    const double dx = double(o->x) - double(playerPos.x) + 0.5;
    const float dz = o->z - playerPos.z + 6;
    const double distanceSquared = dx * dx + dz * dz;  // dz * dz in single precision
    const float limit = (2 * hitRadius) * (2 * hitRadius);
    // After a round end every obstacle lies at least 26.9 units ahead, so the rest of
    // the scan finds nothing more.
    if (distanceSquared <= limit) endRound();
  }
}

void endRound() {
  isPlaying = false;
  playerPos.x = 0.0f;
  playerPos.z = 2.9f;
  for (int32_t j = 0; j < OBSTACLE_COUNT; j++) placeObstacle(obstacles[j], j);
  if (elapsedTime > bestTime) bestTime = elapsedTime;
  elapsedTime = 0.0f;
  promptVisible = true;

  soundPlayer->loadEffect("sounds\\crash.wav");
  soundPlayer->playEffect(1);
  // The whole game stands still while the crash sounds; the game music plays on.
  sleepMilliseconds(1000);
  soundPlayer->musicMode = 0;
  switchMusic();
}

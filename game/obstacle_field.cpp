// obstacle_field.cpp -- the obstacle field. Every random number comes from the C
// library's unseeded rand, one call per value in a fixed order, so the field made at
// start-up is the same on every run. The index of an obstacle decides on which side
// of the track it may lie.
#include "game/obstacle_field.h"

#include <cstdlib>

// Lateral place from the index band: 0-9 far right, 10-39 right, 40-69 left, 70-79 far
// left. The outer bands spread over `outerRange` units, the inner ones over 50.
static float lateralPlace(int32_t index, int outerRange) {
  if (index < 10) return float(rand() % outerRange);
  if (index < 40) return float(rand() % 50);
  if (index < 70) return float(-(rand() % 50));
  return float(-(rand() % outerRange));
}

void createObstacles() {
  for (int32_t i = 0; i < OBSTACLE_COUNT; i++) {
    Obstacle* o = new Obstacle();
    obstacles[i] = o;
    o->texture = 3 + rand() % 6;
    o->rollAngle = 1 + rand() % 20;
    o->rollSpeed = float((1 + rand() % 30) * 0.3);
    placeObstacle(o, i);
  }
}

void placeObstacle(Obstacle* obstacle, int32_t index) {
  if (playerPos.z == 3.0f) {
    // The player has just jumped back to the start of the track: move the block by
    // the jump plus one step, so that it keeps its place relative to the player.
    obstacle->z = obstacle->z - ((float(trackFarZ) + viewDepth) - forwardStep * 4);
    return;
  }
  obstacle->x = lateralPlace(index, 100);
  obstacle->y = -0.2f;
  obstacle->z = float(-(30 + rand() % 150));
}

void respawnObstacle(Obstacle* obstacle, int32_t index) {
  obstacle->x = lateralPlace(index, 110);
  obstacle->z = float((rand() % 150) - 30 + trackFarZ);
}

void updateObstacle(Obstacle* obstacle, int32_t index, ObstacleDrawStep drawStep) {
  if (obstacle->rollAngle >= 20 || obstacle->rollAngle <= -20) obstacle->rollSpeed = -obstacle->rollSpeed;
  // The float sum is cut toward zero: a step away from 0 loses its fraction.
  obstacle->rollAngle = int32_t(float(obstacle->rollAngle) + obstacle->rollSpeed);

  if (drawStep) drawStep(*obstacle);

  // More than 15 units behind the eye: out of sight, put it back far ahead. It is
  // drawn at its new place from the next frame on.
  if (double(obstacle->z) > double(playerPos.z) + 15.0) respawnObstacle(obstacle, index);
}

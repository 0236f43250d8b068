// obstacle_field.h -- the field of 80 rocking blocks ahead of the player: creation at
// start-up, fresh placement and the shift after a wrap, the respawn far ahead of a
// block that has been passed, and the per-frame roll.
#pragma once

#include <cstdint>

#include "game/game_state.h"

// Draws one obstacle between the roll and the respawn test of updateObstacle.
using ObstacleDrawStep = void (*)(const Obstacle& obstacle);

void createObstacles();                                   // allocate and place all 80, once
void placeObstacle(Obstacle* obstacle, int32_t index);    // fresh place, or shift after a wrap
void respawnObstacle(Obstacle* obstacle, int32_t index);  // put a passed block far ahead
void updateObstacle(Obstacle* obstacle, int32_t index,
                    ObstacleDrawStep drawStep = nullptr);  // roll, draw, respawn if passed

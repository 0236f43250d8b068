// field_frame.cpp -- the obstacle field's share of a drawn frame. The game logic (hit
// test, roll, respawn) runs here, around the drawing that the renderer provides.
#include "game/field_frame.h"

#include <GL/gl.h>

#include "game/collision.h"
#include "game/game_state.h"
#include "game/obstacle_field.h"
#include "render/scene.h"

void drawBlocks() {
  // The hit test sees the obstacles before this frame rolls and respawns them.
  checkCollisions();
  drawObstacles();
  drawPlayer();
}

void drawObstacles() {
  for (int32_t i = 0; i < OBSTACLE_COUNT; i++) {
    Obstacle* o = obstacles[i];
    glPushMatrix();
    glTranslatef(o->x, o->y, o->z);
    updateObstacle(o, i, drawRolledObstacle);
    glPopMatrix();
  }
}

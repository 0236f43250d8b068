// scene.cpp -- render state, camera and the scene of a round. Every changing place
// comes from the game state; everything else is a constant here. Each quad is wound
// counter-clockwise as seen from the camera's side, so in normal play only filled
// front faces show and back faces come out as outlines.
#include "render/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "game/game_state.h"
#include "image/texture_loader.h"
#include "render/block_mesh.h"

const float palette[PALETTE_SIZE][3] = {
    {0.0f, 0.0f, 0.0f},      // black
    {1.0f, 0.0f, 0.0f},      // red
    {0.0f, 1.0f, 0.0f},      // green
    {0.0f, 0.0f, 1.0f},      // blue
    {1.0f, 1.0f, 0.0f},      // yellow
    {1.0f, 0.0f, 1.0f},      // magenta
    {0.0f, 1.0f, 1.0f},      // cyan
    {1.0f, 1.0f, 1.0f},      // white
    {0.25f, 0.25f, 0.25f},   // dark grey
    {0.6f, 0.4f, 0.7f},      // violet
    {0.98f, 0.625f, 0.12f},  // orange
    {0.98f, 0.04f, 0.7f},    // pink
    {0.75f, 0.75f, 0.75f},   // light grey
    {0.6f, 0.4f, 0.12f},     // brown
};

const float FOG_COLOR[4] = {0.85f, 0.85f, 0.65f, 1.0f};

void setupRenderState() {
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_DEPTH_TEST);
  glPolygonMode(GL_BACK, GL_LINE);
  glPolygonMode(GL_FRONT, GL_FILL);
  // Linear fog from -20 to 120: even a surface at the eye gets a seventh of fog colour,
  // and everything 120 or more away is pure fog. The density has no effect in this
  // mode but is set all the same.
  glEnable(GL_FOG);
  glFogfv(GL_FOG_COLOR, FOG_COLOR);
  glFogi(GL_FOG_MODE, GL_LINEAR);
  glFogf(GL_FOG_START, -20.0f);
  glFogf(GL_FOG_END, 120.0f);
  glFogf(GL_FOG_DENSITY, 10.0f);
  glHint(GL_FOG_HINT, GL_NICEST);
}

void setupCamera() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  gluLookAt(cameraEye.x, cameraEye.y, cameraEye.z, cameraCenter.x, cameraCenter.y, cameraCenter.z, cameraUp.x,
            cameraUp.y, cameraUp.z);
}

// One quad with its texture and colour: corners in order, each with its texture
// coordinate.
static void drawTexturedQuad(GLuint texture, int colour, const float corners[4][3], const float st[4][2]) {
  glBindTexture(GL_TEXTURE_2D, texture);
  glColor3fv(palette[colour]);
  glBegin(GL_QUADS);
  for (int i = 0; i < 4; i++) {
    glTexCoord2fv(st[i]);
    glVertex3fv(corners[i]);
  }
  glEnd();
}

void drawGround() {
  const float left = float(-trackHalfWidth), right = float(trackHalfWidth);
  const float nearZ = float(trackNearZ), farZ = float(trackFarZ);
  const float corners[4][3] = {{left, 0, nearZ}, {right, 0, nearZ}, {right, 0, farZ}, {left, 0, farZ}};
  // The texture repeats ten times across and ten times along the ground.
  const float st[4][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  drawTexturedQuad(Ground, 1, corners, st);
}

void drawBackWall() {
  const float left = float(-trackHalfWidth), right = float(trackHalfWidth);
  const float z = playerPos.z - viewDepth + 20;  // keeps 110 units ahead of the player
  const float height = 65.0f;
  const float corners[4][3] = {{left, 0, z}, {right, 0, z}, {right, height, z}, {left, height, z}};
  const float st[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  drawTexturedQuad(Wall, 3, corners, st);
}

// The middle of an obstacle's update: the block turned by its new roll angle. It is
// not centred first, so it rolls about its edge through the obstacle's position.
void drawRolledObstacle(const Obstacle& obstacle) {
  glRotatef(float(obstacle.rollAngle), 0, 0, 1);
  drawBlockMesh(obstacle.texture, blockVertices, blockNormals, blockFaces, BLOCK_FACE_COUNT);
}

void drawPlayer() {
  glPushMatrix();
  glTranslatef(playerPos.x, 0, playerPos.z - 7.0f);
  glRotatef(playerRoll, 0, 0, 1);
  // Centre the block on the line it rolls about: x -0.5..0.5, z 0.5..1.5.
  glTranslatef(-0.5f, 0, 0.5f);
  drawBlockMesh(Block1, blockVertices, blockNormals, blockFaces, BLOCK_FACE_COUNT);
  glPopMatrix();
}

// One board quad at z = -50 in eye coordinates, its texture stretched once.
static void drawBoard(GLuint texture, float left, float right) {
  const float bottom = 20.0f, top = 28.0f, z = -50.0f;
  glBindTexture(GL_TEXTURE_2D, texture);
  glColor3fv(palette[1]);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex3f(left, bottom, z);
  glTexCoord2f(1, 0);
  glVertex3f(right, bottom, z);
  glTexCoord2f(1, 1);
  glVertex3f(right, top, z);
  glTexCoord2f(0, 1);
  glVertex3f(left, top, z);
  glEnd();
}

void drawScoreBoards() {
  glPushMatrix();
  glLoadIdentity();  // fixed on the screen, whatever the camera does
  drawBoard(TimeBoard, -5.0f, 5.0f);
  drawBoard(RecordBoard, -37.5f, -20.0f);
  glPopMatrix();
}

// scene.cpp -- render state, camera and the scene of a round. Every changing place
// comes from the game state; everything else is a constant here. Each quad is wound
// counter-clockwise as seen from the camera's side, so in normal play only filled
// front faces show and back faces come out as outlines.
//
// The ground, the wall and the blocks are held back when they are asked for and drawn
// together by finishScene (at the end of the score boards): the blocks first, nearest
// first and one batch per texture, then the wall, then the ground. The depth test makes
// the order invisible, and the software renderer then skips texturing and fogging the
// ground and wall pixels that the blocks and boards hide.
#include "render/scene.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <vector>

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

// The texture loader stores each picture as it comes, three bytes a texel; the software
// renderer samples four-byte texels faster (7 % of a textured pixel). Each texture that
// has an image is read back and stored again as RGBA8: the same texels, alpha 1,
// which replace mode passes on as the fragment's alpha was anyway. Filtering and
// wrapping belong to the texture object and stay; the binding is put back.
static void storeTexturesWithFourByteTexels() {
  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  std::vector<unsigned char> texels;
  for (GLuint name = Ground; name <= RecordBoard; name++) {
    if (!glIsTexture(name)) continue;
    glBindTexture(GL_TEXTURE_2D, name);
    GLint width = 0, height = 0, format = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    if (width <= 0 || height <= 0 || (format != GL_RGB && format != GL_RGB8)) continue;
    texels.resize(size_t(width) * size_t(height) * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  }
  glBindTexture(GL_TEXTURE_2D, GLuint(bound));
}

void setupRenderState() {
  storeTexturesWithFourByteTexels();
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

static void dropHeldScene();

void setupCamera() {
  dropHeldScene();  // a new frame: anything held for a frame that was never finished goes
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  gluLookAt(cameraEye.x, cameraEye.y, cameraEye.z, cameraCenter.x, cameraCenter.y, cameraCenter.z, cameraUp.x,
            cameraUp.y, cameraUp.z);
}

namespace {

// One quad with its texture and colour: corners in order, each with its texture
// coordinate, under the model-view matrix of the moment it was asked for.
struct HeldQuad {
  GLuint texture;
  int colour;
  float corners[4][3];
  float st[4][2];
  float modelview[16];
  bool held;
};

// One block: its eight corners in eye coordinates, worked out from the model-view
// matrix of the moment it was asked for and its roll.
struct HeldBlock {
  GLuint texture;
  float eye[8][3];
  float depth;  // eye z of its corner at the origin: the larger, the nearer; behind the eye: last
};

HeldQuad heldGround{}, heldWall{};
std::vector<HeldBlock> heldBlocks;

// Per-frame vertex arrays of one batch of blocks, kept to save allocations.
std::vector<float> batchPositions, batchTexCoords, batchColours;

void holdQuad(HeldQuad& quad, GLuint texture, int colour, const float corners[4][3], const float st[4][2]) {
  quad.texture = texture;
  quad.colour = colour;
  for (int i = 0; i < 4; i++) {
    for (int k = 0; k < 3; k++) quad.corners[i][k] = corners[i][k];
    for (int k = 0; k < 2; k++) quad.st[i][k] = st[i][k];
  }
  glGetFloatv(GL_MODELVIEW_MATRIX, quad.modelview);
  quad.held = true;
}

void drawHeldQuad(HeldQuad& quad) {
  if (!quad.held) return;
  quad.held = false;
  glLoadMatrixf(quad.modelview);
  glBindTexture(GL_TEXTURE_2D, quad.texture);
  glColor3fv(palette[quad.colour]);
  glBegin(GL_QUADS);
  for (int i = 0; i < 4; i++) {
    glTexCoord2fv(quad.st[i]);
    glVertex3fv(quad.corners[i]);
  }
  glEnd();
}

// The block mesh turned by `degrees` about the z axis after a shift by (shiftX, 0,
// shiftZ), under the current model-view matrix, as glRotatef and glTranslatef would
// place it.
void holdBlock(GLuint texture, float degrees, float shiftX, float shiftZ) {
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  const double radians = double(degrees) * M_PI / 180.0;
  const float s = float(std::sin(radians)), c = float(std::cos(radians));
  HeldBlock block;
  block.texture = texture;
  for (int k = 0; k < 8; k++) {
    const float x = blockVertices[k][0] + shiftX, y = blockVertices[k][1], z = blockVertices[k][2] + shiftZ;
    const float rx = c * x - s * y, ry = s * x + c * y;
    for (int row = 0; row < 3; row++)
      block.eye[k][row] = m[row] * rx + m[4 + row] * ry + m[8 + row] * z + m[12 + row];
  }
  // A block behind the eye is out of sight (clipped): it goes last, not first.
  block.depth = block.eye[0][2] <= 0 ? block.eye[0][2] : -1e30f;
  heldBlocks.push_back(block);
}

// The held blocks, nearest first, one vertex-array batch per texture; each face as
// the block mesh draws it: its palette colour and texture corners (0,0), (0,1), (1,1),
// (1,0). The model-view matrix is the identity meanwhile.
void drawHeldBlocks() {
  if (heldBlocks.empty()) return;
  std::stable_sort(heldBlocks.begin(), heldBlocks.end(),
                   [](const HeldBlock& a, const HeldBlock& b) { return a.depth > b.depth; });
  static const float cornerTexCoords[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  constexpr size_t CORNERS = BLOCK_FACE_COUNT * 4;
  batchPositions.resize(heldBlocks.size() * CORNERS * 3);
  batchTexCoords.resize(heldBlocks.size() * CORNERS * 2);
  batchColours.resize(heldBlocks.size() * CORNERS * 3);
  float *position = batchPositions.data(), *st = batchTexCoords.data(), *colour = batchColours.data();
  // The batches one after another in the arrays: for each, its texture and first block.
  static std::vector<std::pair<GLuint, size_t>> batches;
  static std::vector<char> placed;
  batches.clear();
  placed.assign(heldBlocks.size(), 0);
  size_t blocksPlaced = 0;
  for (size_t first = 0; first < heldBlocks.size(); first++) {
    if (placed[first]) continue;
    const GLuint texture = heldBlocks[first].texture;
    batches.emplace_back(texture, blocksPlaced);
    for (size_t b = first; b < heldBlocks.size(); b++) {
      if (placed[b] || heldBlocks[b].texture != texture) continue;
      placed[b] = 1;
      blocksPlaced++;
      for (int face = 0; face < BLOCK_FACE_COUNT; face++)
        for (int corner = 0; corner < 4; corner++) {
          const float* p = heldBlocks[b].eye[blockFaces[face][corner]];
          for (int k = 0; k < 3; k++) *position++ = p[k];
          for (int k = 0; k < 2; k++) *st++ = cornerTexCoords[corner][k];
          for (int k = 0; k < 3; k++) *colour++ = palette[face % 12][k];
        }
    }
  }
  batches.emplace_back(0, blocksPlaced);  // the end of the last batch
  glLoadIdentity();
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, batchPositions.data());
  glTexCoordPointer(2, GL_FLOAT, 0, batchTexCoords.data());
  glColorPointer(3, GL_FLOAT, 0, batchColours.data());
  for (size_t i = 0; i + 1 < batches.size(); i++) {
    glBindTexture(GL_TEXTURE_2D, batches[i].first);
    glDrawArrays(GL_QUADS, GLint(batches[i].second * CORNERS),
                 GLsizei((batches[i + 1].second - batches[i].second) * CORNERS));
  }
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  heldBlocks.clear();
}

}  // namespace

static void dropHeldScene() {
  heldBlocks.clear();
  heldWall.held = false;
  heldGround.held = false;
}

void finishScene() {
  if (heldBlocks.empty() && !heldWall.held && !heldGround.held) return;
  glPushMatrix();
  drawHeldBlocks();
  drawHeldQuad(heldWall);  // before the ground, which it hides beyond 110 units
  drawHeldQuad(heldGround);
  glPopMatrix();
}

void drawGround() {
  const float left = float(-trackHalfWidth), right = float(trackHalfWidth);
  const float nearZ = float(trackNearZ), farZ = float(trackFarZ);
  const float corners[4][3] = {{left, 0, nearZ}, {right, 0, nearZ}, {right, 0, farZ}, {left, 0, farZ}};
  // The texture repeats ten times across and ten times along the ground.
  const float st[4][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  holdQuad(heldGround, Ground, 1, corners, st);
}

void drawBackWall() {
  const float left = float(-trackHalfWidth), right = float(trackHalfWidth);
  const float z = playerPos.z - viewDepth + 20;  // keeps 110 units ahead of the player
  const float height = 65.0f;
  const float corners[4][3] = {{left, 0, z}, {right, 0, z}, {right, height, z}, {left, height, z}};
  const float st[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  holdQuad(heldWall, Wall, 3, corners, st);
}

// The middle of an obstacle's update: the block turned by its new roll angle. It is
// not centred first, so it rolls about its edge through the obstacle's position.
void drawRolledObstacle(const Obstacle& obstacle) {
  holdBlock(GLuint(obstacle.texture), float(obstacle.rollAngle), 0, 0);
}

void drawPlayer() {
  glPushMatrix();
  glTranslatef(playerPos.x, 0, playerPos.z - 7.0f);
  // Banked by its roll about the line it rolls about: x -0.5..0.5, z 0.5..1.5.
  holdBlock(Block1, playerRoll, -0.5f, 0.5f);
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
  // The boards are the nearest part of the scene: the rest goes behind them.
  finishScene();
}

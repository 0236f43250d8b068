// scene_test.cpp -- the render state, the camera and the scene of a round in a real
// Mesa context: fixed state by query, the geometry of each draw by feedback capture
// (window coordinates turned back into object coordinates), what is seen by pixels.
#include "render/scene.h"

#include "game/field_frame.h"

#include <GL/glu.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "game/obstacle_field.h"
#include "platform/platform.h"
#include "sound/sound_player.h"
#include "tests/support/gl_context.h"

namespace {

// A corner as drawn: object position, texture coordinate and current colour.
struct Corner {
  double x, y, z, s, t, r, g, b;
};

bool near(const Corner& a, const Corner& b, double tolerance) {
  const double* p = &a.x;
  const double* q = &b.x;
  for (int i = 0; i < 8; i++)
    if (std::fabs(p[i] - q[i]) > tolerance) return false;
  return true;
}

std::string describe(const std::vector<Corner>& corners) {
  std::string out;
  for (const auto& c : corners) {
    char line[160];
    std::snprintf(line, sizeof line, "  (%.3f, %.3f, %.3f) st (%.2f, %.2f) rgb (%.2f, %.2f, %.2f)\n", c.x,
                  c.y, c.z, c.s, c.t, c.r, c.g, c.b);
    out += line;
  }
  return out;
}

// Every distinct corner of the polygons and lines of a capture, in the object
// coordinates of the given matrices.
std::vector<Corner> cornersOf(const std::vector<FeedbackItem>& items, const GLdouble modelview[16],
                              const GLdouble projection[16]) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  std::vector<Corner> corners;
  for (const auto& item : items) {
    for (const auto& v : item.vertices) {
      Corner c{};
      gluUnProject(v.x, v.y, v.z, modelview, projection, viewport, &c.x, &c.y, &c.z);
      c.s = v.s, c.t = v.t, c.r = v.r, c.g = v.g, c.b = v.b;
      bool seen = false;
      for (const auto& d : corners) seen = seen || near(c, d, 1e-3);
      if (!seen) corners.push_back(c);
    }
  }
  return corners;
}

// The two sets of corners are the same, each corner within `tolerance`.
::testing::AssertionResult sameCorners(const std::vector<Corner>& actual, const std::vector<Corner>& expected,
                                       double tolerance = 0.01) {
  auto covered = [&](const std::vector<Corner>& a, const std::vector<Corner>& b) {
    for (const auto& c : a) {
      bool found = false;
      for (const auto& d : b) found = found || near(c, d, tolerance);
      if (!found) return false;
    }
    return true;
  };
  if (covered(actual, expected) && covered(expected, actual)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "drawn:\n"
                                       << describe(actual) << "expected:\n"
                                       << describe(expected);
}

// Positions only (texture coordinates and colours set to 0).
std::vector<Corner> positionsOf(std::vector<Corner> corners) {
  for (auto& c : corners) c.s = c.t = c.r = c.g = c.b = 0;
  std::vector<Corner> out;
  for (const auto& c : corners) {
    bool seen = false;
    for (const auto& d : out) seen = seen || near(c, d, 1e-3);
    if (!seen) out.push_back(c);
  }
  return out;
}

// Signed area of a polygon in window coordinates: positive is counter-clockwise.
double windingArea(const FeedbackItem& polygon) {
  double area = 0;
  const auto& v = polygon.vertices;
  for (size_t i = 0; i < v.size(); i++) {
    const auto& a = v[i];
    const auto& b = v[(i + 1) % v.size()];
    area += double(a.x) * b.y - double(b.x) * a.y;
  }
  return area / 2;
}

// One texel of a solid colour for each of the ten texture names, shown untinted.
const unsigned char TEXTURE_COLOURS[11][3] = {
    {0, 0, 0},     {200, 40, 40}, {40, 40, 200}, {0, 0, 255},   {255, 255, 0}, {0, 255, 255},
    {255, 0, 255}, {128, 128, 0}, {0, 128, 128}, {255, 128, 0}, {128, 0, 255},
};
void uploadSolidTextures() {
  for (GLuint name = 1; name <= 10; name++) {
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, TEXTURE_COLOURS[name]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  }
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glBindTexture(GL_TEXTURE_2D, 0);
}

// The colour that linear fog from -20 to 120 makes of `colour` at eye distance d.
std::array<double, 3> fogged(const unsigned char colour[3], double d) {
  const double f = (120 - d) / 140;
  std::array<double, 3> out;
  for (int i = 0; i < 3; i++) out[size_t(i)] = f * colour[i] + (1 - f) * FOG_COLOR[i] * 255;
  return out;
}

// The eye distance (along the view axis, as the fog measures it) of what a pixel shows,
// from its depth under the current projection.
double eyeDistanceAt(int x, int y) {
  GLfloat depth = 0;
  glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  GLdouble projection[16], identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  double ex, ey, ez;
  gluUnProject(x + 0.5, y + 0.5, depth, identity, projection, viewport, &ex, &ey, &ez);
  return -ez;
}

void expectPixelNear(int x, int y, const std::array<double, 3>& expected, double tolerance,
                     const std::string& what) {
  auto p = readPixelsRgb(x, y, 1, 1);
  for (int i = 0; i < 3; i++)
    EXPECT_NEAR(p[size_t(i)], expected[size_t(i)], tolerance) << what << " channel " << i;
}

void gameProjection() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60.0, double(GlTest::kWidth) / GlTest::kHeight, 0.1, 500.0);
  glMatrixMode(GL_MODELVIEW);
}

void noPause(uint32_t) {}

// A GL context with the game's state at its load values, a field far out of the way
// and a sound player that was never started.
class SceneTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    restoreInitialGameState();
    createObstacles();
    for (Obstacle* o : obstacles) o->x = 5000;  // far off to the side: never seen, never hit
    soundPlayer = new SoundPlayer();
    setSleepFunction(noPause);
    setupRenderState();
  }
  void TearDown() override {
    setSleepFunction(nullptr);
    shutdownGame();
  }
  void matrices(GLdouble modelview[16], GLdouble projection[16]) {
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
  }
  // Orthographic view of the box |x| <= 200, -50 <= y <= 300 (after the model-view),
  // deep enough for the whole track.
  static void orthoView() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-200, 200, -50, 300, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
};

}  // namespace

TEST_F(SceneTest, RenderStateIsTexturedDepthTestedLinearlyFoggedWithOutlinedBackFaces) {
  EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  EXPECT_TRUE(glIsEnabled(GL_FOG));
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
  GLint modes[2], frontFace, fogMode, fogHint;
  glGetIntegerv(GL_POLYGON_MODE, modes);
  EXPECT_EQ(modes[0], GL_FILL);  // front
  EXPECT_EQ(modes[1], GL_LINE);  // back
  glGetIntegerv(GL_FRONT_FACE, &frontFace);
  EXPECT_EQ(frontFace, GL_CCW);
  glGetIntegerv(GL_FOG_MODE, &fogMode);
  EXPECT_EQ(fogMode, GL_LINEAR);
  glGetIntegerv(GL_FOG_HINT, &fogHint);
  EXPECT_EQ(fogHint, GL_NICEST);
  GLfloat colour[4], start, end, density;
  glGetFloatv(GL_FOG_COLOR, colour);
  EXPECT_EQ(std::vector<float>(colour, colour + 4), (std::vector<float>{0.85f, 0.85f, 0.65f, 1.0f}));
  glGetFloatv(GL_FOG_START, &start);
  glGetFloatv(GL_FOG_END, &end);
  glGetFloatv(GL_FOG_DENSITY, &density);
  EXPECT_EQ(start, -20.0f);
  EXPECT_EQ(end, 120.0f);
  EXPECT_EQ(density, 10.0f);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(SceneTest, CameraClearsTheFrameAndLooksFromEyeToCentre) {
  glClearColor(0, 0, 0, 0);
  cameraEye = {3.5f, 4.0f, -20.0f};
  cameraCenter = {3.5f, 0.0f, -45.0f};
  cameraUp = {-0.22f, 1.0f, 0.0f};
  // Something drawn before must be gone, and the depth buffer back at its far value.
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_FOG);
  glBindTexture(GL_TEXTURE_2D, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glRectf(-1, -1, 1, 1);
  glEnable(GL_FOG);
  ASSERT_EQ(readPixelsRgb(512, 384, 1, 1), (std::vector<unsigned char>{255, 255, 255}));
  glTranslatef(9, 9, 9);
  setupCamera();
  auto pixel = readPixelsRgb(512, 384, 1, 1);
  EXPECT_EQ(pixel, (std::vector<unsigned char>{0, 0, 0}));
  GLfloat depth = 0;
  glReadPixels(512, 384, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  EXPECT_EQ(depth, 1.0f);

  GLdouble actual[16], expected[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, actual);
  glPushMatrix();
  glLoadIdentity();
  gluLookAt(3.5, 4.0, -20.0, 3.5, 0.0, -45.0, double(-0.22f), 1.0, 0.0);
  glGetDoublev(GL_MODELVIEW_MATRIX, expected);
  glPopMatrix();
  for (int i = 0; i < 16; i++) EXPECT_NEAR(actual[i], expected[i], 1e-6) << i;
}

TEST_F(SceneTest, GroundIsOneRedQuadOverTheTrackWithItsTextureTenTimesEachWay) {
  orthoView();
  glRotatef(90, 1, 0, 0);  // look straight down on the ground
  GLdouble modelview[16], projection[16];
  matrices(modelview, projection);
  auto items = captureFeedback(drawGround);
  auto polygons = polygonsOf(items);
  ASSERT_FALSE(polygons.empty());
  EXPECT_TRUE(linesOf(items).empty()) << "the ground's upper side must be its front face";
  for (const auto& p : polygons) EXPECT_GT(windingArea(p), 0);
  EXPECT_TRUE(sameCorners(cornersOf(items, modelview, projection), {
                                                                       {-140, 0, 10, 0, 0, 1, 0, 0},
                                                                       {140, 0, 10, 10, 0, 1, 0, 0},
                                                                       {140, 0, -250, 10, 10, 1, 0, 0},
                                                                       {-140, 0, -250, 0, 10, 1, 0, 0},
                                                                   }));
  GLint bound;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, 1);
}

TEST_F(SceneTest, BackWallStands110AheadOfThePlayerFacingIt) {
  for (float z : {2.9f, -57.1f, -120.6f}) {
    SCOPED_TRACE(z);
    playerPos.z = z;
    orthoView();
    GLdouble modelview[16], projection[16];
    matrices(modelview, projection);
    auto items = captureFeedback(drawBackWall);
    EXPECT_TRUE(linesOf(items).empty());
    for (const auto& p : polygonsOf(items)) EXPECT_GT(windingArea(p), 0);
    const double wallZ = double(z - 130.0f + 20);
    EXPECT_TRUE(sameCorners(cornersOf(items, modelview, projection), {
                                                                         {-140, 0, wallZ, 0, 0, 0, 0, 1},
                                                                         {140, 0, wallZ, 1, 0, 0, 0, 1},
                                                                         {140, 65, wallZ, 1, 1, 0, 0, 1},
                                                                         {-140, 65, wallZ, 0, 1, 0, 0, 1},
                                                                     }));
    GLint bound;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 2);
  }
}

namespace {

// The eight corners of the block, moved by a matrix applied in the GL.
std::vector<Corner> transformedBox(const std::function<void()>& transform) {
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  transform();
  GLdouble m[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, m);
  glPopMatrix();
  std::vector<Corner> out;
  for (double x : {0.0, 1.0})
    for (double y : {0.0, 2.0})
      for (double z : {0.0, 1.0})
        out.push_back({m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
                       m[2] * x + m[6] * y + m[10] * z + m[14], 0, 0, 0, 0, 0});
  return out;
}

}  // namespace

TEST_F(SceneTest, PlayersBlockStandsSevenAheadCentredOnItsRollLine) {
  playerPos = {3.0f, 4.0f, -10.0f};
  playerRoll = 30.0f;
  orthoView();
  glScalef(10, 10, 1);  // blow the block up for a finer reading
  GLdouble modelview[16], projection[16];
  matrices(modelview, projection);
  auto items = captureFeedback(drawPlayer);
  EXPECT_TRUE(sameCorners(positionsOf(cornersOf(items, modelview, projection)), transformedBox([] {
                            glTranslatef(3, 0, -17);
                            glRotatef(30, 0, 0, 1);
                            glTranslatef(-0.5f, 0, 0.5f);
                          })));
  GLint bound;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  EXPECT_EQ(bound, 3);
  GLdouble after[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, after);
  for (int i = 0; i < 16; i++) EXPECT_EQ(after[i], modelview[i]);
}

TEST_F(SceneTest, ObstaclesRollAboutTheirEdgeAndARespawnShowsOnlyNextFrame) {
  playerPos.z = 3.0f;
  Obstacle& o = *obstacles[25];
  o = Obstacle{2.0f, -0.2f, -10.0f, 6, 10, 5.0f};
  Obstacle& passed = *obstacles[26];
  passed = Obstacle{-3.0f, -0.2f, 18.5f, 7, 0, 1.0f};  // more than 15 behind the eye
  orthoView();
  glScalef(10, 10, 1);
  GLdouble modelview[16], projection[16];
  matrices(modelview, projection);
  auto items = captureFeedback(drawObstacles);
  auto expected = transformedBox([] {
    glTranslatef(2.0f, -0.2f, -10.0f);
    glRotatef(15, 0, 0, 1);
  });
  auto passedBox = transformedBox([] {
    glTranslatef(-3.0f, -0.2f, 18.5f);
    glRotatef(1, 0, 0, 1);
  });
  expected.insert(expected.end(), passedBox.begin(), passedBox.end());
  EXPECT_TRUE(sameCorners(positionsOf(cornersOf(items, modelview, projection)), expected));
  EXPECT_EQ(o.rollAngle, 15);
  EXPECT_LE(passed.z, -131.0f);  // respawned after it was drawn
  EXPECT_EQ(passed.rollAngle, 1);
}

TEST_F(SceneTest, ScoreBoardsAreFixedInEyeCoordinatesWithTheirOwnTextures) {
  uploadSolidTextures();
  gameProjection();
  cameraEye = {-12.0f, 4.0f, -60.0f};
  cameraCenter = {-12.0f, 0.0f, -85.0f};
  cameraUp = {0.3f, 1.0f, 0.0f};
  setupCamera();
  GLdouble camera[16], projection[16], identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  matrices(camera, projection);
  auto items = captureFeedback(drawScoreBoards);
  EXPECT_TRUE(linesOf(items).empty());
  EXPECT_TRUE(sameCorners(cornersOf(items, identity, projection), {
                                                                      {-5, 20, -50, 0, 0, 1, 0, 0},
                                                                      {5, 20, -50, 1, 0, 1, 0, 0},
                                                                      {5, 28, -50, 1, 1, 1, 0, 0},
                                                                      {-5, 28, -50, 0, 1, 1, 0, 0},
                                                                      {-37.5, 20, -50, 0, 0, 1, 0, 0},
                                                                      {-20, 20, -50, 1, 0, 1, 0, 0},
                                                                      {-20, 28, -50, 1, 1, 1, 0, 0},
                                                                      {-37.5, 28, -50, 0, 1, 1, 0, 0},
                                                                  }));
  GLdouble after[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, after);
  for (int i = 0; i < 16; i++) EXPECT_EQ(after[i], camera[i]);

  // What is seen: each board's own texture, half fog at 50 units. The boards lie
  // near the top edge, the time board centred and the record board at the left.
  drawScoreBoards();
  expectPixelNear(512, 768 - 60, fogged(TEXTURE_COLOURS[9], 50), 3, "time board");
  expectPixelNear(170, 768 - 60, fogged(TEXTURE_COLOURS[10], 50), 3, "record board");
  auto gap = readPixelsRgb(340, 768 - 60, 1, 1);
  EXPECT_EQ(gap, (std::vector<unsigned char>{0, 0, 0}));
}

TEST_F(SceneTest, AFrameOfARoundShowsTexturedFoggedSceneAndBalancesTheMatrixStacks) {
  uploadSolidTextures();
  gameProjection();
  isPlaying = true;
  playerPos = {0.0f, 4.0f, 3.0f};
  advance();  // places the camera behind the player
  GLint depthBefore[3];
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore[0]);
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depthBefore[1]);
  glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &depthBefore[2]);

  setupCamera();
  GLdouble camera[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, camera);
  drawGround();
  drawBackWall();
  drawBlocks();
  drawScoreBoards();
  EXPECT_TRUE(isPlaying);

  GLint depthAfter[3];
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter[0]);
  glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depthAfter[1]);
  glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &depthAfter[2]);
  for (int i = 0; i < 3; i++) EXPECT_EQ(depthAfter[i], depthBefore[i]) << i;
  GLdouble after[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, after);
  for (int i = 0; i < 16; i++) EXPECT_EQ(after[i], camera[i]) << i;
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  saveScreenshot("scene_round_frame.png");
  // The player's block in the lower middle, in its own texture, about 6 units off.
  expectPixelNear(512, 768 - 600, fogged(TEXTURE_COLOURS[3], eyeDistanceAt(512, 768 - 600)), 3,
                  "player's block");
  EXPECT_NEAR(eyeDistanceAt(512, 768 - 600), 5.9, 0.2);
  // The upper part of the picture is the wall, 110 away: nearly pure fog.
  expectPixelNear(800, 768 - 200, fogged(TEXTURE_COLOURS[2], eyeDistanceAt(800, 768 - 200)), 3, "back wall");
  EXPECT_NEAR(eyeDistanceAt(800, 768 - 200), 108, 4);
  // The ground ahead of the block, in the ground's texture with fog.
  auto ground = readPixelsRgb(512, 768 - 440, 1, 1);
  EXPECT_GT(ground[0], ground[2] + 40) << "ground should show its reddish texture";
}

// scene_test.cpp -- the render state, the camera and the scene of a round in a real
// Mesa context: fixed state by query, the geometry of each draw by feedback capture
// (window coordinates turned back into object coordinates), what is seen by pixels.
#include "render/scene.h"

#include <GL/glu.h>

#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "game/field_frame.h"
#include "game/game_state.h"
#include "game/obstacle_field.h"
#include "platform/platform.h"
#include "render/block_mesh.h"
#include "sound/sound_player.h"
#include "tests/support/gl_context.h"

namespace {

using Matrix = std::array<GLdouble, 16>;
using Corner = std::array<double, 8>;  // object x, y, z, texture s, t, colour r, g, b

const Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

Matrix current(GLenum which) {
  Matrix m;
  glGetDoublev(which, m.data());
  return m;
}

bool has(const std::vector<Corner>& corners, const Corner& c, double tolerance) {
  for (const Corner& d : corners) {
    bool same = true;
    for (size_t i = 0; i < 8; i++) same = same && std::fabs(c[i] - d[i]) <= tolerance;
    if (same) return true;
  }
  return false;
}

// The distinct corners of a capture in the object coordinates of `modelview` under the
// current projection; positions only unless withAttributes.
std::vector<Corner> cornersOf(const std::vector<FeedbackItem>& items, const Matrix& modelview,
                              bool withAttributes = true) {
  const Matrix projection = current(GL_PROJECTION_MATRIX);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  std::vector<Corner> corners;
  for (const auto& item : items)
    for (const auto& v : item.vertices) {
      Corner c{0, 0, 0, v.s, v.t, v.r, v.g, v.b};
      if (!withAttributes) c = {};
      gluUnProject(v.x, v.y, v.z, modelview.data(), projection.data(), viewport, &c[0], &c[1], &c[2]);
      if (!has(corners, c, 1e-3)) corners.push_back(c);
    }
  return corners;
}

// The two sets of corners are the same, each corner within 0.01.
::testing::AssertionResult sameCorners(const std::vector<Corner>& actual,
                                       const std::vector<Corner>& expected) {
  bool same = true;
  for (const Corner& c : actual) same = same && has(expected, c, 0.01);
  for (const Corner& c : expected) same = same && has(actual, c, 0.01);
  if (same) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "drawn " << ::testing::PrintToString(actual) << "\nexpected "
                                       << ::testing::PrintToString(expected);
}

// A quad's corners from (x0, y0, z0) to (x1, y1, z1), its texture `repeat` times each
// way, in palette colour `colour`.
std::vector<Corner> quad(double x0, double x1, double y0, double y1, double z0, double z1, double repeat,
                         int colour) {
  const double r = palette[colour][0], g = palette[colour][1], b = palette[colour][2];
  return {{x0, y0, z0, 0, 0, r, g, b},
          {x1, y0, z0, repeat, 0, r, g, b},
          {x1, y1, z1, repeat, repeat, r, g, b},
          {x0, y1, z1, 0, repeat, r, g, b}};
}

// The block as the mesh drawer draws it at a place, turned about z, then offset.
void drawBlockAt(float x, float y, float z, float roll, float offsetX = 0, float offsetZ = 0) {
  glPushMatrix();
  glTranslatef(x, y, z);
  glRotatef(roll, 0, 0, 1);
  glTranslatef(offsetX, 0, offsetZ);
  drawBlockMesh(1, blockVertices, blockNormals, blockFaces, BLOCK_FACE_COUNT);
  glPopMatrix();
}

// One texel of a solid colour for each of the ten texture names, shown untinted.
std::array<unsigned char, 3> textureColour(GLuint name) {
  return {(unsigned char)(25 * name), (unsigned char)(255 - 25 * name), (unsigned char)(90 * name)};
}
void uploadSolidTextures() {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  for (GLuint name = 1; name <= 10; name++) {
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, textureColour(name).data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  }
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
}

// Checks that pixel (x, y) shows the given texture under linear fog from -20 to 120 at
// its eye distance (along the view axis, from its depth); returns that distance.
double expectFoggedTexture(int x, int y, GLuint texture, const char* what) {
  GLfloat depth = 0;
  glReadPixels(x, y, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  double ex, ey, ez;
  gluUnProject(x + 0.5, y + 0.5, depth, kIdentity.data(), current(GL_PROJECTION_MATRIX).data(), viewport, &ex,
               &ey, &ez);
  const double f = (120 + ez) / 140;
  const auto pixel = readPixelsRgb(x, y, 1, 1);
  for (size_t i = 0; i < 3; i++)
    EXPECT_NEAR(pixel[i], f * textureColour(texture)[i] + (1 - f) * FOG_COLOR[i] * 255, 3)
        << what << " " << i;
  return -ez;
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
  // Orthographic view of the box |x| <= 200, -50 <= y <= 300, deep enough for the track.
  static void orthoView() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-200, 200, -50, 300, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
  static void gameProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, double(kWidth) / kHeight, 0.1, 500.0);
    glMatrixMode(GL_MODELVIEW);
  }
  static GLint boundTexture() {
    GLint bound;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    return bound;
  }
};

}  // namespace

TEST_F(SceneTest, RenderStateIsTexturedDepthTestedLinearlyFoggedWithOutlinedBackFaces) {
  for (GLenum on : {GL_TEXTURE_2D, GL_DEPTH_TEST, GL_FOG}) EXPECT_TRUE(glIsEnabled(on)) << on;
  for (GLenum off : {GL_CULL_FACE, GL_LIGHTING}) EXPECT_FALSE(glIsEnabled(off)) << off;
  GLint i[5];  // polygon modes (front, back), front face, fog mode, fog hint
  glGetIntegerv(GL_POLYGON_MODE, i);
  glGetIntegerv(GL_FRONT_FACE, i + 2);
  glGetIntegerv(GL_FOG_MODE, i + 3);
  glGetIntegerv(GL_FOG_HINT, i + 4);
  EXPECT_EQ(std::vector<GLint>(i, i + 5),
            (std::vector<GLint>{GL_FILL, GL_LINE, GL_CCW, GL_LINEAR, GL_NICEST}));
  GLfloat f[7];  // fog colour, start, end, density
  glGetFloatv(GL_FOG_COLOR, f);
  glGetFloatv(GL_FOG_START, f + 4);
  glGetFloatv(GL_FOG_END, f + 5);
  glGetFloatv(GL_FOG_DENSITY, f + 6);
  EXPECT_EQ(std::vector<float>(f, f + 7), (std::vector<float>{0.85f, 0.85f, 0.65f, 1, -20, 120, 10}));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(SceneTest, CameraClearsTheFrameAndLooksFromEyeToCentre) {
  cameraEye = {3.5f, 4.0f, -20.0f};
  cameraCenter = {3.5f, 0.0f, -45.0f};
  cameraUp = {-0.22f, 1.0f, 0.0f};
  // A frame left in the buffers (white, half depth) must be gone.
  glClearColor(1, 1, 1, 1);
  glClearDepth(0.5);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glClearColor(0, 0, 0, 0);
  glClearDepth(1);
  glTranslatef(9, 9, 9);
  setupCamera();
  EXPECT_EQ(readPixelsRgb(512, 384, 1, 1), (std::vector<unsigned char>{0, 0, 0}));
  GLfloat depth = 0;
  glReadPixels(512, 384, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
  EXPECT_EQ(depth, 1.0f);

  const Matrix actual = current(GL_MODELVIEW_MATRIX);
  glLoadIdentity();
  gluLookAt(3.5, 4.0, -20.0, 3.5, 0.0, -45.0, double(-0.22f), 1.0, 0.0);
  const Matrix expected = current(GL_MODELVIEW_MATRIX);
  for (size_t i = 0; i < 16; i++) EXPECT_NEAR(actual[i], expected[i], 1e-6) << i;
}

TEST_F(SceneTest, GroundAndBackWallAreFrontFacingTexturedQuads) {
  auto expectQuad = [](void (*draw)(), float turnX, GLint texture, const std::vector<Corner>& expected) {
    orthoView();
    glRotatef(turnX, 1, 0, 0);
    const Matrix modelview = current(GL_MODELVIEW_MATRIX);
    const auto items = captureFeedback(draw);
    EXPECT_FALSE(polygonsOf(items).empty());
    EXPECT_TRUE(linesOf(items).empty()) << "the side toward the player must be the front face";
    EXPECT_TRUE(sameCorners(cornersOf(items, modelview), expected));
    EXPECT_EQ(boundTexture(), texture);
  };
  // The ground, seen from above, has its texture ten times each way.
  expectQuad(drawGround, 90, 1, quad(-140, 140, 0, 0, 10, -250, 10, 1));
  // The wall keeps 110 units ahead of the player.
  for (float z : {2.9f, -57.1f, -120.6f}) {
    SCOPED_TRACE(z);
    playerPos.z = z;
    expectQuad(drawBackWall, 0, 2, quad(-140, 140, 0, 65, z - 110.0, z - 110.0, 1, 3));
  }
}

TEST_F(SceneTest, PlayersBlockStandsSevenAheadOnItsRollLineAndObstaclesRollAboutTheirEdge) {
  playerPos = {3.0f, 4.0f, -10.0f};
  playerRoll = 30.0f;
  Obstacle& o = *obstacles[25];
  o = Obstacle{2.0f, -0.2f, -10.0f, 6, 10, 5.0f};
  Obstacle& passed = *obstacles[26];
  passed = Obstacle{-3.0f, -0.2f, 5.5f, 7, 0, 1.0f};  // more than 15 behind the eye
  orthoView();
  glScalef(10, 10, 1);  // blow the blocks up for a finer reading
  const Matrix modelview = current(GL_MODELVIEW_MATRIX);

  auto positions = [&](const std::function<void()>& draw) {
    return cornersOf(captureFeedback(draw), modelview, false);
  };
  const auto player = positions(drawPlayer);
  EXPECT_EQ(boundTexture(), 3);
  EXPECT_TRUE(sameCorners(player, positions([] { drawBlockAt(3, 0, -17, 30, -0.5f, 0.5f); })));
  EXPECT_EQ(current(GL_MODELVIEW_MATRIX), modelview);

  // Each obstacle turned by this frame's roll, not centred; a respawn shows only next frame.
  EXPECT_TRUE(sameCorners(positions(drawObstacles), positions([] {
                            drawBlockAt(2, -0.2f, -10, 15);
                            drawBlockAt(-3, -0.2f, 5.5f, 1);
                          })));
  EXPECT_EQ(o.rollAngle, 15);
  EXPECT_EQ(passed.rollAngle, 1);
  EXPECT_LE(passed.z, -131.0f);
}

TEST_F(SceneTest, ScoreBoardsAreFixedInEyeCoordinatesWhateverTheCamera) {
  orthoView();
  cameraEye = {-12.0f, 4.0f, -60.0f};
  cameraCenter = {-12.0f, 0.0f, -85.0f};
  cameraUp = {0.3f, 1.0f, 0.0f};
  setupCamera();
  const Matrix camera = current(GL_MODELVIEW_MATRIX);
  const auto items = captureFeedback(drawScoreBoards);
  EXPECT_TRUE(linesOf(items).empty());
  auto boards = quad(-5, 5, 20, 28, -50, -50, 1, 1), record = quad(-37.5, -20, 20, 28, -50, -50, 1, 1);
  boards.insert(boards.end(), record.begin(), record.end());
  EXPECT_TRUE(sameCorners(cornersOf(items, kIdentity), boards));
  EXPECT_EQ(current(GL_MODELVIEW_MATRIX), camera);
}

TEST_F(SceneTest, AFrameOfARoundShowsTheTexturedFoggedSceneAndBalancesTheMatrixStacks) {
  uploadSolidTextures();
  gameProjection();
  isPlaying = true;
  playerPos = {0.0f, 4.0f, 3.0f};
  advance();  // places the camera behind the player
  auto stackDepths = [] {
    std::vector<GLint> depths(3);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depths[0]);
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depths[1]);
    glGetIntegerv(GL_TEXTURE_STACK_DEPTH, &depths[2]);
    return depths;
  };
  const auto depthsBefore = stackDepths();
  setupCamera();
  const Matrix camera = current(GL_MODELVIEW_MATRIX);
  drawGround();
  drawBackWall();
  drawBlocks();
  drawScoreBoards();
  EXPECT_TRUE(isPlaying);
  EXPECT_EQ(stackDepths(), depthsBefore);
  EXPECT_EQ(current(GL_MODELVIEW_MATRIX), camera);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  saveScreenshot("scene_round_frame.png");
  // Each in its own texture: the player's block in the lower middle, about 6 units off;
  // the ground ahead of it; the wall above, 110 away; the time board centred near the
  // top edge and the record board at the left, 50 away.
  EXPECT_NEAR(expectFoggedTexture(512, 768 - 600, 3, "player's block"), 5.9, 0.2);
  const auto ground = readPixelsRgb(512, 768 - 440, 1, 1);  // fogged by corner, so only roughly
  EXPECT_GT(ground[1], ground[0] + 100) << "the ground should show its own, green, texture";
  EXPECT_NEAR(expectFoggedTexture(800, 768 - 200, 2, "back wall"), 108, 4);
  EXPECT_NEAR(expectFoggedTexture(512, 768 - 60, 9, "time board"), 50, 0.5);
  EXPECT_NEAR(expectFoggedTexture(170, 768 - 60, 10, "record board"), 50, 0.5);
}

// game_test.cpp -- the game and its renderer in a GLUT window, sound recorded, drawings read as feedback.
#include <GL/freeglut.h>
#include <GL/glu.h>
#include <sys/stat.h>

#include <array>
#include <chrono>
#include <cmath>
#include <regex>
#include <set>

#include "game/field_frame.h"
#include "game/obstacle_field.h"
#include "platform/platform.h"
#include "render/block_mesh.h"
#include "render/scene.h"
#include "render/sphere_mesh.h"
#include "render/title_screen.h"
#include "sound/sound_player.h"
#include "tests/support/gl_call_log.h"
#include "tests/support/gl_context.h"
#include "tests/support/sound_recorder.h"
#include "tests/vector_font_test_files.h"

namespace {

using Log = std::vector<std::string>;
using Floats = std::vector<float>;
using Corner = std::array<float, 8>;             // x, y, z, texture s, t, colour r, g, b
using Rows = std::vector<std::array<float, 7>>;  // glyphs, colour (-1 the title's), x, y, z, scale x, y

// clang-format off
Floats gameState() {
  return {float(isPlaying), float(promptVisible), float(blinkTicks), elapsedTime, bestTime, playerPos.x,
      playerPos.y, playerPos.z, playerRoll, float(steerButton), float(buttonState), cameraEye.x, cameraEye.y,
      cameraEye.z, cameraCenter.x, cameraCenter.y, cameraCenter.z, cameraUp.x, cameraUp.y, cameraUp.z,
      forwardStep, steerStep, rollStep, cameraRollStep, viewDepth, float(trackHalfWidth), float(trackNearZ),
      float(trackFarZ), hitRadius};
}
const Floats stateAtLoad = gameState(), kStartValues = {0, 1, 0, 0, 0, 0, 4, 2.9f, 0, 0, 1, 0, 0, -5, 0, 0, 0,
    0, 1, 0, 1.2f, 0.6f, 3, 0.02f, 130, 140, 10, -250, 0.5f};
const float kPalette[14][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {1, 0, 1}, {0, 1, 1},
    {1, 1, 1}, {0.25f, 0.25f, 0.25f}, {0.6f, 0.4f, 0.7f}, {0.98f, 0.625f, 0.12f}, {0.98f, 0.04f, 0.7f},
    {0.75f, 0.75f, 0.75f}, {0.6f, 0.4f, 0.12f}};
// Steering: x, roll, up.x; button (+10 up, +1000/+2000 arrow down/up); ticks; x, roll, up.x; sound (-1 title)
constexpr int kDown = 1000, kUp = 2000, kLeft = GLUT_KEY_LEFT, kRight = GLUT_KEY_RIGHT;
const std::array<float, 9> kSteering[] = {{0, 0, 0, 0, 1, -0.6f, 3, -0.02f, 1},
    {0, 0, 0, 2, 1, 0.6f, -3, 0.02f, 1}, {0, 0, 0, kDown + kLeft, 16, -9.6f, 36, -0.32f, 1},
    {0, 0, 0, kDown + kRight, 67, 40.2f, -36, 0.32f, 1}, {0, 0, 0, 2, 68, 39.6f, -36, 0.32f, 1},
    {41, 36, -0.32f, 2, 1, 40.4f, 36, -0.32f, 1}, {-41, -36, 0.32f, 0, 1, -40.4f, -36, 0.32f, 1},
    {5, 2, 0.03f, 10, 1, 5, 0, 0, 0}, {5, -2, -0.03f, 12, 1, 5, 0, 0, 0}, {5, 1.5f, -0.02f, 1, 1, 5, 0, 0, 0},
    {5, -1.5f, 0.02f, 3, 1, 5, 0, 0, 0}, {5, 36, 0.32f, 10, 12, 5, 0, 0.08f, 0},
    {0, 0, 0, kDown + kLeft, 0, 0, 0, 0, 1}, {-40, 0, 0, 0, 1, -40, 3, -0.02f, 1}, {40, 0, 0, 2, 1, 40, -3, 0.02f, 1}, {5, 2.5f, 0.035f, kUp + kLeft, 1, 5, -0.5f, 0.015f, 0}, {5, 9, 0.1f, 0, 1, 5, 9, 0.1f, -1},
    {5, -2.5f, -0.035f, kUp + kRight, 1, 5, 0.5f, -0.015f, 0}};
// Obstacle roll: angle and speed, then the angles of the next frames.
const std::tuple<int, float, std::vector<int>> kRolls[] = {{1, 9, {10, 19, 28, 19, 10, 1, -8, -17, -26, -17}},
    {18, 1.2f, {19, 20, 18, 16}}, {-19, -1.2f, {-20, -18, -16}}, {20, 0.6f, {19, 18}}, {-1, -1.2f, {-2, -3}}};
// Collision: the hit point's offset from the block's centre (3, -16), a hit or not; clock, best, best after.
const std::array<float, 6> kHits[] = {{1, 0, 1, 7, 5, 7}, {-1, 0, 1, 7, 5, 7}, {0, 1, 1, 7, 5, 7},
    {0, -1, 1, 7, 5, 7}, {0.5f, 0.75f, 1, 7, 5, 7}, {1.25f, 0, 0, 7, 5, 5}, {-1.25f, 0, 0, 7, 5, 5},
    {0, 1.25f, 0, 7, 5, 5}, {0, -1.25f, 0, 7, 5, 5}, {0.75f, 0.75f, 0, 7, 5, 5}, {0, 0, 1, 2, 5, 5},
    {0, 0, 1, 5, 5, 5}};
// The scene's quads (corners, texture coordinates, colours); the block's corners, faces and normals.
const std::vector<Corner> kGround = {{-140, 0, 10, 0, 0, 1}, {140, 0, 10, 10, 0, 1},
    {140, 0, -250, 10, 10, 1}, {-140, 0, -250, 0, 10, 1}}, kWall = {{-140, 0, -167.1f, 0, 0, 0, 0, 1},
    {140, 0, -167.1f, 1, 0, 0, 0, 1}, {140, 65, -167.1f, 1, 1, 0, 0, 1}, {-140, 65, -167.1f, 0, 1, 0, 0, 1}},
    kBoards = {{-5, 20, -50, 0, 0, 1}, {5, 20, -50, 1, 0, 1}, {5, 28, -50, 1, 1, 1}, {-5, 28, -50, 0, 1, 1},
    {-37.5f, 20, -50, 0, 0, 1}, {-20, 20, -50, 1, 0, 1}, {-20, 28, -50, 1, 1, 1}, {-37.5f, 28, -50, 0, 1, 1}};
const float kBox[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}, {0, 2, 0}, {1, 2, 0}, {1, 2, 1},
    {0, 2, 1}}, kNormals[6][3] = {{0, -1, 0}, {0, 1, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 0, -1}, {1, 0, 0}},
    kCornerST[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
const int kFaces[6][4] = {{3, 0, 1, 2}, {4, 7, 6, 5}, {2, 6, 7, 3}, {3, 7, 4, 0}, {0, 4, 5, 1}, {1, 5, 6, 2}};
// Text rows: glyphs, colour (-1: the title's), place x, y, z, scale x, y.
const std::array<float, 7> kTitle = {7, -1, -3.55f, 3, -10, 1.7f, 1.7f},
    kPrompt = {11, 7, -2.9f, -2.6f, -10, 0.5f, 0.5f}, kCredit = {10, 7, -0.65f, -1.6f, -3, 0.05f, 0.05f};
const Rows kHud = {{4, 0, -0.05f, 1.6f, -3, 0.05f, 0.05f}, {4, 0, -0.13f, 1.4f, -3, 0.11f, 0.18f},
    {10, 0, -1.97f, 1.6f, -3, 0.05f, 0.05f}, {5, 0, -1.96f, 1.4f, -3, 0.13f, 0.18f},
    {4, 0, -1.41f, 1.33f, -3, 0.07f, 0.07f}, {10, 0, -0.65f, -1.6f, -3, 0.05f, 0.05f}};
// clang-format on
const std::string kTickLog = ::testing::TempDir() + "game_test_ticks", kFrameLog = kTickLog + "_frames";
int redraws = 0, polygons = 0, outlines = 0;  // frames GLUT asked for; primitives filled and outlined

Log sounds() { return soundRecorder().take(); }
Log music(const std::string& name) {
  return {"Stream_Stop(stream)", "Stream_Close(stream)", "Stream_Open(sounds\\" + name + ".wav, 2, 0, 0)",
          "Stream_Play(-1, stream)", "SetVolume(7, 255)"};
}
std::string fileText(const std::string& path) {
  return {std::istreambuf_iterator<char>(std::ifstream(path).rdbuf()), {}};
}
void loopUntil(const std::function<bool()>& done) {  // GLUT's event loop, for at most about 5 s
  for (int i = 0; i < 500 && !done(); i++) glutMainLoopEvent(), usleep(10000);
}
float bandX(int i, int outer) {  // 0-39 right of the centre line, 40-79 left; the outer ten of each wider
  const int x = std::rand() % (i < 10 || i >= 70 ? outer : 50);
  return float(i < 40 ? x : -x);
}
int openWindow() {  // once, with the measurement logs on
  std::remove(kFrameLog.c_str()), std::remove(kTickLog.c_str());
  setenv("ZARNOK_TICK_LOG", kTickLog.c_str(), 1), setenv("ZARNOK_FRAME_LOG", kFrameLog.c_str(), 1);
  int argc = 1;
  char name[] = "game_test", *argv[] = {name, nullptr};
  glutInit(&argc, argv), glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
  const int window = glutCreateWindow("game_test");
  return glutDisplayFunc([] { redraws++; }), window;
}
void ortho(double w, double d) {  // the view for reading back: x across, y up, from +z
  glMatrixMode(GL_PROJECTION), glLoadIdentity(), glOrtho(-w, w, -0.75 * w, 0.75 * w, -d, d);
  glMatrixMode(GL_MODELVIEW), glLoadIdentity(), glTexCoord2f(0, 0), glColor3f(1, 1, 1);
}
std::set<Corner> rounded(std::vector<Corner> corners) {  // to a thousandth
  for (Corner& c : corners)
    for (float& f : c) f = std::round(f * 1000) / 1000 + 0.0f;
  return {corners.begin(), corners.end()};
}
// The corners draw() sends, in the frame of the model-view matrix at the call (or of the eye).
std::set<Corner> cornersDrawn(const std::function<void()>& draw, bool eye = false) {
  GLdouble view[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, projection[16], x, y, z;
  GLint viewport[4];
  if (!eye) glGetDoublev(GL_MODELVIEW_MATRIX, view);
  glGetDoublev(GL_PROJECTION_MATRIX, projection), glGetIntegerv(GL_VIEWPORT, viewport);
  std::vector<Corner> corners;
  for (const FeedbackItem& item : captureFeedback(draw)) {
    (item.kind == FeedbackItem::Polygon ? polygons : outlines)++;
    for (const FeedbackVertex& v : item.vertices) {
      gluUnProject(v.x, v.y, v.z, view, projection, viewport, &x, &y, &z);
      corners.push_back({float(x), float(y), float(z), v.s, v.t, v.r, v.g, v.b});
    }
  }
  return rounded(corners);
}
GLint glInteger(GLenum what) {
  GLint value;
  return glGetIntegerv(what, &value), value;
}
// drawText writes these rows and nothing else, two triangles a glyph; the first glyph spans its row's place
// minus and plus its scale, in its colour.
void expectRows(const Rows& rows, int titleColour) {
  const std::set<Corner> drawn = (polygons = 0, cornersDrawn(drawText, true));
  int triangles = 0;
  for (auto [glyphs, colour, x, y, z, scaleX, scaleY] : rows) {
    const float* rgb = kPalette[colour < 0 ? titleColour : int(colour)];
    Corner low = {x - scaleX, y - scaleY, z, 0, 0, rgb[0], rgb[1], rgb[2]}, right = low, top = low;
    right[0] = top[0] = x + scaleX, top[1] = y + scaleY, triangles += 2 * int(glyphs);
    for (const Corner& c : rounded({low, right, top}))
      EXPECT_EQ(drawn.count(c), 1u) << "row at " << x << ", " << y;
  }
  EXPECT_EQ(polygons, triangles);
}

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const int window = openWindow();
    ASSERT_TRUE(window != 0 && chdir(ZARNOK_ASSET_DIR) == 0);
    setSleepFunction([](uint32_t ms) {
      soundRecorder().log("Sleep(" + std::to_string(ms) + ")");
      logGlCallEvent("Sleep(" + std::to_string(ms) + ")");
    });
    restoreInitialGameState(), soundRecorder().reset(), initGame();
  }
  void TearDown() override { shutdownGame(), setSleepFunction(nullptr); }
};

TEST_F(GameTest, LoadAndRestoreGiveTheStartValues) {
  EXPECT_EQ(stateAtLoad, kStartValues);
  GLfloat clear[4] = {9, 9, 9, 9};
  EXPECT_EQ((glGetFloatv(GL_COLOR_CLEAR_VALUE, clear), Floats(clear, clear + 4)), Floats({0, 0, 0, 0}));
  isPlaying = true, promptVisible = false, blinkTicks = 3, elapsedTime = bestTime = playerRoll = 9;
  playerPos = cameraEye = cameraCenter = cameraUp = {7, 7, 7}, steerButton = buttonState = 5;
  Obstacle* field[OBSTACLE_COUNT];
  SoundPlayer* player = (std::copy(obstacles, obstacles + OBSTACLE_COUNT, field), soundPlayer);
  restoreInitialGameState();
  EXPECT_EQ(gameState(), kStartValues);
  std::copy(field, field + OBSTACLE_COUNT, obstacles), soundPlayer = player;  // for the clean-up
}

TEST(GameDeathTest, EscapeEndsTheProgramWithMinusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(keyPressed(27, 0, 0), ::testing::ExitedWithCode(255), "");
}

TEST_F(GameTest, CallbacksAskForARedrawOtherKeysDoNothingElseTheTimerRearmsAndF11TogglesFullScreen) {
  loopUntil([] { return redraws > 0; });  // the window is shown; the first test to tick the timer
  for (auto act : {+[] { keyPressed('a', 0, 0); }, +[] { mouseButton(1, 0, 0, 0); }, +[] { timerTick(0); }}) {
    redraws = 0, act(), loopUntil([] { return redraws > 0; });
    EXPECT_EQ(redraws + isPlaying, 1);
  }
  loopUntil([] { return elapsedTime > 0.15f; });
  EXPECT_NEAR(elapsedTime, 0.2, 1e-6) << "the timer ticks again by itself";
  redraws = 0, idleTick(), loopUntil([] { return redraws > 0; });
  EXPECT_EQ(std::regex_replace(fileText(kTickLog), std::regex("\\d+\n"), "tick ") + std::to_string(redraws),
            "tick 1");
  std::vector<int> full;
  for (int on : {1, 0})
    specialKeyPressed(GLUT_KEY_F11, 0, 0), loopUntil([=] { return glutGet(GLUT_FULL_SCREEN) == on; }),
        full.push_back(glutGet(GLUT_FULL_SCREEN));
  EXPECT_EQ(full, std::vector<int>({1, 0}));
}

TEST_F(GameTest, ClockRunsAlwaysThePromptBlinksEveryFifthTickOnTheTitleScreenAndSpaceStartsARound) {
  std::vector<bool> shown;  // 17 ticks on the title screen, 9 in a round, 3 on the title screen again
  for (int tick = 1; tick <= 29; tick++) {
    isPlaying = tick > 17 && tick <= 26, timerTick(0);
    shown.push_back(promptVisible == (tick <= 17 ? tick / 5 % 2 == 0 : tick == 29));
  }
  EXPECT_EQ(shown, std::vector<bool>(29, true));
  EXPECT_EQ(Floats({float(blinkTicks), std::round(elapsedTime * 10)}), Floats({0, 29}));
  for (int press = 0; press < 2; press++) {  // a new round, then SPACE during it
    elapsedTime = 7.3f, sounds(), keyPressed(' ', 0, 0);
    EXPECT_EQ(Floats({float(isPlaying), elapsedTime, float(soundPlayer->musicMode)}), Floats({1, 0, 1}));
    EXPECT_EQ(sounds(), music("bgm_game"));
  }
}

TEST_F(GameTest, ButtonsAndArrowsSteerWithinBandsWithTheirSoundAndReleasesComeBackUprightThroughDeadZones) {
  const Log sound = {"Sample_Load(-1, sounds\\move.wav, 304, 0, 0)", "PlaySound(-1, sample)",
                     "SetVolume(7, 50)"};
  for (auto [x, roll, up, event, ticks, toX, toRoll, toUp, held] : kSteering) {
    const int e = int(event);
    if (e < kDown) mouseButton(e % 10, e / 10, 0, 0);
    if (e >= kDown) (e < kUp ? specialKeyPressed : specialKeyReleased)(e % kDown, 0, 0);
    playerPos.x = x, playerRoll = roll, cameraUp.x = up, isPlaying = held >= 0, sounds();
    Log expected;
    for (int t = 0; t < ticks; t++) steer(), expected.insert(expected.end(), sound.begin(), sound.end());
    EXPECT_EQ(Floats({std::round(playerPos.x * 10), playerRoll, std::round(cameraUp.x * 1000)}),
              Floats({std::round(toX * 10), toRoll, std::round(toUp * 1000)}))
        << x << ", " << e;
    EXPECT_EQ(sounds(), held > 0 ? expected : Log{});
  }
}

TEST_F(GameTest, AdvanceAndReshapeStepForwardWrapFromMinus120AndTheCameraFollows) {
  for (auto [z, toZ] :
       std::vector<std::pair<float, float>>{{2.9f, 1.7f}, {-118.8f, -120}, {-120, 3}, {-120.6f, 3}}) {
    const float first = obstacles[0]->z, last = obstacles[79]->z;
    playerPos = {-6, 4, z}, advance();
    EXPECT_EQ(Floats({cameraEye.x, cameraEye.y, std::round(cameraEye.z * 10), cameraCenter.x, cameraCenter.y,
                      std::round(cameraCenter.z - cameraEye.z)}),
              Floats({-6, 4, std::round(toZ * 10), -6, 0, -25}));
    EXPECT_NEAR(obstacles[0]->z - first + obstacles[79]->z - last, (toZ == 3) * 249.6, 1e-3)
        << "the field shifts";
  }
  reshapeWindow(800, 600), reshapeWindow(1024, 0);  // the second changes nothing
  EXPECT_EQ(Floats({float(glInteger(GL_MATRIX_MODE)), std::round(playerPos.z * 10)}),
            Floats({GL_MODELVIEW, 18}));
  // However fast the loop spins, the idle callback steps no more than 60 times a second
  // (a bound that a slow machine only keeps the better).
  const auto start = std::chrono::steady_clock::now();
  for (playerPos.z = 2.9f; playerPos.z > -60;) idleTick();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took.count(), 46 / 60.0) << "53 steps of 1.2, less up to 6 made up or due at once";
}

TEST_F(GameTest, TheFieldIsPlacedFromRandInIndexOrderAndRollsTurningBeyondTwentyAndCutTowardZero) {
  for (Obstacle*& o : obstacles) delete o;
  srand(7), createObstacles(), srand(7);
  for (Obstacle* const& o : obstacles)
    EXPECT_EQ(Floats({float(o->texture), float(o->rollAngle), o->rollSpeed, o->x, o->y, o->z}),
              Floats({float(3 + rand() % 6), float(1 + rand() % 20), float((1 + rand() % 30) * 0.3),
                      bandX(int(&o - obstacles), 100), -0.2f, float(-(30 + rand() % 150))}));
  Obstacle& o = (playerPos.z = -10, *obstacles[3]);
  for (const auto& [angle, speed, angles] : kRolls) {
    std::vector<int> seen;
    o.rollAngle = angle, o.rollSpeed = speed, o.z = 5;  // exactly 15 behind the eye: not yet respawned
    while (seen.size() < angles.size()) updateObstacle(&o, 3), seen.push_back(o.rollAngle + 100 * (o.z != 5));
    EXPECT_EQ(seen, angles) << angle;
  }
  const auto edge = [](int k) { return k % 6 / 2 * 30 + 9 + k % 2; };  // 9, 10, 39, 40, 69, 70
  std::vector<float> respawned, expected;  // passed by more than 15: back far ahead, -280 to -131
  srand(5);
  for (int k = 0; k < 60; k++)
    obstacles[edge(k)]->z = 5.5f, updateObstacle(obstacles[edge(k)], edge(k)),
    respawned.insert(respawned.end(), {obstacles[edge(k)]->x, obstacles[edge(k)]->z});
  srand(5);
  for (int k = 0; k < 60; k++)
    expected.push_back(bandX(edge(k), 110)), expected.push_back(rand() % 150 - 280);
  EXPECT_EQ(respawned, expected);
}

TEST_F(GameTest, AFrameWithAHitWithinOneUnitEndsTheRoundThenRollsTheFieldAndATitleFrameDoesNeither) {
  Log crash = {"Sample_Load(-1, sounds\\crash.wav, 304, 0, 0)", "PlaySound(-1, sample)", "SetVolume(7, 255)",
               "Sleep(1000)"},
      title = music("bgm_main");
  crash.insert(crash.end(), title.begin(), title.end());
  for (auto [dx, dz, hit, elapsed, best, toBest] : kHits) {
    for (Obstacle* o : obstacles) o->z = 1000;
    *obstacles[33] = {2.5f + dx, 0, -16 + dz, 3, 0, 0}, *obstacles[34] = {2.5f, 0, -16 * hit, 3, 0, 0};
    obstacles[2]->rollAngle = 1, obstacles[2]->rollSpeed = 9, playerPos = {3, 4, -10}, playerRoll = 9;
    cameraUp.x = 0.1f, promptVisible = isPlaying = false, elapsedTime = elapsed, bestTime = best, sounds();
    displayFrame();  // a title frame: no hit test, no roll
    isPlaying = true, soundPlayer->musicMode = 1, srand(9), displayFrame();
    EXPECT_EQ(Floats({float(isPlaying), bestTime, float(obstacles[2]->rollAngle)}),
              Floats({1 - hit, toBest, 10}));
    if (!hit) continue;
    EXPECT_EQ(Floats({playerPos.x, playerPos.y, playerPos.z, elapsedTime, float(promptVisible), playerRoll}),
              Floats({0, 4, 2.9f, 0, 1, 9}));
    EXPECT_EQ((srand(9), sounds()), crash);  // then the field placed afresh in index order
    for (Obstacle* const& o : obstacles)
      EXPECT_EQ(Floats({o->x, o->z}), Floats({bandX(int(&o - obstacles), 100), float(-(30 + rand() % 150))}));
  }
  EXPECT_EQ(std::regex_replace(fileText(kFrameLog), std::regex("\\d+ \\d+ (\\d)\n"), "$1"),
            "010101010101010101010101");
}

// The calls that draw one block: each of the six faces is its own begin-end pair with
// the block's texture bound again.
Log blockMeshCalls(int texture) {
  Log calls;
  for (int face = 0; face < 6; face++) {
    calls.push_back("glBindTexture(" + std::to_string(texture) + ")");
    calls.push_back("glBegin(GL_QUADS)");
    calls.push_back("glEnd()");
  }
  return calls;
}

// What drawBlocks sends for the field as it stands after the frame: each obstacle
// placed, turned by its new angle and drawn; then the player's block.
Log blockCalls() {
  Log calls;
  for (const Obstacle* o : obstacles) {
    calls.push_back("glPushMatrix()");
    calls.push_back(glCallLine("glTranslatef", o->x, o->y, o->z));
    calls.push_back(glCallLine("glRotatef", float(o->rollAngle), 0, 0, 1));
    const Log mesh = blockMeshCalls(o->texture);
    calls.insert(calls.end(), mesh.begin(), mesh.end());
    calls.push_back("glPopMatrix()");
  }
  calls.push_back("glPushMatrix()");
  calls.push_back(glCallLine("glTranslatef", playerPos.x, 0, playerPos.z - 7));
  calls.push_back(glCallLine("glRotatef", playerRoll, 0, 0, 1));
  calls.push_back(glCallLine("glTranslatef", -0.5f, 0, 0.5f));
  const Log mesh = blockMeshCalls(3);
  calls.insert(calls.end(), mesh.begin(), mesh.end());
  calls.push_back("glPopMatrix()");
  return calls;
}

// The first line where two call logs part, or that they are the same.
void expectSameCalls(const Log& drawn, const Log& expected) {
  for (size_t i = 0; i < drawn.size() && i < expected.size(); i++)
    ASSERT_EQ(drawn[i], expected[i]) << "call " << i;
  EXPECT_EQ(drawn.size(), expected.size()) << "calls in all";
}

TEST_F(GameTest, BlocksAre81MeshCallsWithAQuadPerFace) {
  for (int i = 0; i < OBSTACLE_COUNT; i++) {
    *obstacles[i] = {float(i % 40 - 20), -0.2f, float(-40 - i), 3 + i % 6, i % 7, 2};
  }
  playerPos = {1.5f, 4, -10};
  playerRoll = 6;
  isPlaying = true;
  startGlCallLog();
  drawBlocks();
  const Log drawn = stopGlCallLog();
  expectSameCalls(drawn, blockCalls());
}

TEST_F(GameTest, CrashFrameShowsTheNewFieldUnderTheTitle) {
  for (Obstacle* o : obstacles) o->z = 1000;
  *obstacles[33] = {2.5f, -0.2f, -16, 4, 0, 0};  // in reach of the block at x 3, z -16
  playerPos = {3, 4, -10};
  isPlaying = true;
  startGlCallLog();
  displayFrame();
  const Log drawn = stopGlCallLog();
  ASSERT_FALSE(isPlaying);
  const auto pause = std::find(drawn.begin(), drawn.end(), "Sleep(1000)");
  ASSERT_NE(pause, drawn.end()) << "the pause runs inside the display callback";
  const Log afterPause(pause + 1, drawn.end());
  const Log blocks = blockCalls();
  ASSERT_GE(afterPause.size(), blocks.size());
  expectSameCalls(Log(afterPause.begin(), afterPause.begin() + long(blocks.size())), blocks);
  const std::string titlePlace = glCallLine("glTranslatef", -3.55f, 3, -10);
  EXPECT_EQ(std::count(afterPause.begin(), afterPause.end(), titlePlace), 1) << "the title text";
}

// Each idle call steps once, also when the loop has fallen behind, and leaves the hit
// test to the frame.
TEST_F(GameTest, IdleCallStepsTheWorldOnceAfterAStall) {
  idleTick();
  usleep(50000);  // three sixtieths of a second
  playerPos.z = -10;
  idleTick();
  EXPECT_FLOAT_EQ(playerPos.z, -11.2f);
}

TEST_F(GameTest, IdleCallLeavesTheHitTestToTheFrame) {
  for (Obstacle* o : obstacles) o->z = 1000;
  *obstacles[5] = {-0.5f, -0.2f, -17.2f, 3, 0, 0};  // in reach after one step from z -10
  isPlaying = true;
  idleTick();
  playerPos = {0, 4, -10};
  sounds();
  usleep(50000);  // behind by two ticks
  idleTick();
  EXPECT_TRUE(isPlaying);
  EXPECT_EQ(sounds(), Log{}) << "no crash before the frame";
}

TEST_F(GameTest, StateIsFoggedAndGroundWallBoardsAndBlockFacesShowTheirCornersTexturesAndColours) {
  ortho(400, 1000), glRotatef(45, 1, 0, 0), outlines = 0, playerPos.z = -57.1f;  // seen from above, ahead
  EXPECT_EQ(cornersDrawn(drawGround), rounded(kGround));
  GLfloat f[16] = {float(glIsEnabled(GL_TEXTURE_2D) + glIsEnabled(GL_DEPTH_TEST) + glIsEnabled(GL_FOG))};
  glGetFloatv(GL_FOG_COLOR, f + 1), glGetFloatv(GL_FOG_START, f + 5), glGetFloatv(GL_FOG_END, f + 6);
  glGetFloatv(GL_FOG_DENSITY, f + 7), glGetFloatv(GL_POLYGON_MODE, f + 8), glGetFloatv(GL_FOG_MODE, f + 10);
  glGetFloatv(GL_FOG_HINT, f + 11),
      glGetFloatv(GL_CURRENT_TEXTURE_COORDS, f + 12);  // the ground's last corner's
  EXPECT_EQ(Floats(f, f + 14),
            Floats({3, 0.85f, 0.85f, 0.65f, 1, -20, 120, 10, GL_FILL, GL_LINE, GL_LINEAR, GL_NICEST, 0, 10}));
  EXPECT_EQ(cornersDrawn(drawBackWall), rounded(kWall)) << "110 ahead of the player";
  EXPECT_EQ(cornersDrawn(drawScoreBoards, true), rounded(kBoards)) << "fixed on the screen whatever the view";
  EXPECT_EQ(outlines + glInteger(GL_MODELVIEW_STACK_DEPTH), 1);
  std::vector<Corner> block;  // each face in its colour, its corners in order with their texture coordinates
  for (int k = 0; k < 24; k++) {
    const float *p = kBox[kFaces[k / 4][k % 4]], *st = kCornerST[k % 4], *rgb = kPalette[k / 4];
    block.push_back({p[0], p[1], p[2], st[0], st[1], rgb[0], rgb[1], rgb[2]});
  }
  ortho(3, 3);
  EXPECT_TRUE(cornersDrawn([] { drawBlockMesh(5, blockVertices, blockNormals, blockFaces, 0); }).empty());
  EXPECT_EQ(cornersDrawn([] { drawBlockMesh(5, blockVertices, blockNormals, blockFaces, 6); }),
            rounded(block));
  EXPECT_EQ(glInteger(GL_TEXTURE_BINDING_2D), 5);
  const float *normals = &blockNormals[0][0], *colours = &palette[0][0];  // the tables whole
  EXPECT_EQ(Floats(normals, normals + 18), Floats(&kNormals[0][0], &kNormals[0][0] + 18));
  EXPECT_EQ(Floats(colours, colours + 42), Floats(&kPalette[0][0], &kPalette[0][0] + 42));
}

TEST_F(GameTest, TextRowsStandWhereAndAsLargeAsDesignedInTheirColoursFrameAfterFrame) {
  std::vector<TestGlyph> glyphs;
  for (int c = 33; c < 127; c++)  // the square -1..1, counter-clockwise
    glyphs.push_back({uint8_t(c), {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}}, {0, 1, 2, 0, 2, 3}, {3}});
  const std::vector<uint8_t> font = fontBytes(glyphs);
  ASSERT_EQ(mkdir((testFolder() + "/fonts").c_str(), 0755), 0);
  std::ofstream(testFolder() + "/fonts/techno1.glf") << std::string(font.begin(), font.end());
  ASSERT_EQ(chdir(testFolder().c_str()), 0);
  resetFontRegistry(), ortho(40, 20);
  std::set<int> colours;
  int frame = 1;
  for (; frame <= 100 && colours.size() < 14; frame++) {  // until every colour has come up
    const int colour = (srand(frame), rand() % 14);
    promptVisible = frame % 2, srand(frame), colours.insert(colour);
    expectRows(promptVisible ? Rows{kTitle, kPrompt, kCredit} : Rows{kTitle, kCredit}, colour);
    ASSERT_EQ(glInteger(GL_MODELVIEW_STACK_DEPTH) + glGetError(), 1u);
  }
  EXPECT_EQ(std::make_pair(colours.size(), getCurrentFont()), std::make_pair(size_t(14), 2 * frame - 3));
  isPlaying = true, elapsedTime = 12.34f, bestTime = 100;
  expectRows(kHud, 0);
}

TEST_F(GameTest, SphereFacesRunPoleToPoleFacingOutwardWithTheirTextureCoordinates) {
  ortho(2, 2);  // looking down on the north pole: only the northern half faces the eye
  const auto items = captureFeedback([] { drawSphere(1, 4, 5); });
  std::vector<Corner> ball;
  for (const FeedbackItem& item : items)
    for (const FeedbackVertex& v : item.vertices) {
      const double lon = 2 * M_PI * v.s, lat = M_PI * (v.t - 0.5);
      ball.push_back(
          {float(cos(lon) * cos(lat)), float(sin(lon) * cos(lat)), float(sin(lat)), v.s, v.t, 1, 1, 1});
      EXPECT_TRUE(item.kind != FeedbackItem::Polygon || v.z <= 0.5f + 1e-6f) << "front faces outside";
    }
  EXPECT_EQ(cornersDrawn([] { drawSphere(1, 4, 5); }), rounded(ball));
  EXPECT_EQ(rounded(ball).size() + polygonsOf(items).empty(), 30u);
  EXPECT_TRUE(captureFeedback([] { drawSphere(1, 0, 5), drawSphere(1, -2, -2); }).empty());
}

}  // namespace

// game_test.cpp -- the game logic through its own operations, in a real GLUT window,
// with the recording stand-in of the sound library (the one-second pause is logged
// into the same sequence): values at load, clock and prompt, keys and music, steering
// and forward motion, the field's random places and roll, the hit test and round end.
#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "game/collision.h"
#include "game/game_state.h"
#include "game/obstacle_field.h"
#include "platform/platform.h"
#include "sound/sound_player.h"
#include "tests/support/sound_recorder.h"

namespace {

using Log = std::vector<std::string>;
using Floats = std::vector<float>;

Floats gameState() {
  return {float(isPlaying),   float(promptVisible),
          float(blinkTicks),  elapsedTime,
          bestTime,           playerPos.x,
          playerPos.y,        playerPos.z,
          playerRoll,         float(steerButton),
          float(buttonState), cameraEye.x,
          cameraEye.y,        cameraEye.z,
          cameraCenter.x,     cameraCenter.y,
          cameraCenter.z,     cameraUp.x,
          cameraUp.y,         cameraUp.z,
          forwardStep,        steerStep,
          rollStep,           cameraRollStep,
          viewDepth,          float(trackHalfWidth),
          float(trackNearZ),  float(trackFarZ),
          hitRadius};
}
const Floats stateAtLoad = gameState();  // before any test has run
const Floats kStartValues = {0, 1, 0, 0, 0, 0,    4,    2.9f, 0,     0,   1,   0,  0,    -5,  0,
                             0, 0, 0, 1, 0, 1.2f, 0.6f, 3,    0.02f, 130, 140, 10, -250, 0.5f};

Floats xyz(const Vec3& v) { return {v.x, v.y, v.z}; }
Log sounds() { return soundRecorder().take(); }
Log music(const std::string& name) {
  return {"Stream_Stop(stream)", "Stream_Close(stream)", "Stream_Open(sounds\\" + name + ".wav, 2, 0, 0)",
          "Stream_Play(-1, stream)", "SetVolume(7, 255)"};
}

// The lateral place drawn for index i: right of the centre line for 0-39, left for
// 40-79; over 50 units in the inner bands, `outer` units in the outer ones.
float bandX(int i, int outer) {
  const int x = std::rand() % (i < 10 || i >= 70 ? outer : 50);
  return float(i < 40 ? x : -x);
}

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const int window = [] {
      int argc = 1;
      char name[] = "game_test", *argv[] = {name, nullptr};
      glutInit(&argc, argv);
      glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
      glutInitWindowSize(1024, 768);
      return glutCreateWindow("game_test");
    }();
    ASSERT_NE(window, 0);
    ASSERT_EQ(chdir(ZARNOK_ASSET_DIR), 0);
    restoreInitialGameState();
    soundRecorder().reset();
    setSleepFunction([](uint32_t ms) { soundRecorder().log("Sleep(" + std::to_string(ms) + ")"); });
    initGame();
  }
  void TearDown() override {
    shutdownGame();
    setSleepFunction(nullptr);
  }
};

TEST_F(GameTest, LoadAndRestoreGiveTheStartValuesAndStartUpPlaysTheTitleMusic) {
  EXPECT_EQ(stateAtLoad, kStartValues);
  const Log log = sounds(), titleMusic = music("bgm_main");
  EXPECT_EQ(Log(log.end() - 3, log.end()), Log(titleMusic.begin() + 2, titleMusic.end()));
  for (Obstacle* o : obstacles) EXPECT_EQ(o->y, -0.2f);
  isPlaying = true, promptVisible = false, blinkTicks = 3, elapsedTime = bestTime = playerRoll = 9;
  playerPos = cameraEye = cameraCenter = cameraUp = {7, 7, 7};
  steerButton = buttonState = 5;
  Obstacle* field[OBSTACLE_COUNT];
  std::copy(obstacles, obstacles + OBSTACLE_COUNT, field);
  SoundPlayer* player = soundPlayer;
  restoreInitialGameState();
  EXPECT_EQ(gameState(), kStartValues);
  EXPECT_EQ(std::count(obstacles, obstacles + OBSTACLE_COUNT, nullptr) + (soundPlayer == nullptr), 81);
  std::copy(field, field + OBSTACLE_COUNT, obstacles);  // for the clean-up
  soundPlayer = player;
}

TEST(GameDeathTest, EscapeEndsTheProgramWithMinusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(keyPressed(27, 0, 0), ::testing::ExitedWithCode(255), "");
}

TEST_F(GameTest, ClockRunsAlwaysAndThePromptBlinksEveryFifthTickOnTheTitleScreenOnly) {
  for (int tick = 1; tick <= 17; tick++) {
    timerTick(0);
    EXPECT_EQ(promptVisible, tick / 5 % 2 == 0) << tick;
    EXPECT_NEAR(elapsedTime, 0.1 * tick, 1e-4);
  }
  isPlaying = true;
  for (int tick = 0; tick < 9; tick++) timerTick(0);
  EXPECT_EQ(blinkTicks, 2);
  EXPECT_NEAR(elapsedTime, 2.6, 1e-4);
  isPlaying = false;
  for (bool shown : {false, false, true}) {
    timerTick(0);
    EXPECT_EQ(promptVisible, shown);
  }
}

TEST_F(GameTest, SpaceStartsOrRestartsARoundWithTheGameMusicAndOtherKeysChangeNothing) {
  sounds();
  elapsedTime = 7.3f;
  for (int key : {97, 13, 200}) keyPressed((unsigned char)key, 0, 0);
  EXPECT_EQ(Floats({float(isPlaying), elapsedTime}), Floats({0, 7.3f}));
  EXPECT_EQ(sounds(), Log{});
  for (int press = 0; press < 2; press++) {  // a new round, then SPACE during it
    elapsedTime = 7.3f;
    keyPressed(' ', 0, 0);
    EXPECT_TRUE(isPlaying);
    EXPECT_EQ(elapsedTime, 0.0f);
    EXPECT_EQ(soundPlayer->musicMode, 1);
    EXPECT_EQ(sounds(), music("bgm_game"));
  }
  soundPlayer->musicMode = 2;  // names no music: it stays stopped
  switchMusic();
  Log stop = music("");
  stop.resize(2);
  EXPECT_EQ(sounds(), stop);
}

TEST_F(GameTest, ButtonsAndArrowKeysRecordTheSteeringButton) {
  const struct {
    std::function<void()> event;
    int held, button;
  } events[] = {{[] { mouseButton(0, 0, 9, 9); }, 0, 0},
                {[] { mouseButton(2, 0, 9, 9); }, 0, 2},
                {[] { mouseButton(0, 1, 9, 9); }, -1, -1},
                {[] { mouseButton(0, 0, 9, 9); }, 0, 0},
                {[] { mouseButton(1, 0, 9, 9); }, -1, -1},
                {[] { mouseButton(2, 0, 9, 9); }, 0, 2},
                {[] { mouseButton(3, 0, 9, 9); }, -1, -1},
                {[] { specialKeyPressed(GLUT_KEY_RIGHT, 0, 0); }, 0, 2},
                {[] { specialKeyPressed(GLUT_KEY_UP, 0, 0); }, 0, 2},
                {[] { specialKeyReleased(GLUT_KEY_LEFT, 0, 0); }, -1, -1},
                {[] { specialKeyPressed(GLUT_KEY_LEFT, 0, 0); }, 0, 0},
                {[] { specialKeyReleased(GLUT_KEY_RIGHT, 0, 0); }, -1, -1}};
  for (const auto& e : events) {
    e.event();
    EXPECT_EQ(Floats({float(buttonState), float(steerButton)}), Floats({float(e.held), float(e.button)}))
        << &e - events;
  }
}

TEST_F(GameTest, AHeldButtonSteersBanksAndRollsTheCameraWithinTheirBandsWithTheSteeringSound) {
  const struct {
    float x, roll, up;
    int button, ticks;
    float toX, toRoll, toUp;
  } cases[] = {{0, 0, 0, 0, 1, -0.6f, 3, -0.02f},         {0, 0, 0, 2, 1, 0.6f, -3, 0.02f},
               {0, 0, 0, 0, 16, -9.6f, 36, -0.32f},       {0, 0, 0, 2, 67, 40.2f, -36, 0.32f},
               {0, 0, 0, 2, 68, 39.6f, -36, 0.32f},       {0, 0, 0, 0, 67, -40.2f, 36, -0.32f},
               {41, 36, -0.32f, 2, 1, 40.4f, 36, -0.32f}, {-41, -36, 0.32f, 0, 1, -40.4f, -36, 0.32f}};
  const Log sound = {"Sample_Load(-1, sounds\\move.wav, 304, 0, 0)", "PlaySound(-1, sample)",
                     "SetVolume(7, 50)"};
  isPlaying = true;
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    playerPos.x = c.x, playerRoll = c.roll, cameraUp.x = c.up;
    mouseButton(c.button, 0, 0, 0);
    sounds();
    Log expected;
    for (int tick = 0; tick < c.ticks; tick++)
      steer(), expected.insert(expected.end(), sound.begin(), sound.end());
    EXPECT_NEAR(playerPos.x, c.toX, 1e-3);
    EXPECT_EQ(playerRoll, c.toRoll);
    EXPECT_NEAR(cameraUp.x, c.toUp, 1e-5);
    EXPECT_EQ(sounds(), expected);
  }
  isPlaying = false;  // the title screen: a held button does nothing
  const Floats before = gameState();
  steer();
  EXPECT_EQ(gameState(), before);
  EXPECT_EQ(sounds(), Log{});
}

TEST_F(GameTest, ReleaseBringsBankAndCameraUprightThroughDeadZonesOnBothSides) {
  const struct {
    float roll, up, toRoll, toUp;
  } cases[] = {{2, 0.03f, 0, 0},
               {-2, -0.03f, 0, 0},
               {1.5f, -0.025f, 0, 0},
               {-1.5f, 0.025f, 0, 0},
               {2.5f, 0.035f, -0.5f, 0.015f},
               {-2.5f, -0.035f, 0.5f, -0.015f},
               {36, 0.32f, 33, 0.3f},
               {-36, -0.32f, -33, -0.3f}};
  isPlaying = true, playerPos.x = 5;
  mouseButton(1, 0, 0, 0);
  sounds();
  for (const auto& c : cases) {
    playerRoll = c.roll, cameraUp.x = c.up;
    steer();
    EXPECT_EQ(playerRoll, c.toRoll) << &c - cases;
    EXPECT_NEAR(cameraUp.x, c.toUp, 1e-6) << &c - cases;
  }
  playerRoll = 36, cameraUp.x = 0.32f;
  for (int tick = 1; tick <= 16; tick++) {
    steer();
    EXPECT_EQ(std::vector<bool>({playerRoll == 0, cameraUp.x == 0}),
              std::vector<bool>({tick >= 12, tick >= 16}))
        << tick;
  }
  EXPECT_EQ(playerPos.x, 5);
  EXPECT_EQ(sounds(), Log{});
}

TEST_F(GameTest, AdvanceStepsForwardWrapsFromMinus120AndTheCameraFollows) {
  const struct { float z, toZ; } cases[] = {{2.9f, 1.7f}, {-118.8f, -120}, {-120, 3}, {-120.6f, 3}};
  for (const auto& c : cases) {
    Floats zs;
    for (Obstacle* o : obstacles) zs.push_back(o->z);
    playerPos = {-6, 4, c.z};
    srand(5);
    advance();
    EXPECT_NEAR(playerPos.z, c.toZ, 1e-4);
    EXPECT_EQ(xyz(cameraEye), xyz(playerPos));
    EXPECT_EQ(xyz(cameraCenter), Floats({-6, 0, playerPos.z - 25}));
    for (int i = 0; i < OBSTACLE_COUNT; i++) EXPECT_NEAR(obstacles[i]->z, zs[i] + (c.toZ == 3) * 124.8, 1e-3);
    const int next = rand();
    EXPECT_EQ((srand(5), rand()), next) << "the wrap draws no random number";
  }
}

TEST_F(GameTest, IdleTickAndReshapeEachMoveTheWorldOneStepAndReshapeSetsTheProjection) {
  isPlaying = true;
  mouseButton(2, 0, 0, 0);
  idleTick();
  EXPECT_EQ(Floats({playerPos.x, playerPos.z, cameraEye.z}), Floats({0.6f, 2.9f - 1.2f, playerPos.z}));
  reshapeWindow(800, 600);
  EXPECT_NEAR(playerPos.z, 0.5, 1e-5);
  GLint viewport[4], mode;
  glGetIntegerv(GL_VIEWPORT, viewport);
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), std::vector<GLint>({0, 0, 800, 600}));
  EXPECT_EQ(mode, GL_MODELVIEW);
  GLdouble p[16];
  glGetDoublev(GL_PROJECTION_MATRIX, p);
  const double f = std::sqrt(3.0);  // cot 30 degrees; aspect 4:3, near 0.1, far 500
  const double expected[] = {f * 0.75, f, -500.1 / 499.9, -1, -100 / 499.9},
               actual[] = {p[0], p[5], p[10], p[11], p[14]};
  for (int i = 0; i < 5; i++) EXPECT_NEAR(actual[i], expected[i], 1e-6) << i;
  reshapeWindow(1024, 0);
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(Floats({float(viewport[2]), playerPos.z}), Floats({800, 0.5f}));
}

TEST_F(GameTest, TheFieldIsPlacedAndRespawnedFromRandInIndexOrder) {
  for (Obstacle*& o : obstacles) delete o;
  srand(7), createObstacles();
  auto fields = [](const Obstacle& o) {
    return Floats{float(o.texture), float(o.rollAngle), o.rollSpeed, o.x, o.y, o.z};
  };
  srand(7);
  for (int i = 0; i < OBSTACLE_COUNT; i++)
    EXPECT_EQ(fields(*obstacles[i]),
              (Floats{float(3 + rand() % 6), float(1 + rand() % 20), float((1 + rand() % 30) * 0.3),
                      bandX(i, 100), -0.2f, float(-(30 + rand() % 150))}))
        << i;
  std::vector<Obstacle> expected;
  for (Obstacle* o : obstacles) expected.push_back(*o);
  srand(8);
  for (int i = 0; i < OBSTACLE_COUNT; i++) respawnObstacle(obstacles[i], i);
  srand(8);
  for (int i = 0; i < OBSTACLE_COUNT; i++) {
    expected[i].x = bandX(i, 110), expected[i].z = float(rand() % 150 - 280);
    EXPECT_EQ(fields(*obstacles[i]), fields(expected[i])) << i;
  }
}

TEST_F(GameTest, ObstaclesRollTurnBeyondTwentyCutTowardZeroAndRespawnMoreThanFifteenBehind) {
  const struct {
    int angle;
    float speed;
    std::vector<int> angles;
  } rolls[] = {{1, 9, {10, 19, 28, 19, 10, 1, -8, -17, -26, -17}},
               {18, 1.2f, {19, 20, 18, 16}},
               {-19, -1.2f, {-20, -18, -16}},
               {20, 0.6f, {19, 18}},
               {5, 0.9f, {5, 5}},
               {-1, -1.2f, {-2, -3}}};
  Obstacle& o = *obstacles[3];
  playerPos.z = -10;
  for (const auto& r : rolls) {
    o.rollAngle = r.angle, o.rollSpeed = r.speed, o.z = -20;
    for (int expected : r.angles) {
      updateObstacle(&o, 3);
      EXPECT_EQ(o.rollAngle, expected) << r.angle;
    }
  }
  for (float z : {5.0f, 5.5f}) {  // exactly 15 behind the eye, then beyond
    o.z = z;
    updateObstacle(&o, 3);
    EXPECT_EQ(o.z == z, z == 5.0f);
    EXPECT_LE(o.z, z == 5.0f ? 5.0f : -131.0f);
  }
}

TEST_F(GameTest, AHitWithinOneUnitOfTheBlockCentreEndsTheRound) {
  const struct {
    float dx, dz;
    bool hit;
  } cases[] = {{1, 0, true},        {-1, 0, true},        {0, 1, true},       {0, -1, true},
               {0.5f, 0.75f, true}, {1.25f, 0, false},    {-1.25f, 0, false}, {0, 1.25f, false},
               {0, -1.25f, false},  {0.75f, 0.75f, false}};
  for (const auto& c : cases) {
    for (Obstacle* o : obstacles) o->z = 1000;
    isPlaying = true, playerPos = {3, 4, -10};
    obstacles[33]->x = 2.5f + c.dx, obstacles[33]->z = -16 + c.dz;  // the block's centre is at (3, -16)
    checkCollisions();
    EXPECT_EQ(isPlaying, !c.hit) << c.dx << ", " << c.dz;
  }
}

TEST_F(GameTest, AFrameWithAHitEndsTheRoundThenRollsTheFieldAndATitleFrameDoesNeither) {
  const struct { float elapsed, best, toBest; } cases[] = {{5, 2, 5}, {2, 5, 5}};
  for (const auto& c : cases) {
    for (int i : {0, 1}) obstacles[i]->x = 2.5f, obstacles[i]->z = -16;
    obstacles[2]->rollAngle = 1, obstacles[2]->rollSpeed = 9;
    playerPos = {3, 4, -10}, playerRoll = 9, cameraUp.x = 0.1f, promptVisible = false;
    elapsedTime = c.elapsed, bestTime = c.best;
    isPlaying = false;  // a title frame: no hit, no roll, no sound
    sounds();
    displayFrame();
    EXPECT_EQ(Floats({playerPos.x, float(obstacles[2]->rollAngle)}), Floats({3, 1}));
    EXPECT_EQ(sounds(), Log{});
    isPlaying = true, soundPlayer->musicMode = 1;
    srand(9);
    displayFrame();
    EXPECT_EQ(gameState(), (Floats{0,
                                   1,
                                   0,
                                   0,
                                   c.toBest,
                                   0,
                                   4,
                                   2.9f,
                                   9,
                                   float(steerButton),
                                   float(buttonState),
                                   cameraEye.x,
                                   cameraEye.y,
                                   cameraEye.z,
                                   cameraCenter.x,
                                   cameraCenter.y,
                                   cameraCenter.z,
                                   0.1f,
                                   1,
                                   0,
                                   1.2f,
                                   0.6f,
                                   3,
                                   0.02f,
                                   130,
                                   140,
                                   10,
                                   -250,
                                   0.5f}));
    EXPECT_EQ(soundPlayer->musicMode, 0);
    Log expected = {"Sample_Load(-1, sounds\\crash.wav, 304, 0, 0)", "PlaySound(-1, sample)",
                    "SetVolume(7, 255)", "Sleep(1000)"};
    for (const std::string& call : music("bgm_main")) expected.push_back(call);
    EXPECT_EQ(sounds(), expected);
    srand(9);
    for (int j = 0; j < OBSTACLE_COUNT; j++)
      EXPECT_EQ(Floats({obstacles[j]->x, obstacles[j]->z}),
                Floats({bandX(j, 100), float(-(30 + rand() % 150))}))
          << j;
    EXPECT_EQ(obstacles[2]->rollAngle, 10);
    GLint depth;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  }
}

}  // namespace

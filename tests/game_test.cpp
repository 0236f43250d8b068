// game_test.cpp -- the game logic in a real GLUT window over the recording stand-in of
// the sound library (the crash pause is logged into the same sequence).
#include <GL/freeglut.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <fstream>
#include <functional>
#include <regex>

#include "game/collision.h"
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
const Floats stateAtLoad = gameState(),
             kStartValues = {0, 1, 0, 0, 0, 0,    4,    2.9f, 0,     0,   1,   0,  0,    -5,  0,
                             0, 0, 0, 1, 0, 1.2f, 0.6f, 3,    0.02f, 130, 140, 10, -250, 0.5f};
const std::string kTickLog = ::testing::TempDir() + "game_test_ticks", kFrameLog = kTickLog + "_frames";
int redraws = 0;  // frames GLUT has asked for

Log sounds() { return soundRecorder().take(); }
Log music(const std::string& name) {
  return {"Stream_Stop(stream)", "Stream_Close(stream)", "Stream_Open(sounds\\" + name + ".wav, 2, 0, 0)",
          "Stream_Play(-1, stream)", "SetVolume(7, 255)"};
}
std::string fileText(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), {}};
}
void loopUntil(const std::function<bool()>& done) {  // GLUT's event loop, for at most about 5 s
  for (int i = 0; i < 500 && !done(); i++) glutMainLoopEvent(), usleep(10000);
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
      std::remove(kFrameLog.c_str());
      setenv("ZARNOK_TICK_LOG", kTickLog.c_str(), 1), setenv("ZARNOK_FRAME_LOG", kFrameLog.c_str(), 1);
      int argc = 1;
      char name[] = "game_test", *argv[] = {name, nullptr};
      glutInit(&argc, argv);
      glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
      const int id = glutCreateWindow("game_test");
      glutDisplayFunc([] { redraws++; });
      return id;
    }();
    ASSERT_NE(window, 0);
    ASSERT_EQ(chdir(ZARNOK_ASSET_DIR), 0);
    restoreInitialGameState();
    soundRecorder().reset();
    setSleepFunction([](uint32_t ms) { soundRecorder().log("Sleep(" + std::to_string(ms) + ")"); });
    initGame();
  }
  void TearDown() override { shutdownGame(), setSleepFunction(nullptr); }
};

TEST_F(GameTest, LoadAndRestoreGiveTheStartValuesAndStartUpPlaysTheTitleMusic) {
  EXPECT_EQ(stateAtLoad, kStartValues);
  const Log log = sounds(), title = music("bgm_main");
  EXPECT_EQ(Log(log.end() - 3, log.end()), Log(title.begin() + 2, title.end()));
  isPlaying = true, promptVisible = false, blinkTicks = 3, elapsedTime = bestTime = playerRoll = 9;
  playerPos = cameraEye = cameraCenter = cameraUp = {7, 7, 7};
  steerButton = buttonState = 5;
  Obstacle* field[OBSTACLE_COUNT];
  std::copy(obstacles, obstacles + OBSTACLE_COUNT, field);
  SoundPlayer* player = soundPlayer;
  restoreInitialGameState();
  EXPECT_EQ(gameState(), kStartValues);
  EXPECT_EQ(std::count(obstacles, obstacles + OBSTACLE_COUNT, nullptr) + (soundPlayer == nullptr), 81);
  std::copy(field, field + OBSTACLE_COUNT, obstacles), soundPlayer = player;  // for the clean-up
}

TEST(GameDeathTest, EscapeEndsTheProgramWithMinusOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(keyPressed(27, 0, 0), ::testing::ExitedWithCode(255), "");
}

// The first test to tick the timer: no earlier tick is pending.
TEST_F(GameTest, CallbacksAskForOneRedrawTheTimerRearmsAndF11TogglesFullScreen) {
  loopUntil([] { return redraws > 0; });  // the window is on the screen
  for (auto event :
       {+[] { keyPressed('a', 0, 0); }, +[] { mouseButton(1, 0, 0, 0); }, idleTick, +[] { timerTick(0); }}) {
    redraws = 0, event();
    loopUntil([] { return redraws > 0; });
    EXPECT_EQ(redraws, 1);
  }
  loopUntil([] { return elapsedTime > 0.15f; });
  EXPECT_NEAR(elapsedTime, 0.2, 1e-6) << "the timer ticks again by itself";
  EXPECT_EQ(fileText(kTickLog), "1\n");
  for (int on : {1, 0}) {
    specialKeyPressed(GLUT_KEY_F11, 0, 0);
    loopUntil([=] { return glutGet(GLUT_FULL_SCREEN) == on; });
    EXPECT_EQ(glutGet(GLUT_FULL_SCREEN), on);
  }
}

TEST_F(GameTest, ClockRunsAlwaysThePromptBlinksEveryFifthTickOnTheTitleScreenAndSpaceStartsARound) {
  std::vector<bool> shown;
  for (int tick = 1; tick <= 17; tick++) timerTick(0), shown.push_back(promptVisible == (tick / 5 % 2 == 0));
  isPlaying = true;
  for (int tick = 0; tick < 9; tick++) timerTick(0);
  EXPECT_EQ(Floats({float(blinkTicks), std::round(elapsedTime * 10)}), Floats({2, 26}));
  isPlaying = false;
  for (bool expected : {false, false, true}) timerTick(0), shown.push_back(promptVisible == expected);
  EXPECT_EQ(shown, std::vector<bool>(20, true));
  sounds();
  for (int key : {97, 13, 200}) keyPressed((unsigned char)key, 0, 0);  // other keys change nothing
  EXPECT_EQ(Floats({float(isPlaying), std::round(elapsedTime * 10)}), Floats({0, 29}));
  for (int press = 0; press < 2; press++) {  // a new round, then SPACE during it
    keyPressed(' ', 0, 0);
    EXPECT_EQ(Floats({float(isPlaying), elapsedTime, float(soundPlayer->musicMode)}), Floats({1, 0, 1}));
    EXPECT_EQ(sounds(), music("bgm_game"));
    elapsedTime = 7.3f;
  }
  soundPlayer->musicMode = 2;  // names no music: it stays stopped
  switchMusic();
  EXPECT_EQ(sounds(), Log({"Stream_Stop(stream)", "Stream_Close(stream)"}));
}

TEST_F(GameTest, ButtonsAndArrowKeysRecordTheSteeringButton) {
  const int left = 100 + GLUT_KEY_LEFT, right = 100 + GLUT_KEY_RIGHT, up = 100 + GLUT_KEY_UP;
  // Mouse button (or 100 + arrow key), state (0 down), then buttonState and steerButton.
  // clang-format off
  const std::array<int, 4> events[] = {{0, 0, 0, 0}, {2, 0, 0, 2}, {0, 1, -1, -1}, {0, 0, 0, 0}, {1, 0, -1, -1},
      {2, 0, 0, 2}, {3, 0, -1, -1}, {right, 0, 0, 2}, {up, 0, 0, 2}, {left, 1, -1, -1}, {left, 0, 0, 0}, {right, 1, -1, -1}};
  // clang-format on
  for (auto [button, state, held, steering] : events) {
    if (button < 100) mouseButton(button, state, 0, 0);
    if (button >= 100) (state ? specialKeyReleased : specialKeyPressed)(button - 100, 0, 0);
    EXPECT_EQ(std::make_pair(buttonState, steerButton), std::make_pair(held, steering)) << button;
  }
}

TEST_F(GameTest, SteeringMovesBanksAndRollsWithinBandsWithItsSoundAndReleaseComesBackThroughDeadZones) {
  // x, roll, camera up.x; button (1: released), ticks; then x, roll and up.x.
  // clang-format off
  const std::array<float, 8> cases[] = {{0, 0, 0, 0, 1, -0.6f, 3, -0.02f}, {0, 0, 0, 2, 1, 0.6f, -3, 0.02f},
      {0, 0, 0, 0, 16, -9.6f, 36, -0.32f}, {0, 0, 0, 2, 67, 40.2f, -36, 0.32f}, {0, 0, 0, 2, 68, 39.6f, -36, 0.32f},
      {0, 0, 0, 0, 67, -40.2f, 36, -0.32f}, {41, 36, -0.32f, 2, 1, 40.4f, 36, -0.32f},
      {-41, -36, 0.32f, 0, 1, -40.4f, -36, 0.32f}, {5, 2, 0.03f, 1, 1, 5, 0, 0}, {5, -2, -0.03f, 1, 1, 5, 0, 0},
      {5, 1.5f, -0.025f, 1, 1, 5, 0, 0}, {5, -1.5f, 0.025f, 1, 1, 5, 0, 0}, {5, 2.5f, 0.035f, 1, 1, 5, -0.5f, 0.015f},
      {5, -2.5f, -0.035f, 1, 1, 5, 0.5f, -0.015f}, {5, 36, 0.32f, 1, 11, 5, 3, 0.1f}, {5, 36, 0.32f, 1, 12, 5, 0, 0.08f},
      {5, -36, -0.32f, 1, 15, 5, 0, -0.02f}, {5, -36, -0.32f, 1, 16, 5, 0, 0}};
  // clang-format on
  const Log sound = {"Sample_Load(-1, sounds\\move.wav, 304, 0, 0)", "PlaySound(-1, sample)",
                     "SetVolume(7, 50)"};
  isPlaying = true;
  for (auto [x, roll, up, button, ticks, toX, toRoll, toUp] : cases) {
    playerPos.x = x, playerRoll = roll, cameraUp.x = up;
    mouseButton(int(button), 0, 0, 0), sounds();
    Log expected;
    for (int tick = 0; tick < ticks; tick++)
      steer(), expected.insert(expected.end(), sound.begin(), sound.end());
    EXPECT_NEAR(playerPos.x, toX, 1e-3) << x << ", " << roll << ", " << up << ", " << ticks;
    EXPECT_EQ(Floats({playerRoll, std::round(cameraUp.x * 1000)}), Floats({toRoll, std::round(toUp * 1000)}));
    EXPECT_EQ(sounds(), button == 1 ? Log{} : expected);
  }
  isPlaying = false, mouseButton(0, 0, 0, 0);  // the title screen: a held button does nothing
  const Floats before = gameState();
  steer();
  EXPECT_EQ(gameState(), before);
  EXPECT_EQ(sounds(), Log{});
}

TEST_F(GameTest, AdvanceAndReshapeStepForwardWrapFromMinus120AndTheCameraFollows) {
  const std::pair<float, float> cases[] = {{2.9f, 1.7f}, {-118.8f, -120}, {-120, 3}, {-120.6f, 3}};
  for (auto [z, toZ] : cases) {
    Floats zs;
    for (Obstacle* o : obstacles) zs.push_back(o->z);
    playerPos = {-6, 4, z};
    srand(5), advance();
    EXPECT_NEAR(playerPos.z, toZ, 1e-4);
    EXPECT_EQ(Floats({cameraEye.x, cameraEye.y, cameraEye.z, cameraCenter.x, cameraCenter.y, cameraCenter.z}),
              Floats({-6, 4, playerPos.z, -6, 0, playerPos.z - 25}));
    for (int i = 0; i < OBSTACLE_COUNT; i++) EXPECT_NEAR(obstacles[i]->z, zs[i] + (toZ == 3) * 124.8, 1e-3);
    const int next = rand();
    EXPECT_EQ((srand(5), rand()), next) << "the wrap draws no random number";
  }
  reshapeWindow(800, 600);
  reshapeWindow(1024, 0);  // changes nothing
  GLint view[4], mode;
  GLdouble p[16];
  glGetIntegerv(GL_VIEWPORT, view), glGetIntegerv(GL_MATRIX_MODE, &mode),
      glGetDoublev(GL_PROJECTION_MATRIX, p);
  EXPECT_EQ(std::vector<GLint>(view, view + 4), std::vector<GLint>({0, 0, 800, 600}));
  EXPECT_EQ(mode, GL_MODELVIEW);
  const double f = std::sqrt(3.0);  // cot 30 degrees; aspect 4:3, near 0.1, far 500
  const double expected[] = {f * 0.75, f, -500.1 / 499.9, -100 / 499.9, 1.8},
               actual[] = {p[0], p[5], p[10], p[14], playerPos.z};
  for (int i = 0; i < 5; i++) EXPECT_NEAR(actual[i], expected[i], 1e-5) << i;
}

TEST_F(GameTest, TheFieldIsPlacedRespawnedAndRolledAsRandAndItsSpeedsSay) {
  for (Obstacle*& o : obstacles) delete o;
  srand(7), createObstacles();
  auto fields = [](const Obstacle& o) {
    return Floats{float(o.texture), float(o.rollAngle), o.rollSpeed, o.x, o.y, o.z};
  };
  std::vector<Obstacle> expected;
  srand(7);
  for (int i = 0; i < OBSTACLE_COUNT; i++)
    EXPECT_EQ(fields(*obstacles[i]),
              (Floats{float(3 + rand() % 6), float(1 + rand() % 20), float((1 + rand() % 30) * 0.3),
                      bandX(i, 100), -0.2f, float(-(30 + rand() % 150))}))
        << i;
  for (Obstacle* o : obstacles) expected.push_back(*o);
  srand(8);
  for (int i = 0; i < OBSTACLE_COUNT; i++) respawnObstacle(obstacles[i], i);
  srand(8);
  for (int i = 0; i < OBSTACLE_COUNT; i++) {
    expected[i].x = bandX(i, 110), expected[i].z = float(rand() % 150 - 280);
    EXPECT_EQ(fields(*obstacles[i]), fields(expected[i])) << i;
  }
  // clang-format off
  const std::tuple<int, float, std::vector<int>> rolls[] = {{1, 9, {10, 19, 28, 19, 10, 1, -8, -17, -26, -17}},
      {18, 1.2f, {19, 20, 18, 16}}, {-19, -1.2f, {-20, -18, -16}}, {20, 0.6f, {19, 18}}, {5, 0.9f, {5, 5}}, {-1, -1.2f, {-2, -3}}};
  // clang-format on
  Obstacle& o = *obstacles[3];
  playerPos.z = -10;
  for (const auto& [angle, speed, angles] : rolls) {
    o.rollAngle = angle, o.rollSpeed = speed, o.z = -20;
    std::vector<int> seen;
    while (seen.size() < angles.size()) updateObstacle(&o, 3), seen.push_back(o.rollAngle);
    EXPECT_EQ(seen, angles) << angle;
  }
  for (float z : {5.0f, 5.5f}) {  // exactly 15 behind the eye, then beyond
    o.z = z, updateObstacle(&o, 3);
    EXPECT_TRUE(z == 5 ? o.z == 5 : o.z <= -131) << z;
  }
}

TEST_F(GameTest, AFrameWithAHitWithinOneUnitEndsTheRoundThenRollsTheFieldAndATitleFrameDoesNeither) {
  // The hit point's offset from the block's centre (3, -16), whether it hits, clock, best time before and
  // after.
  // clang-format off
  const std::array<float, 6> cases[] = {{1, 0, 1, 7, 5, 7}, {-1, 0, 1, 7, 5, 7}, {0, 1, 1, 7, 5, 7}, {0, -1, 1, 7, 5, 7},
      {0.5f, 0.75f, 1, 7, 5, 7}, {1.25f, 0, 0, 7, 5, 5}, {-1.25f, 0, 0, 7, 5, 5}, {0, 1.25f, 0, 7, 5, 5},
      {0, -1.25f, 0, 7, 5, 5}, {0.75f, 0.75f, 0, 7, 5, 5}, {0, 0, 1, 2, 5, 5}, {0, 0, 1, 5, 5, 5}};
  // clang-format on
  for (auto [dx, dz, hit, elapsed, best, toBest] : cases) {
    for (Obstacle* o : obstacles) o->z = 1000;
    obstacles[33]->x = 2.5f + dx, obstacles[33]->z = -16 + dz, obstacles[34]->x = 2.5f,
    obstacles[34]->z = -16 * hit;
    obstacles[2]->rollAngle = 1, obstacles[2]->rollSpeed = 9;
    playerPos = {3, 4, -10}, playerRoll = 9, cameraUp.x = 0.1f, promptVisible = isPlaying = false;
    elapsedTime = elapsed, bestTime = best, sounds();
    displayFrame();  // a title frame: no hit test, no roll
    EXPECT_EQ(Floats({playerPos.x, float(obstacles[2]->rollAngle)}), Floats({3, 1}));
    isPlaying = true, soundPlayer->musicMode = 1, srand(9);
    displayFrame();
    EXPECT_EQ(isPlaying, !hit) << dx << ", " << dz;
    EXPECT_EQ(bestTime, toBest);
    if (!hit) continue;
    Floats expected = kStartValues;  // but the best time, the roll, the camera and the buttons
    const Floats now = gameState();
    std::copy(now.begin() + 9, now.begin() + 17, expected.begin() + 9);
    expected[4] = toBest, expected[8] = 9, expected[17] = 0.1f;
    EXPECT_EQ(now, expected);
    Log log = {"Sample_Load(-1, sounds\\crash.wav, 304, 0, 0)", "PlaySound(-1, sample)", "SetVolume(7, 255)",
               "Sleep(1000)"};
    for (const std::string& call : music("bgm_main")) log.push_back(call);
    EXPECT_EQ(sounds(), log);
    srand(9);
    for (int j = 0; j < OBSTACLE_COUNT; j++)
      EXPECT_EQ(Floats({obstacles[j]->x, obstacles[j]->z}),
                Floats({bandX(j, 100), float(-(30 + rand() % 150))}))
          << j;
    EXPECT_EQ(std::make_pair(obstacles[2]->rollAngle, soundPlayer->musicMode), std::make_pair(10, 0));
  }
  GLint depth;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  EXPECT_EQ(std::make_pair(depth, glGetError()), std::make_pair(1, GLenum(GL_NO_ERROR)));
  EXPECT_EQ(std::regex_replace(fileText(kFrameLog), std::regex("\\d+ \\d+ (\\d)\n"), "$1"),
            std::string("010101010101010101010101"));
}

}  // namespace

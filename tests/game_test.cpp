// game_test.cpp -- the game and its renderer in a real GLUT window: the session and its callbacks,
// steering and forward motion, the obstacle field, the hit test and the round end, the calls a round
// frame makes, the render state; sound through the recording stand-in, the GL calls that place and
// draw blocks through the call log. The expected values are the design's own numbers; the random
// placements come from a model of the order in which the game draws from rand.
#include <GL/freeglut.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "game/field_frame.h"
#include "game/obstacle_field.h"
#include "image/texture_loader.h"
#include "platform/platform.h"
#include "render/scene.h"
#include "render/title_screen.h"
#include "sound/sound_player.h"
#include "tests/support/gl_call_log.h"
#include "tests/support/gl_context.h"
#include "tests/support/sound_recorder.h"

namespace {

using Log = std::vector<std::string>;

// Every game variable, read as a number, with the value the design gives it at load; the
// steps, the view depth, the far edge and the hit radius are held by the tests of what uses them.
struct Variable {
  const char* name;
  std::function<double()> read;
  double atLoad;
};

const Variable kVariables[] = {
    {"isPlaying", [] { return double(isPlaying); }, 0},
    {"promptVisible", [] { return double(promptVisible); }, 1},
    {"blinkTicks", [] { return double(blinkTicks); }, 0},
    {"elapsedTime", [] { return double(elapsedTime); }, 0},
    {"bestTime", [] { return double(bestTime); }, 0},
    {"playerPos.x", [] { return double(playerPos.x); }, 0},
    {"playerPos.y", [] { return double(playerPos.y); }, 4},
    {"playerPos.z", [] { return double(playerPos.z); }, double(2.9f)},
    {"playerRoll", [] { return double(playerRoll); }, 0},
    {"steerButton", [] { return double(steerButton); }, 0},
    {"buttonState", [] { return double(buttonState); }, 1},
    {"cameraEye.x", [] { return double(cameraEye.x); }, 0},
    {"cameraEye.y", [] { return double(cameraEye.y); }, 0},
    {"cameraEye.z", [] { return double(cameraEye.z); }, -5},
    {"cameraCenter.x", [] { return double(cameraCenter.x); }, 0},
    {"cameraCenter.y", [] { return double(cameraCenter.y); }, 0},
    {"cameraCenter.z", [] { return double(cameraCenter.z); }, 0},
    {"cameraUp.x", [] { return double(cameraUp.x); }, 0},
    {"cameraUp.y", [] { return double(cameraUp.y); }, 1},
    {"cameraUp.z", [] { return double(cameraUp.z); }, 0},
    {"trackHalfWidth", [] { return double(trackHalfWidth); }, 140},
    {"trackNearZ", [] { return double(trackNearZ); }, 10},
};

// The values as the program loaded them, read before any test runs.
std::vector<double> readVariables() {
  std::vector<double> values;
  for (const Variable& v : kVariables) values.push_back(v.read());
  return values;
}
const std::vector<double> valuesAtLoad = readVariables();

// clang-format off
const float kPalette[14][3] = {
    {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1},
    {0.25f, 0.25f, 0.25f}, {0.6f, 0.4f, 0.7f}, {0.98f, 0.625f, 0.12f}, {0.98f, 0.04f, 0.7f},
    {0.75f, 0.75f, 0.75f}, {0.6f, 0.4f, 0.12f}};
// clang-format on

int redraws = 0;  // frames GLUT asked for

Log sounds() { return soundRecorder().take(); }

Log music(const std::string& name) {
  return {"Stream_Stop(stream)", "Stream_Close(stream)", "Stream_Open(sounds\\" + name + ".wav, 2, 0, 0)",
          "Stream_Play(-1, stream)", "SetVolume(7, 255)"};
}

const Log kSteeringSound = {"Sample_Load(-1, sounds\\move.wav, 304, 0, 0)", "PlaySound(-1, sample)",
                            "SetVolume(7, 50)"};

// GLUT's event loop until done() holds, for at most about 5 s.
void loopUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 500 && !done(); i++) {
    glutMainLoopEvent();
    usleep(10000);
  }
}

// The lateral place the design gives obstacle i from one rand: 0-39 right of the
// centre line, 40-79 left, the outer ten of each side over `outer` units, the rest 50.
float bandX(int i, int outer) {
  const int range = i < 10 || i >= 70 ? outer : 50;
  const int x = std::rand() % range;
  return float(i < 40 ? x : -x);
}

// Once; its display callback only counts.
int openWindow() {
  int argc = 1;
  char name[] = "game_test";
  char* argv[] = {name, nullptr};
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
  const int window = glutCreateWindow("game_test");
  glutDisplayFunc([] { redraws++; });
  return window;
}

void moveFieldOutOfReach() {
  for (Obstacle* o : obstacles) o->z = 1000;
}

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static const int window = openWindow();
    ASSERT_NE(window, 0);
    ASSERT_EQ(chdir(ZARNOK_ASSET_DIR), 0);
    setSleepFunction([](uint32_t ms) {
      soundRecorder().log("Sleep(" + std::to_string(ms) + ")");
      logGlCallEvent("Sleep(" + std::to_string(ms) + ")");
    });
    restoreInitialGameState();
    soundRecorder().reset();
    glClearColor(1, 1, 1, 1);  // which the start-up sets to black
    initGame();
    startUpSounds = sounds();
  }
  void TearDown() override {
    shutdownGame();
    setSleepFunction(nullptr);
  }
  Log startUpSounds;
};

// ---- Start-up and the session ----

// Runs before any other test calls the timer: every call re-arms it for good.
TEST_F(GameTest, TimerRearmsItself) {
  elapsedTime = 0;
  timerTick(0);
  loopUntil([] { return elapsedTime > 0.15f; });
  EXPECT_NEAR(elapsedTime, 0.2, 1e-6) << "the tick called, then the one it armed";
}

TEST_F(GameTest, VariablesHoldTheDesignValuesAtLoad) {
  for (size_t i = 0; i < std::size(kVariables); i++)
    EXPECT_EQ(valuesAtLoad[i], kVariables[i].atLoad) << kVariables[i].name;
}

// A round played a little, a button held: restoring gives back every load value.
TEST_F(GameTest, RestoreGivesBackTheLoadValues) {
  keyPressed(' ', 0, 0);
  mouseButton(2, 0, 0, 0);
  idleTick();
  timerTick(0);
  bestTime = 9;
  promptVisible = false;
  shutdownGame();  // the owned objects go first
  restoreInitialGameState();
  for (const Variable& v : kVariables) EXPECT_EQ(v.read(), v.atLoad) << v.name;
}

TEST_F(GameTest, StartUpStartsTheSoundAndTheTitleMusic) {
  // clang-format off
  const Log expected = {"Init(44100, 32, 0)", "DSP_GetFFTUnit()", "DSP_SetActive(fft, 1)", "SetHWND(null)",
                        "Stream_Open(sounds\\bgm_main.wav, 2, 0, 0)", "Stream_Play(-1, stream)", "SetVolume(7, 255)"};
  // clang-format on
  EXPECT_EQ(startUpSounds, expected);
}

TEST_F(GameTest, StartUpSetsTheClearColourToBlackWithAlphaZero) {
  std::vector<float> colour(4, -1);
  glGetFloatv(GL_COLOR_CLEAR_VALUE, colour.data());
  EXPECT_EQ(colour, std::vector<float>(4, 0));
}

TEST_F(GameTest, CallbacksAskForOneRedraw) {
  loopUntil([] { return redraws > 0; });  // the window is shown
  struct Case {
    const char* name;
    void (*act)();
  };
  const Case cases[] = {
      {"a key other than space and escape", [] { keyPressed('a', 0, 0); }},
      {"a mouse button", [] { mouseButton(1, 0, 0, 0); }},
      {"the timer", [] { timerTick(0); }},
      {"the idle tick", [] { idleTick(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    glutMainLoopEvent();  // whatever was asked for before
    redraws = 0;
    c.act();
    glutMainLoopEvent();
    EXPECT_EQ(redraws, 1);
  }
}

TEST_F(GameTest, PromptBlinksEveryFifthTimerTickOnTheTitle) {
  for (int tick = 1; tick <= 17; tick++) {
    timerTick(0);
    EXPECT_EQ(promptVisible, tick / 5 % 2 == 0) << "tick " << tick;
  }
  EXPECT_EQ(blinkTicks, 2);
}

TEST_F(GameTest, ClockGrowsATenthPerTimerTickInBothStates) {
  for (bool playing : {false, true}) {
    isPlaying = playing;
    elapsedTime = 0;
    for (int tick = 0; tick < 29; tick++) timerTick(0);
    EXPECT_NEAR(elapsedTime, 2.9, 1e-5) << (playing ? "round" : "title");
  }
}

// A round starts, or goes on, with the game music from its start and the clock at zero.
TEST_F(GameTest, SpaceStartsTheGameMusicAndTheClockAfresh) {
  for (bool playing : {false, true}) {
    SCOPED_TRACE(playing ? "during a round" : "on the title screen");
    isPlaying = playing;
    elapsedTime = 7.3f;
    keyPressed(' ', 0, 0);
    EXPECT_TRUE(isPlaying);
    EXPECT_EQ(elapsedTime, 0);
    EXPECT_EQ(soundPlayer->musicMode, 1);
    EXPECT_EQ(sounds(), music("bgm_game"));
  }
}

// ---- Steering and forward motion ----

// The inputs that steer, and those that end steering.
void leftDown() { mouseButton(0, 0, 0, 0); }
void leftUp() { mouseButton(0, 1, 0, 0); }
void rightDown() { mouseButton(2, 0, 0, 0); }
void rightUp() { mouseButton(2, 1, 0, 0); }
void middleDown() { mouseButton(1, 0, 0, 0); }
void leftArrow() { specialKeyPressed(GLUT_KEY_LEFT, 0, 0); }
void leftArrowUp() {  // pressed, then let go
  specialKeyPressed(GLUT_KEY_LEFT, 0, 0);
  specialKeyReleased(GLUT_KEY_LEFT, 0, 0);
}
void rightArrow() { specialKeyPressed(GLUT_KEY_RIGHT, 0, 0); }
void rightArrowUp() {
  specialKeyPressed(GLUT_KEY_RIGHT, 0, 0);
  specialKeyReleased(GLUT_KEY_RIGHT, 0, 0);
}

struct Pose {
  float x;     // playerPos.x
  float roll;  // playerRoll
  float up;    // cameraUp.x
};

struct SteeringCase {
  const char* name;
  Pose from;
  void (*input)();
  int ticks;
  Pose to;
  bool playing;
};

// clang-format off
const SteeringCase kSteering[] = {
    {"left arrow to the roll limits", {0, 0, 0},          leftArrow,    16, {-9.6f, 36, -0.32f},   true},
    {"right arrow to the soft wall",  {0, 0, 0},          rightArrow,   67, {40.2f, -36, 0.32f},   true},
    {"pushed back from beyond left",  {-41, -36, 0.32f},  leftDown,     1,  {-40.4f, -36, 0.32f},  true},
    {"pushed back from beyond right", {41, 36, -0.32f},   rightDown,    1,  {40.4f, 36, -0.32f},   true},
    {"exactly at the left wall",      {-40, 0, 0},        leftDown,     1,  {-40, 3, -0.02f},      true},
    {"exactly at the right wall",     {40, 0, 0},         rightDown,    1,  {40, -3, 0.02f},       true},
    {"released in the dead zones",    {5, 2, 0.03f},      leftUp,       1,  {5, 0, 0},             true},
    {"released in them, negative",    {5, -2, -0.03f},    rightUp,      1,  {5, 0, 0},             true},
    {"middle button releases",        {5, 1.5f, -0.02f},  middleDown,   1,  {5, 0, 0},             true},
    {"upright again in 12",           {5, 36, 0.32f},     leftUp,       12, {5, 0, 0.08f},         true},
    {"left arrow released",           {5, 2.5f, 0.035f},  leftArrowUp,  1,  {5, -0.5f, 0.015f},    true},
    {"right arrow released",          {5, -2.5f, -0.035f}, rightArrowUp, 1, {5, 0.5f, -0.015f},    true},
    {"nothing on the title screen",   {5, 9, 0.1f},       leftDown,     1,  {5, 9, 0.1f},          false},
};
// clang-format on

TEST_F(GameTest, SteeringMovesBanksAndRollsWithinItsBands) {
  for (const SteeringCase& c : kSteering) {
    SCOPED_TRACE(c.name);
    c.input();
    playerPos.x = c.from.x;
    playerRoll = c.from.roll;
    cameraUp.x = c.from.up;
    isPlaying = c.playing;
    for (int tick = 0; tick < c.ticks; tick++) steer();
    EXPECT_NEAR(playerPos.x, c.to.x, 1e-4) << "x";
    EXPECT_NEAR(playerRoll, c.to.roll, 1e-4) << "roll";
    EXPECT_NEAR(cameraUp.x, c.to.up, 1e-5) << "camera roll";
  }
}

// The steering sound starts on every tick of a hold in a round, and only then.
TEST_F(GameTest, SteeringSoundStartsOnEveryHeldTick) {
  struct Case {
    const char* name;
    void (*input)();
    bool playing;
    int sounds;
  };
  const Case cases[] = {
      {"held", rightArrow, true, 3},
      {"released", leftUp, true, 0},
      {"held on the title screen", leftDown, false, 0},
  };
  for (const Case& c : cases) {
    c.input();
    isPlaying = c.playing;
    for (int tick = 0; tick < 3; tick++) steer();
    Log expected;
    for (int i = 0; i < c.sounds; i++)
      expected.insert(expected.end(), kSteeringSound.begin(), kSteeringSound.end());
    EXPECT_EQ(sounds(), expected) << c.name;
  }
}

struct AdvanceCase {
  const char* name;
  float z;
  float toZ;
  bool wraps;
};

TEST_F(GameTest, AdvanceStepsWrapsAndTheCameraFollows) {
  const AdvanceCase cases[] = {
      {"a step", 2.9f, 1.7f, false},
      {"a step onto -120", -118.8f, -120, false},
      {"-120 counts as reached", -120, 3, true},
      {"beyond -120", -120.6f, 3, true},
  };
  for (const AdvanceCase& c : cases) {
    SCOPED_TRACE(c.name);
    float before[OBSTACLE_COUNT];
    for (int i = 0; i < OBSTACLE_COUNT; i++) before[i] = obstacles[i]->z;
    playerPos = {-6, 4, c.z};
    advance();
    EXPECT_NEAR(playerPos.z, c.toZ, 1e-4);
    EXPECT_EQ(cameraEye.x, -6) << "the eye follows";
    EXPECT_EQ(cameraEye.y, 4);
    EXPECT_EQ(cameraEye.z, playerPos.z);
    EXPECT_EQ(cameraCenter.x, -6) << "and looks at the ground 25 ahead";
    EXPECT_EQ(cameraCenter.y, 0);
    EXPECT_EQ(cameraCenter.z, playerPos.z - 25);
    const float shift = c.wraps ? 124.8f : 0;
    for (int i = 0; i < OBSTACLE_COUNT; i++)
      ASSERT_NEAR(obstacles[i]->z - before[i], shift, 1e-3) << "obstacle " << i << " moves with the wrap";
  }
}

// What a reshape sets and its step of the world show in the round's frames; a height of 0 would
// divide by zero.
TEST_F(GameTest, ReshapeToNoHeightChangesNothing) {
  reshapeWindow(800, 600);
  playerPos.z = 3;
  reshapeWindow(1024, 0);
  EXPECT_EQ(playerPos.z, 3) << "no step";
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 800) << "viewport width";
}

TEST_F(GameTest, IdleCallSteersAndStepsForward) {
  isPlaying = true;
  rightDown();
  playerPos = {0, 4, -10};
  idleTick();
  EXPECT_FLOAT_EQ(playerPos.x, 0.6f) << "x";
  EXPECT_FLOAT_EQ(playerPos.z, -11.2f) << "z";
}

// Each idle call steps once, also when the loop has fallen behind.
TEST_F(GameTest, IdleCallStepsTheWorldOnceAfterAStall) {
  idleTick();
  usleep(50000);  // three sixtieths of a second
  playerPos.z = -10;
  idleTick();
  EXPECT_FLOAT_EQ(playerPos.z, -11.2f);
}

TEST_F(GameTest, IdleCallLeavesTheHitTestToTheFrame) {
  moveFieldOutOfReach();
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

// ---- The obstacle field ----

TEST_F(GameTest, FieldIsMadeFromRandInIndexOrder) {
  for (Obstacle*& o : obstacles) delete o;
  srand(7);
  createObstacles();
  srand(7);
  for (int i = 0; i < OBSTACLE_COUNT; i++) {
    SCOPED_TRACE("obstacle " + std::to_string(i));
    const Obstacle& o = *obstacles[i];
    EXPECT_EQ(o.texture, 3 + rand() % 6) << "texture";
    EXPECT_EQ(o.rollAngle, 1 + rand() % 20) << "angle";
    EXPECT_EQ(o.rollSpeed, float((1 + rand() % 30) * 0.3)) << "speed";
    EXPECT_EQ(o.x, bandX(i, 100)) << "x";
    EXPECT_EQ(o.y, -0.2f) << "y";
    EXPECT_EQ(o.z, float(-(30 + rand() % 150))) << "z";
  }
}

TEST_F(GameTest, ObstaclesRollTurningBeyondTwentyAndCutTowardZero) {
  struct Case {
    const char* name;
    int angle;
    float speed;
    std::vector<int> angles;  // after each frame
  };
  const Case cases[] = {
      {"a fast swing overshoots", 1, 9, {10, 19, 28, 19, 10, 1, -8, -17, -26, -17}},
      {"a step away from zero loses its fraction", 18, 1.2f, {19, 20, 18, 16}},
      {"the same on the negative side", -19, -1.2f, {-20, -18, -16}},
      {"a slow block at twenty creeps back", 20, 0.6f, {19, 18}},
      {"toward zero gains the fraction", -1, -1.2f, {-2, -3}},
  };
  playerPos.z = -10;
  Obstacle& o = *obstacles[3];
  for (const Case& c : cases) {
    o.rollAngle = c.angle;
    o.rollSpeed = c.speed;
    o.z = -20;
    std::vector<int> seen;
    for (size_t frame = 0; frame < c.angles.size(); frame++) {
      updateObstacle(&o, 3);
      seen.push_back(o.rollAngle);
    }
    EXPECT_EQ(seen, c.angles) << c.name;
  }
}

// Passed by more than 15 units: back far ahead, x from the respawn bands, z from -280
// to -131. Ten draws at every band edge.
TEST_F(GameTest, PassedObstacleIsRespawnedFarAheadInItsBand) {
  const int edges[] = {9, 10, 39, 40, 69, 70};
  playerPos.z = -10;
  *obstacles[3] = {7, -0.2f, 5, 4, 0, 0};
  updateObstacle(obstacles[3], 3);
  EXPECT_EQ(obstacles[3]->z, 5) << "exactly 15 behind the eye stays";
  for (int i : edges) {
    for (int seed = 1; seed <= 10; seed++) {
      SCOPED_TRACE("obstacle " + std::to_string(i) + ", seed " + std::to_string(seed));
      obstacles[i]->z = 5.5f;
      srand(seed);
      updateObstacle(obstacles[i], i);
      srand(seed);
      EXPECT_EQ(obstacles[i]->x, bandX(i, 110)) << "x";
      EXPECT_EQ(obstacles[i]->z, float(rand() % 150 - 280)) << "z";
    }
  }
}

// ---- The hit test and the round end ----

// With the eye at (3, 4, -10) the block's centre is at (3, -16); the test measures
// from the eye's x and z to the point (x + 0.5, z + 6) of an obstacle, so an obstacle
// at (2.5, -16) is right on the mark, and (dx, dz) moves it off.
void placeInReachTest(float dx, float dz) {
  moveFieldOutOfReach();
  *obstacles[33] = {2.5f + dx, -0.2f, -16 + dz, 3, 0, 0};
  playerPos = {3, 4, -10};
  isPlaying = true;
}

TEST_F(GameTest, HitWithinOneUnitOfTheBlocksCentre) {
  struct Case {
    const char* name;
    float dx;
    float dz;
    bool hit;
  };
  // clang-format off
  const Case cases[] = {
      {"one unit right",       1,      0,      true},
      {"one unit left",        -1,     0,      true},
      {"one unit behind",      0,      1,      true},
      {"one unit ahead",       0,      -1,     true},
      {"inside, aslant",       0.5f,   0.75f,  true},
      {"1.25 right",           1.25f,  0,      false},
      {"1.25 left",            -1.25f, 0,      false},
      {"1.25 behind",          0,      1.25f,  false},
      {"1.25 ahead",           0,      -1.25f, false},
      {"just outside, aslant", 0.75f,  0.75f,  false},
  };
  // clang-format on
  for (const Case& c : cases) {
    placeInReachTest(c.dx, c.dz);
    displayFrame();
    EXPECT_EQ(isPlaying, !c.hit) << c.name;
  }
}

TEST_F(GameTest, BestTimeIsRaisedOnlyByALongerRound) {
  struct Case {
    const char* name;
    float elapsed;
    float best;
    float bestAfter;
  };
  const Case cases[] = {
      {"longer", 7, 5, 7},
      {"shorter", 2, 5, 5},
      {"equal", 5, 5, 5},
  };
  for (const Case& c : cases) {
    placeInReachTest(0, 0);
    elapsedTime = c.elapsed;
    bestTime = c.best;
    displayFrame();
    EXPECT_EQ(bestTime, c.bestAfter) << c.name;
  }
}

TEST_F(GameTest, RoundEndPutsThePlayerBackAndShowsThePrompt) {
  placeInReachTest(0, 0);
  playerRoll = 9;
  cameraUp.x = 0.1f;
  elapsedTime = 4;
  promptVisible = false;
  displayFrame();
  EXPECT_EQ(playerPos.x, 0) << "x";
  EXPECT_EQ(playerPos.y, 4) << "y";
  EXPECT_EQ(playerPos.z, 2.9f) << "z";
  EXPECT_EQ(elapsedTime, 0) << "clock";
  EXPECT_TRUE(promptVisible);
  EXPECT_EQ(playerRoll, 9) << "the roll is kept";
  EXPECT_EQ(cameraUp.x, 0.1f) << "the camera roll is kept";
}

TEST_F(GameTest, RoundEndSoundsTheCrashPausesThenPlaysTheTitleMusic) {
  placeInReachTest(0, 0);
  *obstacles[34] = {2.5f, -0.2f, -16, 3, 0, 0};  // a second one in reach: still one round end
  soundPlayer->musicMode = 1;
  displayFrame();
  Log expected = {"Sample_Load(-1, sounds\\crash.wav, 304, 0, 0)", "PlaySound(-1, sample)",
                  "SetVolume(7, 255)", "Sleep(1000)"};
  const Log title = music("bgm_main");
  expected.insert(expected.end(), title.begin(), title.end());
  EXPECT_EQ(sounds(), expected);
  EXPECT_EQ(soundPlayer->musicMode, 0);
}

TEST_F(GameTest, RoundEndPlacesTheFieldAfreshInIndexOrder) {
  placeInReachTest(0, 0);
  srand(9);
  displayFrame();
  srand(9);
  for (int i = 0; i < OBSTACLE_COUNT; i++) {
    const float x = bandX(i, 100);
    const float z = float(-(30 + rand() % 150));
    EXPECT_EQ(obstacles[i]->x, x) << "x of obstacle " << i;
    EXPECT_EQ(obstacles[i]->z, z) << "z of obstacle " << i;
  }
}

// ---- What a round frame draws: the calls ----

// The calls that draw one block: each face its own begin-end pair, the block's texture bound again.
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
    calls.push_back(glCallLine("glTranslatef", {o->x, o->y, o->z}));
    calls.push_back(glCallLine("glRotatef", {float(o->rollAngle), 0, 0, 1}));
    const Log mesh = blockMeshCalls(o->texture);
    calls.insert(calls.end(), mesh.begin(), mesh.end());
    calls.push_back("glPopMatrix()");
  }
  calls.push_back("glPushMatrix()");
  calls.push_back(glCallLine("glTranslatef", {playerPos.x, 0, playerPos.z - 7}));
  calls.push_back(glCallLine("glRotatef", {playerRoll, 0, 0, 1}));
  calls.push_back(glCallLine("glTranslatef", {-0.5f, 0, 0.5f}));
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
  for (int i = 0; i < OBSTACLE_COUNT; i++)
    *obstacles[i] = {float(i % 40 - 20), -0.2f, float(-40 - i), 3 + i % 6, i % 7, 2};
  playerPos = {1.5f, 4, -10};
  playerRoll = 6;
  isPlaying = true;
  startGlCallLog();
  drawBlocks();
  const Log drawn = stopGlCallLog();
  expectSameCalls(drawn, blockCalls());
}

TEST_F(GameTest, CrashFrameShowsTheNewFieldUnderTheTitle) {
  placeInReachTest(0, 0);
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
  const std::string titlePlace = glCallLine("glTranslatef", {-3.55f, 3, -10});
  EXPECT_EQ(std::count(afterPause.begin(), afterPause.end(), titlePlace), 1) << "the title text";
}

// One quad of four corners, with the design's texture coordinates: the texture ten times each way.
TEST_F(GameTest, GroundIsAQuadOfFourCorners) {
  startGlCallLog();
  drawGround();
  const Log expected = {"glBindTexture(1)",
                        "glBegin(GL_QUADS)",
                        "glTexCoord2fv(0, 0)",
                        "glTexCoord2fv(10, 0)",
                        "glTexCoord2fv(10, 10)",
                        "glTexCoord2fv(0, 10)",
                        "glEnd()"};
  EXPECT_EQ(stopGlCallLog(), expected);
}

// ---- Render set-up (what the frames look like is round_frame_test's) ----

// The colours of surfaces without a texture and of the title word: the reference
// frames show some of them, this all 14.
TEST_F(GameTest, PaletteIsTheDesigns) {
  for (int colour = 0; colour < 14; colour++)
    for (int k = 0; k < 3; k++)
      EXPECT_EQ(palette[colour][k], kPalette[colour][k]) << "colour " << colour << ", channel " << k;
}

TEST_F(GameTest, StartUpKeepsTexturesAsTheyWereLoaded) {
  glBindTexture(GL_TEXTURE_2D, Ground);
  GLint format = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
  EXPECT_TRUE(format == GL_RGB || format == GL_RGB8) << "internal format " << format;
}

}  // namespace

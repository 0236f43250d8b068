// collision_test.cpp -- the hit test and the round end. The sound library is replaced
// here by a stand-in that records its calls (the sound player itself is the real
// one), and the one-second pause by a recorder in the same log, so that the order of
// crash sound, pause and music switch can be checked call by call.
#include "game/collision.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/game_fixture.h"

// ---------------------------------------------------------------- recording library

struct FSOUND_STREAM {};
struct FSOUND_SAMPLE {};
struct FSOUND_DSPUNIT {};

namespace {

FSOUND_STREAM stream;
FSOUND_SAMPLE sample;
FSOUND_DSPUNIT spectrum;
std::vector<std::string> calls;

void record(const char* name, const std::vector<std::string>& args = {}) {
  std::string call = name;
  for (size_t i = 0; i < args.size(); i++) call += (i ? ", " : "(") + args[i];
  calls.push_back(args.empty() ? call : call + ")");
}
std::string str(long n) { return std::to_string(n); }

}  // namespace

signed char FSOUND_Init(int, int, unsigned int) { return 1; }
FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit() { return &spectrum; }
signed char FSOUND_DSP_SetActive(FSOUND_DSPUNIT*, signed char) { return 1; }
signed char FSOUND_SetHWND(void*) { return 1; }
FSOUND_STREAM* FSOUND_Stream_Open(const char* path, unsigned int mode, int, int) {
  return record("Stream_Open", {path, str(mode)}), &stream;
}
int FSOUND_Stream_Play(int channel, FSOUND_STREAM*) { return record("Stream_Play", {str(channel)}), 4; }
signed char FSOUND_Stream_Stop(FSOUND_STREAM*) { return record("Stream_Stop"), 1; }
signed char FSOUND_Stream_Close(FSOUND_STREAM*) { return record("Stream_Close"), 1; }
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* path, unsigned int mode, int, int) {
  return record("Sample_Load", {str(index), path, str(mode)}), &sample;
}
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE*) { return record("PlaySound", {str(channel)}), 9; }
signed char FSOUND_SetVolume(int channel, int volume) {
  return record("SetVolume", {str(channel), str(volume)}), 1;
}

// ---------------------------------------------------------------- tests

namespace {

using Calls = std::vector<std::string>;

// The pause goes into the log with what the game looked like as it began.
void recordSleep(uint32_t ms) {
  char state[160];
  std::snprintf(state, sizeof state, "%d, playing %d at (%g, %g, %g), best %g, clock %g, prompt %d, music %d",
                int(ms), isPlaying, double(playerPos.x), double(playerPos.y), double(playerPos.z),
                double(bestTime), double(elapsedTime), promptVisible, soundPlayer->musicMode);
  record("Sleep", {state});
}
long pauses() {
  return std::count_if(calls.begin(), calls.end(),
                       [](const std::string& c) { return c.rfind("Sleep", 0) == 0; });
}

std::vector<Obstacle> field() {
  std::vector<Obstacle> out;
  for (Obstacle* o : obstacles) out.push_back(*o);
  return out;
}

class CollisionTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    setSleepFunction(recordSleep);
    // A round in progress with the game music on.
    soundPlayer->musicMode = 1;
    soundPlayer->openMusic("sounds\\bgm_game.wav", true);
    startRound();
  }
  void TearDown() override {
    setSleepFunction(nullptr);
    GameTest::TearDown();
  }
  // Player in place, the whole field far out of reach, the log empty.
  static void startRound() {
    isPlaying = true;
    playerPos = {0.0f, 4.0f, -10.0f};
    for (Obstacle* o : obstacles) o->z = -1000.0f;
    calls.clear();
  }
  // Puts obstacle i so that its test point lies (dx, dz) from the player's.
  static void placeAt(int i, float dx, float dz) {
    obstacles[i]->x = playerPos.x - 0.5f + dx;
    obstacles[i]->z = playerPos.z - 6.0f + dz;
  }
};

}  // namespace

TEST_F(CollisionTest, ReachIsOneUnitInTheGroundPlaneWithTheEdgeCounting) {
  const float over = std::nextafter(1.0f, 2.0f);
  const float wellOver = 1.001f;  // along the track the game's float sum rounds finer steps away
  const float cases[][3] = {
      {1, 0, 1},        {-1, 0, 1},   {0, 1, 1},         {0, -1, 1},     {0, 0, 1},
      {0.6f, 0.75f, 1}, {over, 0, 0}, {0, -wellOver, 0}, {0.8f, 0.8f, 0}};  // dx, dz, hit
  for (const auto& c : cases) {
    startRound();
    placeAt(33, c[0], c[1]);
    obstacles[33]->y = 50.0f;  // neither height nor roll counts
    obstacles[33]->rollAngle = 45;
    checkCollisions();
    EXPECT_EQ(pauses(), long(c[2])) << c[0] << ", " << c[1];
    EXPECT_EQ(isPlaying, c[2] == 0);
  }
}

TEST_F(CollisionTest, RoundEndResetsPlayerFieldClockAndPromptThenPausesThenTitleMusic) {
  elapsedTime = 12.3f;
  bestTime = 4.5f;
  promptVisible = false;
  playerPos.x = 17.4f;
  playerRoll = 27.0f;
  cameraUp.x = -0.18f;
  steerButton = 2;
  const std::vector<Obstacle> before = field();
  placeAt(50, 0.2f, -0.3f);

  checkCollisions();

  // Everything but the music was done before the pause; the game music plays on through it.
  EXPECT_EQ(calls, (Calls{"Sample_Load(-1, sounds\\crash.wav, 304)", "PlaySound(-1)", "SetVolume(9, 255)",
                          "Sleep(1000, playing 0 at (0, 4, 2.9), best 12.3, clock 0, prompt 1, music 1)",
                          "Stream_Stop", "Stream_Close", "Stream_Open(sounds\\bgm_main.wav, 2)",
                          "Stream_Play(-1)", "SetVolume(4, 255)"}));
  EXPECT_EQ(soundPlayer->musicMode, 0);
  // Bank, camera roll and buttons are left for the next round to bring back.
  EXPECT_EQ(playerRoll, 27.0f);
  EXPECT_EQ(cameraUp.x, -0.18f);
  EXPECT_EQ(steerButton, 2);

  // A fresh field: every obstacle placed anew ahead, with its texture and roll kept.
  for (int i = 0; i < OBSTACLE_COUNT; i++) {
    const Obstacle &o = *obstacles[i], &b = before[size_t(i)];
    EXPECT_TRUE(o.y == -0.2f && o.z >= -179.0f && o.z <= -30.0f && o.x == std::floor(o.x)) << i;
    EXPECT_TRUE(o.texture == b.texture && o.rollAngle == b.rollAngle && o.rollSpeed == b.rollSpeed) << i;
  }
}

TEST_F(CollisionTest, OnlyAStrictlyLongerRoundRaisesTheBestTime) {
  const float cases[][3] = {{8, 8, 8}, {7.9f, 8, 8}, {8.1f, 8, 8.1f}, {0, 0, 0}, {0.1f, 0, 0.1f}};
  for (const auto& c : cases) {
    elapsedTime = c[0];
    bestTime = c[1];
    endRound();
    EXPECT_EQ(bestTime, c[2]) << c[0] << " against " << c[1];
    EXPECT_EQ(elapsedTime, 0.0f);
  }
}

TEST_F(CollisionTest, TwoObstaclesInReachEndTheRoundOnceForTheLowerIndex) {
  placeAt(12, 0.0f, 0.5f);
  placeAt(61, -0.5f, 0.0f);
  checkCollisions();
  EXPECT_FALSE(isPlaying);
  EXPECT_EQ(pauses(), 1);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "PlaySound(-1)"), 1);
  // The fresh field leaves the higher index far out of reach by the time the scan comes to it.
  EXPECT_LE(obstacles[61]->z, -30.0f);
}

TEST_F(CollisionTest, AFrameOfARoundTestsBeforeRollingAndTheTitleScreenDoesNeither) {
  // One obstacle in reach, one long passed (so a roll-and-respawn step before the test
  // would draw random numbers of its own).
  obstacles[7]->rollAngle = 3;
  obstacles[7]->rollSpeed = 2.0f;
  placeAt(7, 0.0f, 0.0f);
  obstacles[4]->z = playerPos.z + 100;
  const std::vector<Obstacle> start = field();
  srand(77);
  endRound();
  const std::vector<Obstacle> reference = field();  // what a round end alone makes of it

  startRound();
  for (int i = 0; i < OBSTACLE_COUNT; i++) *obstacles[i] = start[size_t(i)];
  srand(77);
  displayFrame();
  EXPECT_FALSE(isPlaying);
  EXPECT_EQ(pauses(), 1);
  for (int i = 0; i < OBSTACLE_COUNT; i++)
    EXPECT_TRUE(obstacles[i]->x == reference[size_t(i)].x && obstacles[i]->z == reference[size_t(i)].z) << i;
  EXPECT_EQ(obstacles[7]->rollAngle, 5);  // rolled (and drawn) only after the test

  // On the title screen no frame tests, rolls or respawns anything.
  placeAt(3, 0.0f, 0.0f);
  obstacles[4]->z = playerPos.z + 100;
  const std::vector<Obstacle> title = field();
  displayFrame();
  EXPECT_EQ(pauses(), 1);
  for (int i = 0; i < OBSTACLE_COUNT; i++)
    EXPECT_TRUE(obstacles[i]->rollAngle == title[size_t(i)].rollAngle &&
                obstacles[i]->z == title[size_t(i)].z)
        << i;
}

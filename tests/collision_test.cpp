// collision_test.cpp -- the hit test and the round end. The sound library is replaced
// here by a stand-in that records its calls (the sound player itself is the real
// one), and the one-second pause by a recorder in the same log, so that the order of
// crash sound, pause and music switch can be checked call by call.
#include "game/collision.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/game_fixture.h"

// ---------------------------------------------------------------- recording library

struct FSOUND_STREAM {
  int id;
};
struct FSOUND_SAMPLE {
  int id;
};
struct FSOUND_DSPUNIT {
  int id;
};

namespace {

FSOUND_STREAM stream{1};
FSOUND_SAMPLE sample{2};
FSOUND_DSPUNIT spectrum{3};
std::vector<std::string> calls;

void record(const std::string& call) { calls.push_back(call); }

}  // namespace

signed char FSOUND_Init(int, int, unsigned int) { return 1; }
FSOUND_DSPUNIT* FSOUND_DSP_GetFFTUnit() { return &spectrum; }
signed char FSOUND_DSP_SetActive(FSOUND_DSPUNIT*, signed char) { return 1; }
signed char FSOUND_SetHWND(void*) { return 1; }
FSOUND_STREAM* FSOUND_Stream_Open(const char* path, unsigned int mode, int, int) {
  record("Stream_Open(" + std::string(path) + ", " + std::to_string(mode) + ")");
  return &stream;
}
int FSOUND_Stream_Play(int channel, FSOUND_STREAM*) {
  record("Stream_Play(" + std::to_string(channel) + ")");
  return 4;
}
signed char FSOUND_Stream_Stop(FSOUND_STREAM*) {
  record("Stream_Stop");
  return 1;
}
signed char FSOUND_Stream_Close(FSOUND_STREAM*) {
  record("Stream_Close");
  return 1;
}
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* path, unsigned int mode, int, int) {
  record("Sample_Load(" + std::to_string(index) + ", " + std::string(path) + ", " + std::to_string(mode) +
         ")");
  return &sample;
}
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE*) {
  record("PlaySound(" + std::to_string(channel) + ")");
  return 9;
}
signed char FSOUND_SetVolume(int channel, int volume) {
  record("SetVolume(" + std::to_string(channel) + ", " + std::to_string(volume) + ")");
  return 1;
}

// ---------------------------------------------------------------- tests

namespace {

using Calls = std::vector<std::string>;

// What the game looked like when the pause began.
struct PauseSnapshot {
  bool isPlaying;
  Vec3 playerPos;
  float bestTime, elapsedTime;
  bool promptVisible;
  int musicMode;
};
std::vector<PauseSnapshot> pauses;

void recordSleep(uint32_t ms) {
  record("Sleep(" + std::to_string(ms) + ")");
  pauses.push_back({isPlaying, playerPos, bestTime, elapsedTime, promptVisible, soundPlayer->musicMode});
}

class CollisionTest : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    setSleepFunction(recordSleep);
    calls.clear();
    pauses.clear();
    // A round in progress with the game music on, and the whole field far out of reach.
    isPlaying = true;
    soundPlayer->musicMode = 1;
    soundPlayer->openMusic("sounds\\bgm_game.wav", true);
    playerPos = {0.0f, 4.0f, -10.0f};
    for (Obstacle* o : obstacles) o->z = -1000.0f;
    calls.clear();
  }
  void TearDown() override {
    setSleepFunction(nullptr);
    GameTest::TearDown();
  }
  // Puts obstacle i so that its test point lies (dx, dz) from the player's.
  static void placeAt(int i, float dx, float dz) {
    obstacles[i]->x = playerPos.x - 0.5f + dx;
    obstacles[i]->z = playerPos.z - 6.0f + dz;
  }
};

}  // namespace

TEST_F(CollisionTest, ReachIsOneUnitInTheGroundPlaneWithTheEdgeCounting) {
  struct Case {
    float dx, dz;
    bool hit;
  };
  const float justOver = std::nextafter(1.0f, 2.0f);
  const float wellOver = 1.001f;  // along the track the game's float sum rounds finer steps away
  for (Case c : {Case{1.0f, 0.0f, true}, Case{-1.0f, 0.0f, true}, Case{0.0f, 1.0f, true},
                 Case{0.0f, -1.0f, true}, Case{0.0f, 0.0f, true}, Case{0.6f, 0.75f, true},
                 Case{justOver, 0.0f, false}, Case{0.0f, -wellOver, false}, Case{0.8f, 0.8f, false}}) {
    SCOPED_TRACE(testing::Message() << c.dx << ", " << c.dz);
    isPlaying = true;
    playerPos = {0.0f, 4.0f, -10.0f};
    for (Obstacle* o : obstacles) o->z = -1000.0f;
    placeAt(33, c.dx, c.dz);
    // Neither height nor roll counts.
    obstacles[33]->y = 50.0f;
    obstacles[33]->rollAngle = 45;
    pauses.clear();
    checkCollisions();
    EXPECT_EQ(!isPlaying, c.hit);
    EXPECT_EQ(pauses.size(), c.hit ? 1u : 0u);
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
  buttonState = 0;
  std::vector<Obstacle> before;
  for (Obstacle* o : obstacles) before.push_back(*o);
  placeAt(50, 0.2f, -0.3f);

  checkCollisions();

  EXPECT_EQ(calls, (Calls{"Sample_Load(-1, sounds\\crash.wav, 304)", "PlaySound(-1)", "SetVolume(9, 255)",
                          "Sleep(1000)", "Stream_Stop", "Stream_Close",
                          "Stream_Open(sounds\\bgm_main.wav, 2)", "Stream_Play(-1)", "SetVolume(4, 255)"}));
  // Everything but the music was done before the pause.
  ASSERT_EQ(pauses.size(), 1u);
  const PauseSnapshot& p = pauses[0];
  EXPECT_FALSE(p.isPlaying);
  EXPECT_EQ(p.playerPos.x, 0.0f);
  EXPECT_EQ(p.playerPos.z, 2.9f);
  EXPECT_EQ(p.bestTime, 12.3f);
  EXPECT_EQ(p.elapsedTime, 0.0f);
  EXPECT_TRUE(p.promptVisible);
  EXPECT_EQ(p.musicMode, 1);  // the game music plays on through the pause
  EXPECT_EQ(soundPlayer->musicMode, 0);

  EXPECT_EQ(playerPos.y, 4.0f);
  // Bank, camera roll and buttons are left for the next round to bring back.
  EXPECT_EQ(playerRoll, 27.0f);
  EXPECT_EQ(cameraUp.x, -0.18f);
  EXPECT_EQ(steerButton, 2);
  EXPECT_EQ(buttonState, 0);

  // A fresh field: every obstacle placed anew ahead, with its texture and roll kept.
  for (int i = 0; i < OBSTACLE_COUNT; i++) {
    SCOPED_TRACE(i);
    const Obstacle& o = *obstacles[i];
    EXPECT_EQ(o.y, -0.2f);
    EXPECT_GE(o.z, -179.0f);
    EXPECT_LE(o.z, -30.0f);
    EXPECT_EQ(o.x, std::floor(o.x));
    EXPECT_EQ(o.texture, before[size_t(i)].texture);
    EXPECT_EQ(o.rollAngle, before[size_t(i)].rollAngle);
    EXPECT_EQ(o.rollSpeed, before[size_t(i)].rollSpeed);
  }
}

TEST_F(CollisionTest, OnlyAStrictlyLongerRoundRaisesTheBestTime) {
  struct Case {
    float elapsed, best, expected;
  };
  for (Case c : {Case{8.0f, 8.0f, 8.0f}, Case{7.9f, 8.0f, 8.0f}, Case{8.1f, 8.0f, 8.1f},
                 Case{0.0f, 0.0f, 0.0f}, Case{0.1f, 0.0f, 0.1f}}) {
    elapsedTime = c.elapsed;
    bestTime = c.best;
    endRound();
    EXPECT_EQ(bestTime, c.expected) << c.elapsed << " against " << c.best;
    EXPECT_EQ(elapsedTime, 0.0f);
  }
}

TEST_F(CollisionTest, TwoObstaclesInReachEndTheRoundOnce) {
  placeAt(12, 0.0f, 0.5f);
  placeAt(61, -0.5f, 0.0f);
  checkCollisions();
  EXPECT_FALSE(isPlaying);
  EXPECT_EQ(pauses.size(), 1u);
  // The lower index ended the round; the fresh field leaves the higher one far out of
  // reach by the time the scan comes to it.
  EXPECT_LE(obstacles[61]->z, -30.0f);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "Sample_Load(-1, sounds\\crash.wav, 304)"), 1);
}

TEST_F(CollisionTest, AFrameOfARoundTestsBeforeRollingAndStillDrawsTheFieldAfterAHit) {
  // One obstacle in reach, one long passed (so a roll-and-respawn step before the test
  // would draw random numbers of its own).
  obstacles[7]->rollAngle = 3;
  obstacles[7]->rollSpeed = 2.0f;
  placeAt(7, 0.0f, 0.0f);
  obstacles[4]->z = playerPos.z + 100;
  std::vector<Obstacle> start;
  for (Obstacle* o : obstacles) start.push_back(*o);
  const Vec3 startPos = playerPos;

  // What a round end alone makes of this field.
  srand(77);
  endRound();
  std::vector<Obstacle> reference;
  for (Obstacle* o : obstacles) reference.push_back(*o);

  for (int i = 0; i < OBSTACLE_COUNT; i++) *obstacles[i] = start[size_t(i)];
  playerPos = startPos;
  isPlaying = true;
  pauses.clear();
  srand(77);
  displayFrame();
  EXPECT_FALSE(isPlaying);
  EXPECT_EQ(pauses.size(), 1u);
  // The hit test came first in the frame: the round end placed the field exactly as
  // it does alone, and only then was the field rolled (and drawn).
  for (int i = 0; i < OBSTACLE_COUNT; i++) {
    SCOPED_TRACE(i);
    EXPECT_EQ(obstacles[i]->x, reference[size_t(i)].x);
    EXPECT_EQ(obstacles[i]->z, reference[size_t(i)].z);
  }
  EXPECT_EQ(obstacles[7]->rollAngle, 5);

  // On the title screen no frame tests, rolls or respawns anything.
  placeAt(3, 0.0f, 0.0f);
  obstacles[4]->z = playerPos.z + 100;
  std::vector<Obstacle> before;
  for (Obstacle* o : obstacles) before.push_back(*o);
  displayFrame();
  EXPECT_EQ(pauses.size(), 1u);
  for (int i = 0; i < OBSTACLE_COUNT; i++) {
    EXPECT_EQ(obstacles[i]->rollAngle, before[size_t(i)].rollAngle) << i;
    EXPECT_EQ(obstacles[i]->z, before[size_t(i)].z) << i;
  }
}

// obstacle_field_test.cpp -- the obstacle field: the order in which creation, placement
// and respawn draw their random numbers, the index bands, the shift after a wrap, the
// roll with its cut toward zero, and the respawn once a block is more than 15 units
// behind the eye.
#include "game/obstacle_field.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "tests/support/game_fixture.h"

using ObstacleFieldTest = GameTest;

namespace {

// The lateral range [lowest, highest] that the band of an index allows, for a fresh
// placement (outer 100) or a respawn (outer 110).
struct Band {
  int lowest, highest;
};
Band bandOf(int index, int outer) {
  if (index < 10) return {0, outer - 1};
  if (index < 40) return {0, 49};
  if (index < 70) return {-49, 0};
  return {-(outer - 1), 0};
}

void freeField() {
  for (Obstacle*& o : obstacles) {
    delete o;
    o = nullptr;
  }
}

// Runs the roll step n times and returns the angles after each.
std::vector<int> rollSequence(int angle, float speed, int frames) {
  Obstacle o{0, -0.2f, -100, 3, angle, speed};
  std::vector<int> seen;
  for (int i = 0; i < frames; i++) {
    updateObstacle(&o, 20);
    seen.push_back(o.rollAngle);
  }
  return seen;
}

}  // namespace

TEST_F(ObstacleFieldTest, CreationDrawsTextureAngleSpeedXThenZForEachObstacleInIndexOrder) {
  freeField();
  srand(1);
  createObstacles();
  const int afterCreation = rand();

  // The same numbers, drawn in the order the field is meant to use them.
  srand(1);
  for (int i = 0; i < OBSTACLE_COUNT; i++) {
    const int texture = rand();
    const int angle = rand();
    const int speed = rand();
    const int x = rand();
    const int z = rand();
    const Obstacle& o = *obstacles[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(o.texture, 3 + texture % 6);
    EXPECT_EQ(o.rollAngle, 1 + angle % 20);
    EXPECT_EQ(o.rollSpeed, float((1 + speed % 30) * 0.3));
    const int band = i < 10 ? x % 100 : i < 40 ? x % 50 : i < 70 ? -(x % 50) : -(x % 100);
    EXPECT_EQ(o.x, float(band));
    EXPECT_EQ(o.y, -0.2f);
    EXPECT_EQ(o.z, float(-(30 + z % 150)));
  }
  // Exactly five numbers per obstacle: the next one is where both sequences meet.
  EXPECT_EQ(rand(), afterCreation);
}

TEST_F(ObstacleFieldTest, FreshPlacementAndRespawnKeepToTheIndexBands) {
  // Enough draws that every value of each range turns up; the ends must be reached
  // and never passed.
  Obstacle o{};
  for (int index : {0, 9, 10, 39, 40, 69, 70, 79}) {
    SCOPED_TRACE(index);
    Band placed = bandOf(index, 100), respawned = bandOf(index, 110);
    float placedMin = 1e9f, placedMax = -1e9f, respawnMin = 1e9f, respawnMax = -1e9f;
    float zMin = 1e9f, zMax = -1e9f, respawnZMin = 1e9f, respawnZMax = -1e9f;
    for (int n = 0; n < 4000; n++) {
      placeObstacle(&o, index);
      ASSERT_EQ(o.x, std::floor(o.x));
      ASSERT_EQ(o.y, -0.2f);
      placedMin = std::min(placedMin, o.x), placedMax = std::max(placedMax, o.x);
      zMin = std::min(zMin, o.z), zMax = std::max(zMax, o.z);
      o.y = 7.0f;
      respawnObstacle(&o, index);
      ASSERT_EQ(o.y, 7.0f);  // a respawn leaves the height alone
      respawnMin = std::min(respawnMin, o.x), respawnMax = std::max(respawnMax, o.x);
      respawnZMin = std::min(respawnZMin, o.z), respawnZMax = std::max(respawnZMax, o.z);
    }
    EXPECT_EQ(placedMin, placed.lowest);
    EXPECT_EQ(placedMax, placed.highest);
    EXPECT_EQ(respawnMin, respawned.lowest);
    EXPECT_EQ(respawnMax, respawned.highest);
    EXPECT_EQ(zMin, -179.0f);
    EXPECT_EQ(zMax, -30.0f);
    EXPECT_EQ(respawnZMin, -280.0f);
    EXPECT_EQ(respawnZMax, -131.0f);
  }
}

TEST_F(ObstacleFieldTest, RespawnDrawsXThenZAndKeepsTextureAndRoll) {
  Obstacle o{4, -0.2f, 50, 6, -13, -2.4f};
  srand(99);
  respawnObstacle(&o, 75);
  const int next = rand();
  srand(99);
  const int x = rand(), z = rand();
  EXPECT_EQ(o.x, float(-(x % 110)));
  EXPECT_EQ(o.z, float(z % 150 - 30 - 250));
  EXPECT_EQ(rand(), next);
  EXPECT_EQ(o.texture, 6);
  EXPECT_EQ(o.rollAngle, -13);
  EXPECT_EQ(o.rollSpeed, -2.4f);
}

TEST_F(ObstacleFieldTest, PlacementRightAfterAWrapShiftsZOnlyAndDrawsNothing) {
  playerPos.z = 3.0f;
  Obstacle o{-17, -0.2f, 10.5f, 5, 12, 0.9f};
  srand(5);
  placeObstacle(&o, 50);
  const int next = rand();
  srand(5);
  EXPECT_EQ(rand(), next);  // no random number was used
  EXPECT_EQ(o.z, 10.5f + 124.8f);
  EXPECT_EQ(o.x, -17.0f);
  EXPECT_EQ(o.y, -0.2f);
  EXPECT_EQ(o.texture, 5);
  EXPECT_EQ(o.rollAngle, 12);
  EXPECT_EQ(o.rollSpeed, 0.9f);

  // Anywhere else, 2.9 included, the block is placed afresh.
  for (float z : {2.9f, 3.0000002f, -120.0f}) {
    playerPos.z = z;
    o.x = 0.25f;  // no band gives a fraction
    o.z = 10.5f;
    placeObstacle(&o, 50);
    EXPECT_EQ(o.x, std::floor(o.x)) << z;
    EXPECT_LE(o.z, -30.0f) << z;
  }
}

TEST_F(ObstacleFieldTest, TheWrapMovesTheWholeFieldWithThePlayer) {
  std::vector<Obstacle> before;
  for (Obstacle* o : obstacles) before.push_back(*o);
  playerPos.z = -120.0f;
  advance();
  ASSERT_EQ(playerPos.z, 3.0f);
  for (int i = 0; i < OBSTACLE_COUNT; i++) {
    SCOPED_TRACE(i);
    EXPECT_EQ(obstacles[i]->z, before[size_t(i)].z + 124.8f);
    EXPECT_EQ(obstacles[i]->x, before[size_t(i)].x);
  }
  // An ordinary step leaves the field where it is.
  advance();
  for (int i = 0; i < OBSTACLE_COUNT; i++) EXPECT_EQ(obstacles[i]->z, before[size_t(i)].z + 124.8f);
}

TEST_F(ObstacleFieldTest, FastRollOvershootsTwentyAndTurns) {
  EXPECT_EQ(rollSequence(1, 9.0f, 12), (std::vector<int>{10, 19, 28, 19, 10, 1, -8, -17, -26, -17, -8, 1}));
}

TEST_F(ObstacleFieldTest, RollIsCutTowardZero) {
  // Away from zero a step loses its fraction, toward zero it gains it.
  std::vector<int> expected;
  for (int a = 2; a <= 20; a++) expected.push_back(a);      // up by 1 to 20
  for (int a = 18; a >= 0; a -= 2) expected.push_back(a);   // down by 2 to 0
  for (int a = -1; a >= -20; a--) expected.push_back(a);    // down by 1 to -20
  for (int a = -18; a <= 0; a += 2) expected.push_back(a);  // up by 2 to 0
  expected.push_back(1);
  EXPECT_EQ(rollSequence(1, 1.2f, int(expected.size())), expected);
}

TEST_F(ObstacleFieldTest, SlowRollsStandStillOrSinkToZero) {
  for (float speed : {0.3f, 0.6f, 0.9f}) {
    for (int angle : {1, 10, 19}) {
      EXPECT_EQ(rollSequence(angle, speed, 50), std::vector<int>(50, angle)) << angle << " " << speed;
    }
    // From 20 the speed turns, and each frame loses one degree down to 0, where it stays.
    std::vector<int> expected;
    for (int a = 19; a >= 0; a--) expected.push_back(a);
    expected.resize(40, 0);
    EXPECT_EQ(rollSequence(20, speed, 40), expected) << speed;
  }
}

namespace {
Obstacle drawnAs;
int drawCount = 0;
void recordDraw(const Obstacle& o) {
  drawnAs = o;
  drawCount++;
}
}  // namespace

TEST_F(ObstacleFieldTest, RespawnsOnlyMoreThanFifteenBehindAndAfterDrawing) {
  playerPos.z = 3.0f;
  Obstacle o{12, -0.2f, 18.0f, 4, 5, 2.0f};  // exactly 15 behind the eye
  drawCount = 0;
  updateObstacle(&o, 15, recordDraw);
  EXPECT_EQ(drawCount, 1);
  EXPECT_EQ(o.z, 18.0f);
  EXPECT_EQ(o.x, 12.0f);
  EXPECT_EQ(o.rollAngle, 7);

  o.z = std::nextafter(18.0f, 100.0f);
  const float oldZ = o.z;
  updateObstacle(&o, 15, recordDraw);
  EXPECT_EQ(drawCount, 2);
  // Drawn at the old place with this frame's roll, then put back far ahead.
  EXPECT_EQ(drawnAs.z, oldZ);
  EXPECT_EQ(drawnAs.x, 12.0f);
  EXPECT_EQ(drawnAs.rollAngle, 9);
  EXPECT_GE(o.z, -280.0f);
  EXPECT_LE(o.z, -131.0f);
  EXPECT_GE(o.x, 0.0f);
  EXPECT_LE(o.x, 49.0f);
  EXPECT_EQ(o.rollAngle, 9);
  EXPECT_EQ(o.y, -0.2f);
}

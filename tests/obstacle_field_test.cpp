// obstacle_field_test.cpp -- the obstacle field: the order of its random numbers, the
// index bands, the shift after a wrap, the roll cut toward zero, and the respawn once a
// block is more than 15 units behind the eye.
#include "game/obstacle_field.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "tests/support/game_fixture.h"

using ObstacleFieldTest = GameTest;

namespace {

// x, y, z, texture, roll angle, roll speed.
std::vector<float> fields(const Obstacle& o) {
  return {o.x, o.y, o.z, float(o.texture), float(o.rollAngle), o.rollSpeed};
}

// The lateral place that index i's band makes of random number x, for a fresh placement
// (outer 100) or a respawn (outer 110).
float band(int i, int x, int outer) {
  return float(i < 10 ? x % outer : i < 40 ? x % 50 : i < 70 ? -(x % 50) : -(x % outer));
}

// The angles after each of `frames` roll steps.
std::vector<int> rollSequence(int angle, float speed, int frames) {
  Obstacle o{0, -0.2f, -100, 3, angle, speed};
  std::vector<int> seen;
  for (int i = 0; i < frames; i++) {
    updateObstacle(&o, 20);
    seen.push_back(o.rollAngle);
  }
  return seen;
}

// Appends from, from + step, ... up to and including to.
void appendRun(std::vector<int>& out, int from, int to, int step) {
  for (int a = from; step > 0 ? a <= to : a >= to; a += step) out.push_back(a);
}

std::vector<Obstacle> drawn;
void recordDraw(const Obstacle& o) { drawn.push_back(o); }

}  // namespace

TEST_F(ObstacleFieldTest, CreationDrawsTextureAngleSpeedXThenZForEachObstacleInIndexOrder) {
  for (Obstacle*& o : obstacles) delete o;
  srand(1);
  createObstacles();
  const int afterCreation = rand();
  srand(1);
  for (int i = 0; i < OBSTACLE_COUNT; i++) {
    const int texture = rand(), angle = rand(), speed = rand(), x = rand(), z = rand();
    EXPECT_EQ(fields(*obstacles[i]), fields({band(i, x, 100), -0.2f, float(-(30 + z % 150)), 3 + texture % 6,
                                             1 + angle % 20, float((1 + speed % 30) * 0.3)}))
        << i;
  }
  EXPECT_EQ(rand(), afterCreation);  // five numbers per obstacle, no more
}

TEST_F(ObstacleFieldTest, RespawnDrawsXThenZInTheIndexBandAndKeepsTheRest) {
  for (int i = 0; i < OBSTACLE_COUNT; i++) {
    Obstacle o{4, 7.0f, 50, 6, -13, -2.4f};
    srand(unsigned(i) + 99);
    respawnObstacle(&o, i);
    const int next = rand();
    srand(unsigned(i) + 99);
    const int x = rand(), z = rand();
    EXPECT_EQ(rand(), next) << i;
    EXPECT_EQ(fields(o), fields({band(i, x, 110), 7.0f, float(z % 150 - 30 - 250), 6, -13, -2.4f})) << i;
  }
}

TEST_F(ObstacleFieldTest, TheWrapShiftsTheWholeFieldAlongTheTrackAndDrawsNothing) {
  std::vector<Obstacle> expected;
  for (Obstacle* o : obstacles) {
    o->y = 1.5f;  // the shift must not put the height back either
    expected.push_back(*o);
    expected.back().z += 124.8f;
  }
  playerPos.z = -120.0f;
  srand(5);
  advance();
  ASSERT_EQ(playerPos.z, 3.0f);
  const int next = rand();
  srand(5);
  EXPECT_EQ(rand(), next);
  for (int i = 0; i < OBSTACLE_COUNT; i++) EXPECT_EQ(fields(*obstacles[i]), fields(expected[size_t(i)])) << i;
  advance();  // an ordinary step leaves the field where it is
  for (int i = 0; i < OBSTACLE_COUNT; i++) EXPECT_EQ(fields(*obstacles[i]), fields(expected[size_t(i)])) << i;

  // Anywhere else, 2.9 included, a block is placed afresh.
  Obstacle o{};
  for (float z : {2.9f, 3.0000002f, -120.0f}) {
    playerPos.z = z;
    o.x = 0.25f;  // no band gives a fraction
    o.z = 10.5f;
    placeObstacle(&o, 50);
    EXPECT_EQ(o.x, std::floor(o.x)) << z;
    EXPECT_LE(o.z, -30.0f) << z;
  }
}

TEST_F(ObstacleFieldTest, RollTurnsAtTwentyAndIsCutTowardZero) {
  // Fast: overshoots 20 and turns.
  EXPECT_EQ(rollSequence(1, 9.0f, 12), (std::vector<int>{10, 19, 28, 19, 10, 1, -8, -17, -26, -17, -8, 1}));
  // 1.2: away from zero a step loses its fraction, toward zero it gains it.
  std::vector<int> expected;
  appendRun(expected, 2, 20, 1);
  appendRun(expected, 18, 0, -2);
  appendRun(expected, -1, -20, -1);
  appendRun(expected, -18, 0, 2);
  expected.push_back(1);
  EXPECT_EQ(rollSequence(1, 1.2f, int(expected.size())), expected);
  // Below 1: stand still, or once turned at 20, sink by one a frame to 0 and stay.
  for (float speed : {0.3f, 0.6f, 0.9f}) {
    for (int angle : {1, 10, 19}) EXPECT_EQ(rollSequence(angle, speed, 50), std::vector<int>(50, angle));
    expected.clear();
    appendRun(expected, 19, 0, -1);
    expected.resize(40, 0);
    EXPECT_EQ(rollSequence(20, speed, 40), expected) << speed;
  }
}

TEST_F(ObstacleFieldTest, RespawnsOnlyMoreThanFifteenBehindAndAfterDrawing) {
  playerPos.z = 3.0f;
  Obstacle o{12, -0.2f, 18.0f, 4, 5, 2.0f};  // exactly 15 behind the eye
  drawn.clear();
  updateObstacle(&o, 15, recordDraw);
  EXPECT_EQ(fields(o), fields({12, -0.2f, 18.0f, 4, 7, 2.0f}));

  o.z = std::nextafter(18.0f, 100.0f);
  updateObstacle(&o, 15, recordDraw);
  // Drawn at the old place with this frame's roll, then put back far ahead.
  ASSERT_EQ(drawn.size(), 2u);
  EXPECT_EQ(fields(drawn[1]), fields({12, -0.2f, std::nextafter(18.0f, 100.0f), 4, 9, 2.0f}));
  EXPECT_TRUE(o.z >= -280.0f && o.z <= -131.0f && o.x >= 0.0f && o.x <= 49.0f) << o.x << ", " << o.z;
  EXPECT_EQ(o.rollAngle, 9);
}

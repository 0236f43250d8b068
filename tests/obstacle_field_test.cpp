// obstacle_field_test.cpp -- the obstacle field: the order of its random numbers, the
// index bands, the shift after a wrap, the roll cut toward zero, and the respawn once a
// block is more than 15 units behind the eye.
#include "game/obstacle_field.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "tests/support/game_fixture.h"

using ObstacleFieldTest = GameTest;

namespace {

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

}  // namespace

TEST_F(ObstacleFieldTest, CreationDrawsTextureAngleSpeedXThenZForEachObstacleInIndexOrder) {
  for (Obstacle*& o : obstacles) delete o;
  srand(1);
  createObstacles();
  const int afterCreation = rand();
  srand(1);
  for (int i = 0; i < OBSTACLE_COUNT; i++) {
    const int texture = rand(), angle = rand(), speed = rand(), x = rand(), z = rand();
    const Obstacle& o = *obstacles[i];
    SCOPED_TRACE(i);
    EXPECT_EQ(o.texture, 3 + texture % 6);
    EXPECT_EQ(o.rollAngle, 1 + angle % 20);
    EXPECT_EQ(o.rollSpeed, float((1 + speed % 30) * 0.3));
    EXPECT_EQ(o.x, float(i < 10 ? x % 100 : i < 40 ? x % 50 : i < 70 ? -(x % 50) : -(x % 100)));
    EXPECT_EQ(o.y, -0.2f);
    EXPECT_EQ(o.z, float(-(30 + z % 150)));
  }
  EXPECT_EQ(rand(), afterCreation);  // five numbers per obstacle, no more
}

TEST_F(ObstacleFieldTest, PlacementAndRespawnKeepToTheIndexBands) {
  // Index, then the x range of a fresh placement and of a respawn: enough draws that
  // both ends are reached, and never passed.
  const int bands[][5] = {{0, 0, 99, 0, 109},    {9, 0, 99, 0, 109},   {10, 0, 49, 0, 49},
                          {39, 0, 49, 0, 49},    {40, -49, 0, -49, 0}, {69, -49, 0, -49, 0},
                          {70, -99, 0, -109, 0}, {79, -99, 0, -109, 0}};
  for (const auto& band : bands) {
    SCOPED_TRACE(band[0]);
    std::vector<float> placedX, placedZ, respawnX, respawnZ;
    Obstacle o{};
    for (int n = 0; n < 4000; n++) {
      placeObstacle(&o, band[0]);
      ASSERT_EQ(o.y, -0.2f);
      placedX.push_back(o.x), placedZ.push_back(o.z);
      o.y = 7.0f;
      respawnObstacle(&o, band[0]);
      ASSERT_EQ(o.y, 7.0f);  // a respawn leaves the height alone
      respawnX.push_back(o.x), respawnZ.push_back(o.z);
    }
    auto range = [](const std::vector<float>& v) {
      auto [low, high] = std::minmax_element(v.begin(), v.end());
      for (float f : v) EXPECT_EQ(f, std::floor(f));
      return std::vector<float>{*low, *high};
    };
    EXPECT_EQ(range(placedX), (std::vector<float>{float(band[1]), float(band[2])}));
    EXPECT_EQ(range(respawnX), (std::vector<float>{float(band[3]), float(band[4])}));
    EXPECT_EQ(range(placedZ), (std::vector<float>{-179, -30}));
    EXPECT_EQ(range(respawnZ), (std::vector<float>{-280, -131}));
  }

  // A respawn draws x, then z, and keeps texture and roll.
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

TEST_F(ObstacleFieldTest, TheWrapShiftsTheWholeFieldAlongTheTrackAndDrawsNothing) {
  std::vector<Obstacle> before;
  for (Obstacle* o : obstacles) {
    o->y = 1.5f;  // the shift must not put the height back either
    before.push_back(*o);
  }
  playerPos.z = -120.0f;
  srand(5);
  advance();
  ASSERT_EQ(playerPos.z, 3.0f);
  const int next = rand();
  srand(5);
  EXPECT_EQ(rand(), next);
  for (int i = 0; i < OBSTACLE_COUNT; i++) {
    SCOPED_TRACE(i);
    const Obstacle &o = *obstacles[i], &b = before[size_t(i)];
    EXPECT_EQ(o.z, b.z + 124.8f);
    EXPECT_EQ(std::vector<float>({o.x, o.y, float(o.texture), float(o.rollAngle), o.rollSpeed}),
              std::vector<float>({b.x, b.y, float(b.texture), float(b.rollAngle), b.rollSpeed}));
  }
  advance();  // an ordinary step leaves the field where it is
  for (int i = 0; i < OBSTACLE_COUNT; i++) EXPECT_EQ(obstacles[i]->z, before[size_t(i)].z + 124.8f) << i;
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

namespace {
std::vector<Obstacle> drawn;
void recordDraw(const Obstacle& o) { drawn.push_back(o); }
}  // namespace

TEST_F(ObstacleFieldTest, RespawnsOnlyMoreThanFifteenBehindAndAfterDrawing) {
  playerPos.z = 3.0f;
  Obstacle o{12, -0.2f, 18.0f, 4, 5, 2.0f};  // exactly 15 behind the eye
  drawn.clear();
  updateObstacle(&o, 15, recordDraw);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(o.z, 18.0f);
  EXPECT_EQ(o.x, 12.0f);
  EXPECT_EQ(o.rollAngle, 7);

  const float oldZ = o.z = std::nextafter(18.0f, 100.0f);
  updateObstacle(&o, 15, recordDraw);
  ASSERT_EQ(drawn.size(), 2u);
  // Drawn at the old place with this frame's roll, then put back far ahead.
  EXPECT_EQ(drawn[1].z, oldZ);
  EXPECT_EQ(drawn[1].x, 12.0f);
  EXPECT_EQ(drawn[1].rollAngle, 9);
  EXPECT_TRUE(o.z >= -280.0f && o.z <= -131.0f) << o.z;
  EXPECT_TRUE(o.x >= 0.0f && o.x <= 49.0f) << o.x;
  EXPECT_EQ(o.rollAngle, 9);
}

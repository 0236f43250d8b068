// tick_pacer_test.cpp -- the idle-tick pacer on a stand-in clock whose sleep moves it
// on: it sleeps out the rest of a period, makes up the ticks that a long frame lost,
// two a call at most, and forgives a stall longer than five periods.
#include <gtest/gtest.h>

#include "platform/platform.h"

namespace {
int64_t now = 1000, slept = 0;  // nanoseconds
int64_t standInClock() { return now; }
void standInSleep(int64_t ns) { slept += ns, now += ns; }
}  // namespace

TEST(TickPacer, SleepsOutThePeriodMakesUpLostTicksAndForgivesLongStalls) {
  constexpr int64_t P = 10000000;  // 100 ticks a second
  TickPacer pacer(100.0, standInClock, standInSleep);
  // Time spent between two calls, then the ticks and the sleep that the call gives.
  const struct {
    int64_t busy;
    int ticks;
    int64_t sleep;
  } calls[] = {{0, 1, 0},       {P / 4, 1, 3 * P / 4},
               {3 * P, 2, 0},               // a frame of three periods...
               {0, 1, 0},       {0, 1, P},  // ...made up, then back on time
               {100 * P, 1, 0}, {0, 1, P},  // the stall is not made up
               {6 * P, 2, 0},   {0, 2, 0},
               {0, 2, 0},       {0, 1, P}};
  for (size_t i = 0; i < std::size(calls); i++) {
    now += calls[i].busy, slept = 0;
    EXPECT_EQ(pacer.waitForTicks(), calls[i].ticks) << i;
    EXPECT_EQ(slept, calls[i].sleep) << i;
  }
  now += 2 * P, slept = 0, pacer.reset();  // two ticks late, but started afresh
  EXPECT_EQ(pacer.waitForTicks(), 1);
  EXPECT_EQ(slept, 0);
}

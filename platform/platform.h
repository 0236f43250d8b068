// platform.h -- the two operating-system services the game asks for: the desktop
// window handle handed to the sound library, and a millisecond sleep. Also the
// pacer that holds the idle tick to a fixed rate.
#pragma once

#include <cstdint>

using WindowHandle = void*;  // opaque, pointer-sized

WindowHandle desktopWindowHandle();  // there is no desktop window on Linux: null
void sleepMilliseconds(uint32_t ms);  // blocks the calling thread

// Tests replace the sleep so that they need not wait; null restores the real one.
using SleepFunction = void (*)(uint32_t ms);
void setSleepFunction(SleepFunction fn);  // replace (tests), null = real sleep

// Holds a loop to a fixed tick rate: waitForNextTick() returns once per period,
// sleeping (never spinning) until the tick falls due. A loop that falls behind by
// more than one period starts afresh from now instead of running a catch-up burst.
class TickPacer {
 public:
  explicit TickPacer(double ticksPerSecond);
  void waitForNextTick();  // sleeps until the next tick is due
  void reset();            // the next call returns at once

 private:
  int64_t periodNs_;
  int64_t nextNs_;  // 0 = not started
};

// platform.h -- the operating-system services the game asks for: the desktop window
// handle handed to the sound library, a millisecond sleep, and the placement of the
// software renderer's threads. Also the pacer that holds the idle tick to a fixed rate.
#pragma once

#include <cstdint>

using WindowHandle = void*;  // opaque, pointer-sized

WindowHandle desktopWindowHandle();   // there is no desktop window on Linux: null
void sleepMilliseconds(uint32_t ms);  // blocks the calling thread
int64_t monotonicNs();                // CLOCK_MONOTONIC in nanoseconds

// With Mesa's software renderer (llvmpipe) current, pins its raster thread N to the
// (N mod count)th CPU this thread may run on, so that a frame's rasterization is spread
// over the CPUs. Returns the threads pinned: 0 with any other driver or a single CPU.
int spreadRasterThreads();  // after the GL context is made

// Tests replace the sleep so that they need not wait; null restores the real one.
using SleepFunction = void (*)(uint32_t ms);
void setSleepFunction(SleepFunction fn);  // replace (tests), null = real sleep

// Holds a loop to a fixed tick rate on average. waitForTicks() sleeps (never spins)
// until a tick is due and returns how many are due: 1, or 2 when the loop has fallen
// behind (a frame ran long), so that the lost ticks are made up over the following
// calls. A loop that falls behind by more than MAX_LAG_PERIODS periods (a stall such
// as the one-second crash pause) starts afresh from now: that time is not made up.
class TickPacer {
 public:
  static constexpr int MAX_TICKS_PER_CALL = 2;
  static constexpr int MAX_LAG_PERIODS = 5;
  using Clock = int64_t (*)();         // monotonic nanoseconds
  using Sleep = void (*)(int64_t ns);  // blocks for ns (nothing if ns <= 0)

  // The real monotonic clock and sleep unless others are given (tests).
  explicit TickPacer(double ticksPerSecond, Clock clock = nullptr, Sleep sleep = nullptr);
  int waitForTicks();  // sleeps until a tick is due; returns the ticks due, 1 or 2
  void reset();        // the next call returns 1 at once and starts afresh

 private:
  int64_t periodNs_;
  int64_t nextNs_;  // when the next tick falls due; 0 = not started
  Clock clock_;
  Sleep sleep_;
};

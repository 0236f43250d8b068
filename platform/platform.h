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
// over the CPUs. `renderer` is the current context's GL_RENDERER string. Touches only
// this process's threads named "llvmpipe-N", never the calling or the main thread.
// Returns the threads pinned: 0 with any other renderer (or null), on a single CPU, or
// when the environment variable ZARNOK_PIN_RASTER_THREADS is 0.
int spreadRasterThreads(const char* renderer);  // after the GL context is made

// Tests replace the sleep so that they need not wait; null restores the real one.
using SleepFunction = void (*)(uint32_t ms);
void setSleepFunction(SleepFunction fn);  // replace (tests), null = real sleep

// Holds a loop to a fixed tick rate. waitForTick() sleeps (never spins) until the next
// tick falls due. A loop that has fallen behind (a frame ran long) finds its next ticks
// due at once, one a call, until it is back on time; one that has fallen behind by
// more than MAX_LAG_PERIODS periods (a stall such as the one-second crash pause)
// starts afresh from now, and that time is not made up.
class TickPacer {
 public:
  static constexpr int MAX_LAG_PERIODS = 5;
  using Clock = int64_t (*)();         // monotonic nanoseconds
  using Sleep = void (*)(int64_t ns);  // blocks for ns (nothing if ns <= 0)

  // The real monotonic clock and sleep unless others are given (tests).
  explicit TickPacer(double ticksPerSecond, Clock clock = nullptr, Sleep sleep = nullptr);
  void waitForTick();  // sleeps until the next tick is due

 private:
  int64_t periodNs_;
  int64_t nextNs_;  // when the next tick falls due; 0 = not started
  Clock clock_;
  Sleep sleep_;
};

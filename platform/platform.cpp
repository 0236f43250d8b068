// platform.cpp -- Linux stand-ins for the desktop window handle and the sleep, and
// the idle-tick pacer.
#include "platform/platform.h"

#include <cerrno>
#include <ctime>

static SleepFunction sleepOverride = nullptr;

static int64_t monotonicNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

static void sleepNs(int64_t ns) {
  if (ns <= 0) return;
  timespec ts{time_t(ns / 1000000000), long(ns % 1000000000)};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

WindowHandle desktopWindowHandle() { return nullptr; }

void sleepMilliseconds(uint32_t ms) {
  if (sleepOverride) {
    sleepOverride(ms);
    return;
  }
  sleepNs(int64_t(ms) * 1000000);
}

void setSleepFunction(SleepFunction fn) { sleepOverride = fn; }

TickPacer::TickPacer(double ticksPerSecond, Clock clock, Sleep sleep)
    : periodNs_(int64_t(1e9 / ticksPerSecond)),
      nextNs_(0),
      clock_(clock ? clock : monotonicNs),
      sleep_(sleep ? sleep : sleepNs) {}

void TickPacer::reset() { nextNs_ = 0; }

int TickPacer::waitForTicks() {
  int64_t now = clock_();
  if (nextNs_ == 0 || now - nextNs_ > MAX_LAG_PERIODS * periodNs_) {
    // First tick, or a stall too long to make up: start afresh from now.
    nextNs_ = now + periodNs_;
    return 1;
  }
  if (now < nextNs_) {
    sleep_(nextNs_ - now);
    now = nextNs_;
  }
  // Behind by a period or more: one extra tick now, and the rest of the lag on the
  // calls that follow, each of which then returns without sleeping.
  const int ticks = now - nextNs_ >= periodNs_ ? MAX_TICKS_PER_CALL : 1;
  nextNs_ += ticks * periodNs_;
  return ticks;
}

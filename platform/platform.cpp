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

TickPacer::TickPacer(double ticksPerSecond)
    : periodNs_(int64_t(1e9 / ticksPerSecond)), nextNs_(0) {}

void TickPacer::reset() { nextNs_ = 0; }

void TickPacer::waitForNextTick() {
  int64_t now = monotonicNs();
  if (nextNs_ == 0 || now - nextNs_ > periodNs_) {
    // First tick, or we fell behind (a long frame, the crash pause): no catch-up.
    nextNs_ = now + periodNs_;
    return;
  }
  if (now < nextNs_) {
    sleepNs(nextNs_ - now);
  }
  nextNs_ += periodNs_;
}

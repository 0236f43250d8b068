// platform_shared.cpp -- the parts of the platform that are the same on every system:
// the idle-tick pacer and the replaceable sleep, over each system's own clock and
// sleeps (native.h).
#include "platform/native.h"
#include "platform/platform.h"

static SleepFunction sleepOverride = nullptr;

void sleepMilliseconds(uint32_t ms) {
  if (sleepOverride) {
    sleepOverride(ms);
    return;
  }
  nativeSleepMilliseconds(ms);
}

void setSleepFunction(SleepFunction fn) { sleepOverride = fn; }

TickPacer::TickPacer(double ticksPerSecond, Clock clock, Sleep sleep)
    : periodNs_(int64_t(1e9 / ticksPerSecond)),
      nextNs_(0),
      clock_(clock ? clock : monotonicNs),
      sleep_(sleep ? sleep : nativeSleepNs) {}

void TickPacer::waitForTick() {
  const int64_t now = clock_();
  if (nextNs_ == 0 || now - nextNs_ > MAX_LAG_PERIODS * periodNs_) {
    // First tick, or a stall too long to make up: start afresh from now.
    nextNs_ = now + periodNs_;
    return;
  }
  // On time: sleep out the rest of the period. Behind: no sleep, and the schedule
  // stays where it was, so the calls that follow catch up one tick at a time.
  if (now < nextNs_) sleep_(nextNs_ - now);
  nextNs_ += periodNs_;
}

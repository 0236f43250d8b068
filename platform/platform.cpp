// platform.cpp -- Linux stand-ins for the desktop window handle and the sleep, the
// idle-tick pacer, and the placement of the software renderer's raster threads.
#include "platform/platform.h"

#include <dirent.h>
#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

static SleepFunction sleepOverride = nullptr;

int64_t monotonicNs() {
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

// Mesa's software renderer names its raster threads "llvmpipe-0", "llvmpipe-1", ... and
// hands every frame to all of them at once. Left to the kernel, they were seen waking
// side by side on the CPU that flushed the frame while the other one stayed idle, so a
// frame was rasterized at the pace of one CPU.
int spreadRasterThreads() {
  cpu_set_t allowed;
  if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return 0;
  std::vector<int> cpus;
  for (int cpu = 0; cpu < CPU_SETSIZE; cpu++)
    if (CPU_ISSET(cpu, &allowed)) cpus.push_back(cpu);
  if (cpus.size() < 2) return 0;
  DIR* tasks = opendir("/proc/self/task");
  if (tasks == nullptr) return 0;
  int pinned = 0;
  while (const dirent* task = readdir(tasks)) {
    char path[300], name[32] = "";
    std::snprintf(path, sizeof path, "/proc/self/task/%s/comm", task->d_name);
    FILE* comm = std::fopen(path, "r");
    if (comm == nullptr) continue;  // "." and "..", or a thread that has ended
    const bool raster =
        std::fgets(name, sizeof name, comm) != nullptr && std::strncmp(name, "llvmpipe-", 9) == 0;
    std::fclose(comm);
    if (!raster) continue;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpus[size_t(std::atoi(name + 9)) % cpus.size()], &one);
    if (sched_setaffinity(pid_t(std::atoi(task->d_name)), sizeof one, &one) == 0) pinned++;
  }
  closedir(tasks);
  return pinned;
}

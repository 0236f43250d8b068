// platform_linux.cpp -- the Linux half of the platform: stand-ins for the desktop
// window handle and the sleep, the monotonic clock, the placement of the software
// renderer's raster threads, and ALSA kept quiet while the sound library starts.
// (The Windows half is platform_windows.cpp; the build takes one of the two.)
#include <dirent.h>
#include <dlfcn.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/native.h"
#include "platform/platform.h"

int64_t monotonicNs() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void nativeSleepNs(int64_t ns) {
  if (ns <= 0) return;
  timespec ts{time_t(ns / 1000000000), long(ns % 1000000000)};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

// The game writes its sound paths the Windows way ("sounds\\crash.wav").
std::string nativeFilePath(const char* path) {
  std::string p(path);
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

void nativeSleepMilliseconds(uint32_t ms) { nativeSleepNs(int64_t(ms) * 1000000); }

WindowHandle desktopWindowHandle() { return nullptr; }

// The number N of a thread name "llvmpipe-N\n" as /proc gives it, or -1 for any other.
static int rasterThreadNumber(const char* name) {
  static const char PREFIX[] = "llvmpipe-";
  if (std::strncmp(name, PREFIX, sizeof PREFIX - 1) != 0) return -1;
  const char* digits = name + sizeof PREFIX - 1;
  int number = 0;
  int count = 0;
  for (; digits[count] >= '0' && digits[count] <= '9'; count++) {
    if (count == 6) return -1;
    number = number * 10 + (digits[count] - '0');
  }
  const bool ends = digits[count] == '\0' || (digits[count] == '\n' && digits[count + 1] == '\0');
  return count > 0 && ends ? number : -1;
}

// The thread id that a /proc/self/task entry names, or -1 for "." , ".." and the like.
static pid_t threadId(const char* entry) {
  if (*entry == '\0') return -1;
  long id = 0;
  for (const char* c = entry; *c != '\0'; c++) {
    if (*c < '0' || *c > '9' || id > 99999999) return -1;
    id = id * 10 + (*c - '0');
  }
  return pid_t(id);
}

// This process's raster threads, by thread id and number.
static std::vector<std::pair<pid_t, int>> rasterThreads() {
  std::vector<std::pair<pid_t, int>> threads;
  DIR* tasks = opendir("/proc/self/task");
  if (tasks == nullptr) return threads;
  while (const dirent* task = readdir(tasks)) {
    // The driver starts its own threads: the main thread and this one are never among
    // them, whatever the program is named.
    const pid_t id = threadId(task->d_name);
    if (id < 0 || id == getpid() || id == pid_t(syscall(SYS_gettid))) continue;
    char path[64];
    char name[32] = "";
    std::snprintf(path, sizeof path, "/proc/self/task/%d/comm", int(id));
    FILE* comm = std::fopen(path, "r");
    if (comm == nullptr) continue;  // the thread has ended
    const int number = std::fgets(name, sizeof name, comm) != nullptr ? rasterThreadNumber(name) : -1;
    std::fclose(comm);
    if (number >= 0) threads.emplace_back(id, number);
  }
  closedir(tasks);
  return threads;
}

// Mesa's software renderer names its raster threads "llvmpipe-0", "llvmpipe-1", ... and
// hands every frame to all of them at once. Left to the kernel, they were seen waking
// side by side on the CPU that flushed the frame while the other one stayed idle, so a
// frame was rasterized at the pace of one CPU.
int spreadRasterThreads(const char* renderer) {
  const char* wanted = std::getenv("ZARNOK_PIN_RASTER_THREADS");
  if (wanted != nullptr && std::strcmp(wanted, "0") == 0) return 0;
  if (renderer == nullptr || std::strstr(renderer, "llvmpipe") == nullptr) return 0;
  cpu_set_t allowed;
  if (sched_getaffinity(0, sizeof allowed, &allowed) != 0) return 0;
  std::vector<int> cpus;
  for (int cpu = 0; cpu < CPU_SETSIZE; cpu++)
    if (CPU_ISSET(cpu, &allowed)) cpus.push_back(cpu);
  if (cpus.size() < 2) return 0;
  // The threads start with the context and name themselves once they first run, which
  // on a busy machine can be a while later: look until there are some and their number
  // has stayed the same for five looks a millisecond apart (half a second at most).
  std::vector<std::pair<pid_t, int>> threads = rasterThreads();
  for (int look = 0, steady = 0; look < 500 && steady < 5; look++) {
    nativeSleepNs(1000000);
    const std::vector<std::pair<pid_t, int>> now = rasterThreads();
    steady = !now.empty() && now.size() == threads.size() ? steady + 1 : 0;
    threads = now;
  }
  int pinned = 0;
  for (const auto& [id, number] : threads) {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(cpus[size_t(number) % cpus.size()], &one);
    if (sched_setaffinity(id, sizeof one, &one) == 0) pinned++;
  }
  return pinned;
}

// ALSA reports a missing sound card on standard error, line by line, whenever SDL
// tries it. Its reporter is silenced in the same library instance that SDL loads.
static void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void quietNativeSoundErrors(bool quiet) {
  using ErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(ErrorHandler);
  static void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
  if (alsa == nullptr) return;
  auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
  if (set != nullptr) set(quiet ? ignoreAlsaError : nullptr);
}

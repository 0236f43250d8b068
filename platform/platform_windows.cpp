// platform_windows.cpp -- the Windows half of the platform: the desktop window handle
// and Sleep are Windows' own, the monotonic clock is the performance counter, and the
// pacer's sleep is a high-resolution waitable timer (the raised timer resolution where
// there is none). Sound paths go to the sound library as written, and the raster
// threads are left where Windows puts them.
// (The Linux half is platform_linux.cpp; the build takes one of the two.)
#include <windows.h>  // with mmsystem.h (timeBeginPeriod)

#include <cstdlib>

#include "platform/native.h"
#include "platform/platform.h"

// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION (Windows 10 1803 and later; not in MinGW's headers).
constexpr DWORD HIGH_RESOLUTION_TIMER = 0x00000002;

int64_t monotonicNs() {
  static const int64_t frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return int64_t(f.QuadPart);
  }();
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  // Whole seconds and the rest apart, so that the product cannot overflow.
  const int64_t ticks = count.QuadPart;
  return ticks / frequency * 1000000000 + ticks % frequency * 1000000000 / frequency;
}

// Sleep wakes on the system timer's tick, 15.6 ms by default: a 60 Hz pacer on it
// would run at 32 to 64 ticks a second. A high-resolution waitable timer wakes within
// about half a millisecond without changing the tick for the whole system. Older
// systems lack it: there the tick is raised to 1 ms for the program's lifetime
// (and given back at exit), and Sleep waits.
namespace {
HANDLE preciseTimer() {
  static const HANDLE timer = [] {
    HANDLE t = CreateWaitableTimerExW(nullptr, nullptr, HIGH_RESOLUTION_TIMER, TIMER_ALL_ACCESS);
    if (t == nullptr && timeBeginPeriod(1) == TIMERR_NOERROR) {
      std::atexit([] { timeEndPeriod(1); });
    }
    return t;
  }();
  return timer;
}
}  // namespace

void nativeSleepNs(int64_t ns) {
  if (ns <= 0) return;
  const HANDLE timer = preciseTimer();
  LARGE_INTEGER due;
  due.QuadPart = -((ns + 99) / 100);  // relative, in 100 ns units
  if (timer != nullptr && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE)) {
    WaitForSingleObject(timer, INFINITE);
    return;
  }
  Sleep(DWORD((ns + 999999) / 1000000));
}

void nativeSleepMilliseconds(uint32_t ms) { Sleep(ms); }

std::string nativeFilePath(const char* path) { return path; }  // '\' is Windows' own

void quietNativeSoundErrors(bool) {}  // Windows' audio prints nothing

WindowHandle desktopWindowHandle() { return GetDesktopWindow(); }

int spreadRasterThreads(const char*) { return 0; }  // left to Windows' scheduler

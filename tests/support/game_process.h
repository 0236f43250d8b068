// game_process.h -- the real game for end-to-end runs on the test's own Xvfb: driven
// with xdotool, watched through its frame log, its output and exit status kept.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// The software renderer's raster threads of a process, "llvmpipe-N:CPUs it may use "
// for each, by name.
std::string rasterThreadCpus(pid_t pid);  // from /proc

struct Frame {  // a line of the frame log: monotonic times, and a round played as it began
  long long startNs, endNs;
  bool playing;
};

class GameProcess {
 public:
  // Starts the game in dir with extra environment "NAME=value"; sound driver dummy unless named.
  explicit GameProcess(const std::string& dir = ZARNOK_ASSET_DIR, const std::vector<std::string>& env = {});
  ~GameProcess();                             // kills the game if it still runs
  bool waitForWindow();                       // "Trelvisk" shown; the pointer moved into it
  std::pair<int, int> windowSize() const;     // width, height
  bool send(const std::string& input) const;  // xdotool arguments: "key space", "mousedown 1"
  bool closeWindow() const;                   // as a window manager's close button does
  bool waitUntil(const std::function<bool()>& done, double seconds = 60);  // false: timed out or ended
  int waitForExit();  // the exit status after at most 30 s; -1: a signal
  bool running();
  pid_t pid() const { return pid_; }
  std::vector<Frame> frames() const;  // drawn so far
  std::string output() const;         // its standard output and error so far

 private:
  pid_t pid_ = -1;
  int status_ = -1;
  std::string window_, outputPath_, framePath_;
};

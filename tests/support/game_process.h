// game_process.h -- the real game for end-to-end runs: started in a folder on the
// test's X display (the private Xvfb of with-xvfb) with a sound driver named, driven
// with xdotool, watched through its frame log, its output and exit status kept.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// One drawn frame from the game's frame log: monotonic nanoseconds, and whether a
// round was being played as it began.
struct Frame {
  long long startNs, endNs;
  bool playing;
};

class GameProcess {
 public:
  // Starts the built game in dir with extra environment entries "NAME=value"; the
  // sound driver is SDL's dummy unless an entry names another.
  explicit GameProcess(const std::string& dir = ZARNOK_ASSET_DIR, const std::vector<std::string>& env = {});
  ~GameProcess();  // kills the game if it still runs, removes its logs
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  bool waitForWindow();                    // shown and titled "Trelvisk"; the pointer moved into it
  std::pair<int, int> windowSize() const;  // width, height
  bool send(const std::string& input);     // xdotool arguments: "key space", "mousedown 1"
  bool closeWindow();                      // as a window manager's close button does
  // Polls until done() holds or the game has ended; false after `seconds`.
  bool waitUntil(const std::function<bool()>& done, double seconds = 60);
  int waitForExit();  // exit status; -1 for a signal or a game still running after 30 s
  bool running();
  std::vector<Frame> frames() const;  // every frame drawn so far
  std::string output() const;         // standard output and error so far

 private:
  pid_t pid_ = -1;
  int status_ = -1;
  std::string window_, outputPath_, framePath_;
};

// The standard output of a shell command ("" if it cannot run).
std::string runCommand(const std::string& command);

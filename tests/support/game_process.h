// game_process.h -- test support for end-to-end runs: starts the real zarnok binary
// on the test's X display (the private Xvfb of with-xvfb) in a working directory,
// finds its window, drives it with xdotool, takes PNG screenshots and reads the
// exit status.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

class GameProcess {
 public:
  GameProcess() = default;
  ~GameProcess();  // kills the game if it still runs
  GameProcess(const GameProcess&) = delete;
  GameProcess& operator=(const GameProcess&) = delete;

  // Starts program (default: the built zarnok) in workDir (default: the asset
  // folder) with extra environment entries "NAME=value". Captures stdout and stderr.
  bool start(const std::string& workDir = "", const std::vector<std::string>& env = {},
             const std::string& program = "");            // fork and exec
  bool waitForWindow(const std::string& title, double seconds = 15);  // find by title
  std::string windowId() const { return windowId_; }
  std::pair<int, int> windowSize() const;               // width, height via xdotool

  bool running();                                        // still alive?
  // Waits for exit; returns the exit status (0..255), or -1 on timeout / signal.
  int waitForExit(double seconds);                        // exit status
  void kill();                                            // SIGKILL and reap

  bool key(const std::string& keyName);                   // e.g. "space", "Escape"
  bool mouseDown(int xButton);                            // X button 1 left, 3 right
  bool mouseUp(int xButton);
  bool closeWindow();                                     // as a window manager would
  bool screenshot(const std::string& pngPath);            // the game window as PNG

  std::string output() const;  // what the game printed so far (stdout and stderr)
  pid_t pid() const { return pid_; }

 private:
  bool xdotool(const std::string& args);
  pid_t pid_ = -1;
  int exitStatus_ = -1;
  std::string windowId_;
  std::string logPath_;
};

// Runs a shell command and returns its standard output ("" on failure).
std::string runCommand(const std::string& command);  // popen helper
// Seconds since an arbitrary start (monotonic).
double monotonicSeconds();

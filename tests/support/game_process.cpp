// game_process.cpp -- fork and exec of the game, xdotool for input and geometry, Xlib
// for the close request, the game's frame log for what it drew.
#include "tests/support/game_process.h"

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

std::string runCommand(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

GameProcess::GameProcess(const std::string& dir, const std::vector<std::string>& env) {
  char outputPath[] = "/tmp/zarnok-output-XXXXXX", framePath[] = "/tmp/zarnok-frames-XXXXXX";
  const int outputFd = mkstemp(outputPath);
  close(mkstemp(framePath));
  outputPath_ = outputPath;
  framePath_ = framePath;
  pid_ = fork();
  if (pid_ == 0) {
    dup2(outputFd, 1);
    dup2(outputFd, 2);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("ZARNOK_FRAME_LOG", framePath, 1);
    for (const std::string& entry : env) putenv(const_cast<char*>(entry.c_str()));
    if (chdir(dir.c_str()) == 0) execl(ZARNOK_GAME_BINARY, "zarnok", static_cast<char*>(nullptr));
    _exit(120);
  }
  close(outputFd);
}

GameProcess::~GameProcess() {
  if (running()) kill(pid_, SIGKILL), waitpid(pid_, nullptr, 0);
  std::remove(outputPath_.c_str());
  std::remove(framePath_.c_str());
}

bool GameProcess::waitForWindow() {
  return waitUntil(
             [this] {
               std::istringstream(
                   runCommand("xdotool search --onlyvisible --name '^Trelvisk$' 2>/dev/null")) >>
                   window_;
               // There is no window manager: keys go to the window under the pointer.
               return !window_.empty() && send("mousemove --window " + window_ + " 300 200");
             },
             30) &&
         running();
}

std::pair<int, int> GameProcess::windowSize() const {
  std::pair<int, int> size{0, 0};
  const std::string out = runCommand("xdotool getwindowgeometry " + window_ + " 2>/dev/null");
  const size_t at = out.find("Geometry: ");
  if (at != std::string::npos) std::sscanf(out.c_str() + at, "Geometry: %dx%d", &size.first, &size.second);
  return size;
}

bool GameProcess::send(const std::string& input) {
  return std::system(("xdotool " + input + " >/dev/null 2>&1").c_str()) == 0;
}

bool GameProcess::closeWindow() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = std::stoul(window_);
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
  const bool sent = XSendEvent(display, event.xclient.window, False, NoEventMask, &event) != 0;
  XCloseDisplay(display);
  return sent;
}

bool GameProcess::waitUntil(const std::function<bool()>& done, double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (!done()) {
    if (!running() || std::chrono::steady_clock::now() > end) return done();
    usleep(50000);
  }
  return true;
}

bool GameProcess::running() {
  int status = 0;
  if (pid_ <= 0 || waitpid(pid_, &status, WNOHANG) == 0) return pid_ > 0;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  pid_ = -1;
  return false;
}

int GameProcess::waitForExit() {
  waitUntil([] { return false; }, 30);
  return running() ? -1 : status_;
}

std::vector<Frame> GameProcess::frames() const {
  std::vector<Frame> frames;
  std::ifstream log(framePath_);
  for (Frame f; log >> f.startNs >> f.endNs >> f.playing;) frames.push_back(f);
  return frames;
}

std::string GameProcess::output() const {
  std::ostringstream text;
  text << std::ifstream(outputPath_).rdbuf();
  return text.str();
}

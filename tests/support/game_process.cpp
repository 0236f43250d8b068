// game_process.cpp -- fork and exec of the game, xdotool for input and geometry, Xlib
// for the close request.
#include "tests/support/game_process.h"

#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

static std::string runCommand(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  for (int c; pipe && (c = std::fgetc(pipe)) != EOF;) out += char(c);
  if (pipe) pclose(pipe);
  return out;
}

std::string rasterThreadCpus(pid_t pid) {
  std::map<std::string, std::string> threads;
  for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task")) {
    std::string name, line;
    std::getline(std::ifstream(task.path() / "comm"), name);
    for (std::ifstream status(task.path() / "status");
         name.rfind("llvmpipe-", 0) == 0 && std::getline(status, line);)
      if (line.rfind("Cpus_allowed_list:", 0) == 0) threads[name] = line.substr(line.find_last_of("\t ") + 1);
  }
  std::string all;
  for (const auto& [name, cpus] : threads) all += name + ":" + cpus + " ";
  return all;
}

GameProcess::GameProcess(const std::string& dir, const std::vector<std::string>& env) {
  char outputPath[] = "/tmp/zarnok-output-XXXXXX";
  char framePath[] = "/tmp/zarnok-frames-XXXXXX";
  const int outputFd = mkstemp(outputPath);
  close(mkstemp(framePath));
  outputPath_ = outputPath;
  framePath_ = framePath;
  if ((pid_ = fork()) == 0) {
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
  if (running()) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  std::remove(outputPath_.c_str());
  std::remove(framePath_.c_str());
}

bool GameProcess::waitForWindow() {
  const std::string search = "timeout 30 xdotool search --sync --onlyvisible --name '^Trelvisk$' 2>/dev/null";
  std::istringstream(runCommand(search)) >> window_;
  // There is no window manager: keys go to the window under the pointer.
  return !window_.empty() && send("mousemove --window " + window_ + " 300 200");
}

std::pair<int, int> GameProcess::windowSize() const {
  std::pair<int, int> size{0, 0};
  std::sscanf(runCommand("xdotool getwindowgeometry --shell " + window_).c_str(),
              "WINDOW=%*d X=%*d Y=%*d WIDTH=%d HEIGHT=%d", &size.first, &size.second);
  return size;
}

bool GameProcess::send(const std::string& input) const {
  return std::system(("xdotool " + input + " >/dev/null 2>&1").c_str()) == 0;
}

bool GameProcess::closeWindow() const {
  Display* x = XOpenDisplay(nullptr);
  XEvent e{};
  e.xclient = {ClientMessage, 0, True, x, std::stoul(window_), XInternAtom(x, "WM_PROTOCOLS", 0), 32, {}};
  e.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
  const bool sent = XSendEvent(x, e.xclient.window, False, NoEventMask, &e) != 0;
  XCloseDisplay(x);
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

int GameProcess::waitForExit() {
  waitUntil([] { return false; }, 30);
  return running() ? -1 : status_;
}

bool GameProcess::running() {
  int status = 0;
  if (pid_ <= 0 || waitpid(pid_, &status, WNOHANG) == 0) return pid_ > 0;
  status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  pid_ = -1;
  return false;
}

std::string GameProcess::output() const { return runCommand("cat " + outputPath_); }

std::vector<Frame> GameProcess::frames() const {
  std::vector<Frame> frames;
  std::ifstream log(framePath_);
  for (Frame f; log >> f.startNs >> f.endNs >> f.playing;) frames.push_back(f);
  return frames;
}

// game_process.cpp -- the end-to-end runner: fork/exec of the game, xdotool for
// input, xwd + ImageMagick for screenshots, Xlib for the window manager's close.
#include "tests/support/game_process.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

double monotonicSeconds() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

std::string runCommand(const std::string& command) {
  FILE* p = popen(command.c_str(), "r");
  if (!p) return "";
  std::string out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

GameProcess::~GameProcess() { kill(); }

bool GameProcess::start(const std::string& workDir, const std::vector<std::string>& env,
                        const std::string& program) {
  std::string dir = workDir.empty() ? std::string(ZARNOK_ASSET_DIR) : workDir;
  std::string exe = program.empty() ? std::string(ZARNOK_GAME_BINARY) : program;
  char logTemplate[] = "/tmp/zarnok-game-XXXXXX";
  int logFd = mkstemp(logTemplate);
  if (logFd < 0) return false;
  logPath_ = logTemplate;
  pid_ = fork();
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    dup2(logFd, 1);
    dup2(logFd, 2);
    int devNull = open("/dev/null", O_RDONLY);
    if (devNull >= 0) dup2(devNull, 0);
    if (chdir(dir.c_str()) != 0) _exit(120);
    // No sound card here: SDL's silent dummy driver unless the test says otherwise.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    for (const auto& entry : env) putenv(strdup(entry.c_str()));
    execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
    _exit(121);
  }
  close(logFd);
  return true;
}

bool GameProcess::waitForWindow(const std::string& title, double seconds) {
  double end = monotonicSeconds() + seconds;
  while (monotonicSeconds() < end) {
    std::string out = runCommand("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null");
    std::istringstream lines(out);
    std::string id;
    if (std::getline(lines, id) && !id.empty()) {
      windowId_ = id;
      // Key events go to the window under the pointer: there is no window manager.
      xdotool("mousemove --window " + windowId_ + " 300 200");
      return true;
    }
    if (!running()) return false;
    usleep(100000);
  }
  return false;
}

std::pair<int, int> GameProcess::windowSize() const {
  std::string out = runCommand("xdotool getwindowgeometry " + windowId_ + " 2>/dev/null");
  int w = 0, h = 0;
  auto pos = out.find("Geometry: ");
  if (pos != std::string::npos) std::sscanf(out.c_str() + pos, "Geometry: %dx%d", &w, &h);
  return {w, h};
}

bool GameProcess::running() {
  if (pid_ <= 0) return false;
  int status = 0;
  pid_t r = waitpid(pid_, &status, WNOHANG);
  if (r == 0) return true;
  if (r == pid_) {
    exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    pid_ = -1;
  }
  return false;
}

int GameProcess::waitForExit(double seconds) {
  double end = monotonicSeconds() + seconds;
  while (monotonicSeconds() < end) {
    if (!running()) return exitStatus_;
    usleep(20000);
  }
  return -1;
}

void GameProcess::kill() {
  if (pid_ > 0) {
    ::kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
}

bool GameProcess::xdotool(const std::string& args) {
  return std::system(("xdotool " + args + " >/dev/null 2>&1").c_str()) == 0;
}

bool GameProcess::key(const std::string& keyName) {
  if (xdotool("key --window " + windowId_ + " " + keyName)) return true;
  // A key that ends the game (ESC) takes the window with it before xdotool sends the
  // key's release; the press was delivered all the same.
  for (int i = 0; i < 100 && running(); i++) usleep(50000);
  return !running();
}
bool GameProcess::mouseDown(int xButton) { return xdotool("mousedown " + std::to_string(xButton)); }
bool GameProcess::mouseUp(int xButton) { return xdotool("mouseup " + std::to_string(xButton)); }

bool GameProcess::closeWindow() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return false;
  Window window = Window(std::strtoul(windowId_.c_str(), nullptr, 10));
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  bool ok = XSendEvent(display, window, False, NoEventMask, &event) != 0;
  XFlush(display);
  XCloseDisplay(display);
  return ok;
}

bool GameProcess::screenshot(const std::string& pngPath) {
  std::string cmd = "xwd -silent -id " + windowId_ + " | convert xwd:- png:'" + pngPath + "'";
  return std::system(cmd.c_str()) == 0;
}

std::string GameProcess::output() const {
  std::ifstream in(logPath_);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

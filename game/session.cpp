// session.cpp -- the spine of the game: one-time start-up, the GLUT callbacks of the
// session (display, reshape, keyboard, idle, timer), the survival clock, the blinking
// prompt, the music switch and the clean-up after the main loop.
#include <GL/freeglut.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "game/field_frame.h"
#include "game/game_state.h"
#include "game/obstacle_field.h"
#include "image/texture_loader.h"
#include "platform/platform.h"
#include "render/scene.h"
#include "render/title_screen.h"
#include "sound/sound_player.h"

// Every speed is a distance per idle tick, and GLUT calls the idle callback as often as
// the loop goes idle: hundreds or thousands of times a second on a machine of today,
// which would make the game unplayable. So each idle call waits for the next sixtieth
// of a second before its one tick. This pacing is ours; the rest of the idle callback
// is as it always was.
static TickPacer idlePacer(60.0);

// For measurements only: with ZARNOK_TICK_LOG naming a file, every idle tick appends one
// line "<ns>" (monotonic clock); with ZARNOK_FRAME_LOG naming a file, every drawn frame
// appends one line "<start ns> <end ns> <1 in a round, 0 on the title screen>" (from
// before the camera to after the buffer swap; the state as the frame began).
static int tickLogFd = -2, frameLogFd = -2;  // -2 not looked up yet, -1 off

static int openLog(int& fd, const char* variable) {
  if (fd == -2) {
    const char* path = std::getenv(variable);
    fd = path ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644) : -1;
  }
  return fd;
}

static void appendLine(int& fd, const char* line, int length) {
  if (write(fd, line, size_t(length)) != length) fd = -1;
}

static void logTick() {
  if (openLog(tickLogFd, "ZARNOK_TICK_LOG") < 0) return;
  char line[32];
  appendLine(tickLogFd, line,
             std::snprintf(line, sizeof line, "%lld\n", static_cast<long long>(monotonicNs())));
}

static long long frameClockNs() { return openLog(frameLogFd, "ZARNOK_FRAME_LOG") < 0 ? 0 : monotonicNs(); }

static void logFrame(long long startNs, bool playing) {
  if (frameLogFd < 0) return;
  char line[64];
  appendLine(frameLogFd, line,
             std::snprintf(line, sizeof line, "%lld %lld %d\n", startNs,
                           static_cast<long long>(monotonicNs()), playing ? 1 : 0));
}

void requestRedisplay() {
  // Once the window is closed the loop still finishes its round of callbacks: there
  // is nothing left to redraw then.
  if (glutGetWindow() != 0) glutPostRedisplay();
}

void initGame() {
  glClearColor(0, 0, 0, 0);
  isPlaying = false;
  loadTextures();
  createObstacles();
  setupRenderState();
  WindowHandleHolder::instance().setHandle(desktopWindowHandle());
  soundPlayer = new SoundPlayer();
  soundPlayer->init();
  soundPlayer->musicMode = 0;
  soundPlayer->openMusic("sounds\\bgm_main.wav", true);
  soundPlayer->playMusic();
}

void displayFrame() {
  const long long frameStartNs = frameClockNs();
  const bool framePlaying = isPlaying;
  setupCamera();
  if (isPlaying) {
    drawGround();
    drawBackWall();
    drawBlocks();
    drawScoreBoards();
  }
  drawText();
  glFlush();
  glutSwapBuffers();
  logFrame(frameStartNs, framePlaying);
}

void reshapeWindow(int width, int height) {
  if (height == 0) return;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60.0, double(width) / double(height), 0.1, 500.0);
  advance();
  glMatrixMode(GL_MODELVIEW);
}

void keyPressed(unsigned char key, int, int) {
  if (key == 27) std::exit(-1);
  if (key == 32) {
    if (!isPlaying) isPlaying = true;
    soundPlayer->musicMode = 1;
    switchMusic();
    elapsedTime = 0.0f;
  }
  requestRedisplay();
}

void idleTick() {
  idlePacer.waitForTick();
  steer();
  advance();
  logTick();
  requestRedisplay();
}

void timerTick(int) {
  elapsedTime += 0.1f;
  if (!isPlaying) {
    blinkTicks += 1;
    if (blinkTicks % 5 == 0) {
      promptVisible = !promptVisible;
      blinkTicks = 0;
    }
  }
  requestRedisplay();
  glutTimerFunc(100, timerTick, 0);
}

void switchMusic() {
  soundPlayer->stopMusic();
  if (soundPlayer->musicMode == 1) {
    soundPlayer->openMusic("sounds\\bgm_game.wav", true);
    soundPlayer->playMusic();
  } else if (soundPlayer->musicMode == 0) {
    soundPlayer->openMusic("sounds\\bgm_main.wav", true);
    soundPlayer->playMusic();
  }
}

void shutdownGame() {
  for (Obstacle*& o : obstacles) {
    delete o;
    o = nullptr;
  }
  if (soundPlayer != nullptr) {
    delete soundPlayer;
    soundPlayer = nullptr;
  }
}

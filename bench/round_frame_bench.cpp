// round_frame_bench.cpp -- where the time of one round frame goes. The game's own
// start-up and drawing calls draw one frame of a round from a fixed game state into a
// headless Mesa context (llvmpipe through EGL surfaceless, a 1024 x 768 pbuffer), with
// glFinish so that the driver's raster threads are counted. With --window first on the
// command line it draws into a GLUT window of the same size instead (on Xvfb, say) and
// ends each frame as the game does, with glFlush and the buffer swap. With --paced
// (after --window, if both) it draws one frame each 60th of a second, as the game
// does, instead of back to back. Variants leave one part of
// the frame out; the floor covers every pixel of the window once with one plain
// textured, fogged quad, which is the least any frame of a round has to do.
#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>
#include <unistd.h>
#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(name)
#endif

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "font/font_library.h"
#include "game/collision.h"
#include "game/field_frame.h"
#include "game/game_state.h"
#include "game/obstacle_field.h"
#include "image/texture_loader.h"
#include "platform/headless/headless_gl.h"
#include "platform/platform.h"
#include "render/scene.h"
#include "render/title_screen.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;
bool inWindow = false;  // a GLUT window and buffer swaps instead of the pbuffer
bool paced = false;     // a frame each 60th of a second instead of back to back

// The end of a frame: the game's flush and swap in a window, else glFinish.
void endFrame() {
  glFlush();
  if (inWindow) {
    glutSwapBuffers();
  } else {
    glFinish();
  }
}

// The process's one headless context.
std::string makeContext() { return makeHeadlessGlContext(kWidth, kHeight); }

// A copy of the ground's texture stored with 32-bit texels (RGBA8) under name 99.
void copyGroundAsRgba() {
  GLint width = 0, height = 0;
  glBindTexture(GL_TEXTURE_2D, Ground);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  std::vector<unsigned char> texels(size_t(width) * size_t(height) * 4);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  glBindTexture(GL_TEXTURE_2D, 99);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
}

// The fixed game state: the game's start-up (textures, obstacle field, render state,
// first reshape), a round started and 60 idle ticks of straight running, so that the
// player is 72 units down the track with obstacles near and far, and a clock and best time
// to show.
std::string prepareRound() {
  if (inWindow) {
    int argc = 1;
    char name[] = "round_frame_bench";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(kWidth, kHeight);
    glutCreateWindow("round_frame_bench");
  } else {
    std::string error = makeContext();
    if (!error.empty()) return error;
  }
  // As the game does once its window is made.
  spreadRasterThreads(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  if (chdir(ZARNOK_ASSET_DIR) != 0) return "cannot enter " ZARNOK_ASSET_DIR;
  restoreInitialGameState();
  glClearColor(0, 0, 0, 0);
  loadTextures();
  createObstacles();
  setupRenderState();
  reshapeWindow(kWidth, kHeight);
  isPlaying = true;
  for (int tick = 0; tick < 60; tick++) advance();
  elapsedTime = 12.3f;
  bestTime = 45.6f;
  // The text loads the game's font before each block of text; once the registry is
  // full, which takes the game about 90 frames, the loads stop reading the file. Fill
  // it now, so that every frame measured is a frame of that steady state.
  for (int i = 0; i < 256; i++) loadFont(GAME_FONT_PATH);
  copyGroundAsRgba();
  return "";
}

const std::string& roundError() {
  static const std::string error = prepareRound();
  return error;
}

enum Part : unsigned {
  GROUND = 1,
  WALL = 2,
  OBSTACLES = 4,
  PLAYER = 8,
  BOARDS = 16,
  TEXT = 32,
  EVERYTHING = 63,
};

// One frame as the display callback draws it during a round, with glFinish in place
// of the buffer swap. The obstacles' roll and respawn are put back afterwards, so that
// every iteration draws the same frame.
void drawFrame(unsigned parts) {
  Obstacle saved[OBSTACLE_COUNT];
  for (int i = 0; i < OBSTACLE_COUNT; i++) saved[i] = *obstacles[i];
  setupCamera();
  if (parts & GROUND) drawGround();
  if (parts & WALL) drawBackWall();
  if ((parts & (OBSTACLES | PLAYER)) == (OBSTACLES | PLAYER)) {
    drawBlocks();
  } else {
    checkCollisions();
    if (parts & OBSTACLES) drawObstacles();
    if (parts & PLAYER) drawPlayer();
  }
  if (parts & BOARDS) drawScoreBoards();
  if (parts & TEXT) drawText();
  endFrame();
  for (int i = 0; i < OBSTACLE_COUNT; i++) *obstacles[i] = saved[i];
}

void drawFloor(GLuint texture) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();
  glBindTexture(GL_TEXTURE_2D, texture);
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex3f(-40, -30, -50);
  glTexCoord2f(4, 0);
  glVertex3f(40, -30, -50);
  glTexCoord2f(4, 3);
  glVertex3f(40, 30, -50);
  glTexCoord2f(0, 3);
  glVertex3f(-40, 30, -50);
  glEnd();
  endFrame();
}

// The variants: the whole frame, the frame without one of its parts, the clear alone,
// and the floor (FLOOR): the frame cleared and every pixel covered once by one
// textured, fogged quad (the ground's texture, half-way into the fog), under the
// game's render state.
constexpr unsigned FLOOR = 64, FLOOR_RGBA = 128;
struct Variant {
  const char* name;
  unsigned parts;
};
const Variant variants[] = {
    {"whole", EVERYTHING},
    {"without_ground", EVERYTHING & ~GROUND},
    {"without_wall", EVERYTHING & ~WALL},
    {"without_obstacles", EVERYTHING & ~OBSTACLES},
    {"without_player", EVERYTHING & ~PLAYER},
    {"without_boards", EVERYTHING & ~BOARDS},
    {"without_text", EVERYTHING & ~TEXT},
    {"clear_only", 0},
    {"floor", FLOOR},
    {"floor_rgba", FLOOR_RGBA},
};

void drawVariant(unsigned parts) {
  if (parts == FLOOR_RGBA) {
    drawFloor(99);
  } else if (parts == FLOOR) {
    drawFloor(Ground);
  } else {
    drawFrame(parts);
  }
}

void roundFrame(benchmark::State& state, unsigned parts) {
  if (!roundError().empty()) {
    state.SkipWithError(roundError().c_str());
    return;
  }
  for (auto _ : state) {
    if (paced) {
      // As in the game, one frame each 60th of a second: the driver's threads and the
      // caches have gone quiet in between. The wait is not timed.
      state.PauseTiming();
      std::this_thread::sleep_for(std::chrono::microseconds(16667));
      state.ResumeTiming();
    }
    drawVariant(parts);
  }
  if (!isPlaying) state.SkipWithError("the fixed state ran into an obstacle");
}

// For instruction counts under callgrind: either --toggle-collect='*countedFrames*' with
// LP_NUM_THREADS=0, so that the driver rasterizes on this thread, or with the driver's
// own threads and --separate-threads=yes: the counts are zeroed before the counted
// frames and dumped after them, for every thread.
__attribute__((noinline)) void countedFrames(unsigned parts, int frames) {
  CALLGRIND_ZERO_STATS;
  for (int i = 0; i < frames; i++) drawVariant(parts);
  CALLGRIND_DUMP_STATS_AT("counted frames");
}

}  // namespace

// With "--count VARIANT [FRAMES]": draws the variant 3 times to warm up (the driver
// compiles its shaders on first use), then FRAMES times (default 10) in countedFrames.
int main(int argc, char** argv) {
  for (const char* option : {"--window", "--paced"}) {
    if (argc >= 2 && std::string(argv[1]) == option) {
      (std::string(option) == "--window" ? inWindow : paced) = true;
      argv[1] = argv[0];
      argc--, argv++;
    }
  }
  if (argc >= 3 && std::string(argv[1]) == "--count") {
    if (!roundError().empty()) {
      std::fprintf(stderr, "%s\n", roundError().c_str());
      return 1;
    }
    for (const Variant& v : variants) {
      if (v.name != std::string(argv[2])) continue;
      for (int i = 0; i < 3; i++) drawVariant(v.parts);
      countedFrames(v.parts, argc >= 4 ? std::atoi(argv[3]) : 10);
      return 0;
    }
    std::fprintf(stderr, "no variant %s\n", argv[2]);
    return 1;
  }
  for (const Variant& v : variants)
    benchmark::RegisterBenchmark((std::string("roundFrame/") + v.name).c_str(), roundFrame, v.parts)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

// consumer.cpp FONT TEXT -- draws TEXT with the installed font library into Mesa without a
// display (EGL surfaceless). Glyph cells are -1..1 with the first at the origin: all ink
// must lie in y = -1..1 right of x = -1, spanning at least half a unit a character.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <font/font_library.h>
#include <font/font_lifecycle.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  constexpr int width = 400, height = 100;
  const float length = float(std::strlen(argv[2])), unitsWide = 2.2f * length + 2;  // view: x -2.., y -2..2
  auto getDisplay = (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
  EGLDisplay display = getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
  const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  EGLConfig config;
  EGLint configs = 0;
  eglInitialize(display, nullptr, nullptr);
  eglChooseConfig(display, wanted, &config, 1, &configs);
  eglBindAPI(EGL_OPENGL_API);
  EGLSurface surface = eglCreatePbufferSurface(display, config, size);
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
  if (configs < 1 || !eglMakeCurrent(display, surface, surface, context)) return 3;

  initFonts();
  const int slot = loadFont(argv[1]);
  selectFont(slot);
  setDirection(DIRECTION_RIGHT);
  glClear(GL_COLOR_BUFFER_BIT);
  glOrtho(-2, unitsWide - 2, -2, 2, -10, 10);
  drawString(argv[2]);
  static unsigned char pixels[width * height * 4];
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
  shutdownFonts();
  eglTerminate(display);

  int inside = 0, outside = 0, first = width, last = -1;  // one pixel of slack at the edges
  for (int i = 0; i < width * height; i++) {
    const int x = i % width, y = i / width;
    if (pixels[i * 4] < 128) continue;
    (y >= height / 4 - 1 && y <= height * 3 / 4 && x >= width / unitsWide - 1 ? inside : outside)++;
    first = x < first ? x : first;
    last = x > last ? x : last;
  }
  const float span = (last - first) * unitsWide / width;
  std::printf("consumer: font slot %d, %d pixels inked in the glyph band, %d outside, %.1f units wide\n",
              slot, inside, outside, span);
  return slot >= 0 && inside > 0 && outside == 0 && span >= length / 2 ? 0 : 1;
}

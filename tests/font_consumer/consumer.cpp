// consumer.cpp FONT TEXT -- uses the installed font library as any program would: loads
// a vector font, draws TEXT into a Mesa context without a display (EGL surfaceless)
// with the string's own bounds framed in the middle half of the picture, and checks
// that it inked that box and nothing outside it. Exit status 0 when it did.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <font/font_library.h>
#include <font/font_lifecycle.h>

#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  const int width = 400, height = 100;
  auto getDisplay = (PFNEGLGETPLATFORMDISPLAYEXTPROC)eglGetProcAddress("eglGetPlatformDisplayEXT");
  EGLDisplay display = getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
  const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  EGLConfig config;
  EGLint configs = 0;
  if (argc != 3 || !eglInitialize(display, nullptr, nullptr) ||
      !eglChooseConfig(display, wanted, &config, 1, &configs) || configs < 1 || !eglBindAPI(EGL_OPENGL_API)) {
    std::fprintf(stderr, "consumer: no EGL (or not FONT TEXT)\n");
    return 2;
  }
  EGLSurface surface = eglCreatePbufferSurface(display, config, size);
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
  eglMakeCurrent(display, surface, surface, context);

  initFonts();
  const int slot = loadFont(argv[1]);
  selectFont(slot);
  setDirection(DIRECTION_RIGHT);
  float left = 0, bottom = 0, right = 0, top = 0;
  getCurrentStringBounds(argv[2], &left, &bottom, &right, &top);
  const float w = right - left, h = top - bottom;
  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glOrtho(left - w / 2, right + w / 2, bottom - h / 2, top + h / 2, -10, 10);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3f(1, 1, 1);
  drawString(argv[2]);
  std::vector<unsigned char> pixels(width * height * 4);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  shutdownFonts();
  eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  eglTerminate(display);

  // The box is the middle half in x and in y; one pixel of slack for rasterisation.
  int inside = 0, outside = 0;
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width; x++) {
      if (pixels[(y * width + x) * 4] < 128) continue;
      const bool inBox =
          x >= width / 4 - 1 && x <= width * 3 / 4 && y >= height / 4 - 1 && y <= height * 3 / 4;
      (inBox ? inside : outside)++;
    }
  }
  std::printf("consumer: font slot %d, %d pixels inked inside the string's box, %d outside\n", slot, inside,
              outside);
  return slot >= 0 && inside > width * height / 4 / 10 && outside == 0 ? 0 : 1;
}

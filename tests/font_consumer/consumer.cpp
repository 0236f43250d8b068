// consumer.cpp FONT TEXT -- draws TEXT with the installed font library into Mesa without a
// display (EGL surfaceless); succeeds when the font loads and the text leaves ink.
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
  const float unitsWide = 2.2f * float(std::strlen(argv[2])) + 2;  // the view: x from -2, y -2 to 2
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

  int inked = 0;
  for (int i = 0; i < width * height; i++)
    if (pixels[i * 4] >= 128) inked++;
  std::printf("consumer: font slot %d, %d pixels inked\n", slot, inked);
  return slot >= 0 && inked > 0 ? 0 : 1;
}

// headless_gl_linux.cpp -- the Linux half of the GL context without a display for the benchmarks
// and the tests: Mesa's EGL surfaceless platform and one pbuffer.
#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "platform/headless/headless_gl.h"

std::string makeHeadlessGlContext(int width, int height) {
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!getPlatformDisplay) return "no eglGetPlatformDisplayEXT";
  EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) return "no surfaceless display";
  const EGLint wanted[] = {
      EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_DEPTH_SIZE, 24, EGL_NONE};
  EGLConfig configs[64];
  EGLint count = 0;
  if (!eglChooseConfig(display, wanted, configs, 64, &count)) return "eglChooseConfig failed";
  // The 10-bit configs come first; they shift fog colours by one. Take an 8-bit one.
  EGLConfig config = nullptr;
  for (EGLint i = 0; i < count && !config; i++) {
    EGLint red = 0;
    eglGetConfigAttrib(display, configs[i], EGL_RED_SIZE, &red);
    if (red == 8) config = configs[i];
  }
  if (!config) return "no 8-bit config";
  const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  EGLSurface surface = eglCreatePbufferSurface(display, config, size);
  if (surface == EGL_NO_SURFACE || !eglBindAPI(EGL_OPENGL_API)) return "no pbuffer";
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
  if (context == EGL_NO_CONTEXT || !eglMakeCurrent(display, surface, surface, context)) return "no context";
  return "";
}

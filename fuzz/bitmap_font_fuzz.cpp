// bitmap_font_fuzz.cpp -- libFuzzer target for the bitmap font loader, run in a real GL
// context (Mesa through EGL's surfaceless platform), so that a load goes all the way to
// textures and display lists, and a loaded font is drawn with and unloaded again.
//
// The loader takes a path, so each font is written to an in-memory file and read back
// through /proc/self/fd. Most of a font file is its 4 KB of glyph records; to spend the
// mutations on the picture, an input whose first byte is odd is a picture alone, put
// behind a fixed magic, name and glyph records; an even first byte means the rest of
// the input is the whole file. Pictures of more than 2^19 pixels (allowed up to 2^24)
// are passed over: they run the same code, only slower, and would starve the search.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "font/bitmap_font.h"

static int memoryFile = -1;
static std::string memoryPath;
static std::vector<uint8_t> fixedHead;  // magic, name and glyph records for picture-only inputs

static void fail(const char* what) {
  std::fprintf(stderr, "bitmap_font_fuzz: %s\n", what);
  std::abort();
}

static void makeGlContext() {
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (!getPlatformDisplay) fail("no eglGetPlatformDisplayEXT");
  EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) fail("no EGL display");
  const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
  EGLConfig config;
  EGLint count = 0;
  if (!eglChooseConfig(display, wanted, &config, 1, &count) || count == 0) fail("no EGL config");
  const EGLint size[] = {EGL_WIDTH, 64, EGL_HEIGHT, 64, EGL_NONE};
  EGLSurface surface = eglCreatePbufferSurface(display, config, size);
  if (surface == EGL_NO_SURFACE || !eglBindAPI(EGL_OPENGL_API)) fail("no EGL surface");
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
  if (context == EGL_NO_CONTEXT || !eglMakeCurrent(display, surface, surface, context)) fail("no GL context");
}

static void appendFloat(std::vector<uint8_t>& out, float value) {
  uint8_t bytes[4];
  std::memcpy(bytes, &value, 4);  // the fuzzer runs on little-endian hosts
  out.insert(out.end(), bytes, bytes + 4);
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  memoryFile = memfd_create("bitmap_font_fuzz", 0);
  if (memoryFile < 0) fail("memfd_create failed");
  memoryPath = "/proc/self/fd/" + std::to_string(memoryFile);
  makeGlContext();
  fixedHead = {'B', 'M', 'F'};
  fixedHead.resize(fixedHead.size() + 96, 0);
  for (int code = 0; code < 256; code++) {
    appendFloat(fixedHead, float(code % 16) / 16);
    appendFloat(fixedHead, float(code / 16) / 16);
    appendFloat(fixedHead, 1.0f / 16);
    appendFloat(fixedHead, 1.0f / 16);
  }
  return 0;
}

static bool writeMemoryFile(const uint8_t* head, size_t headSize, const uint8_t* data, size_t size) {
  if (ftruncate(memoryFile, 0) != 0) return false;
  if (headSize && pwrite(memoryFile, head, headSize, 0) != ssize_t(headSize)) return false;
  return size == 0 || pwrite(memoryFile, data, size, off_t(headSize)) == ssize_t(size);
}

// Width x height of the picture in a file, or 0 if the file is too short to say.
static uint64_t picturePixels(const uint8_t* file, size_t size, const uint8_t* head, size_t headSize) {
  auto byteAt = [&](size_t at) -> int {
    return at < headSize ? head[at] : at - headSize < size ? file[at - headSize] : -1;
  };
  const size_t width = BITMAP_FONT_IMAGE_OFFSET + 6, height = BITMAP_FONT_IMAGE_OFFSET + 8;
  for (size_t at = width; at < height + 2; at++)
    if (byteAt(at) < 0) return 0;
  return uint64_t(byteAt(width) << 8 | byteAt(width + 1)) *
         uint64_t(byteAt(height) << 8 | byteAt(height + 1));
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const bool pictureOnly = data[0] & 1;
  if (picturePixels(data + 1, size - 1, pictureOnly ? fixedHead.data() : nullptr,
                    pictureOnly ? fixedHead.size() : 0) > (uint64_t(1) << 19))
    return 0;
  const bool written = pictureOnly ? writeMemoryFile(fixedHead.data(), fixedHead.size(), data + 1, size - 1)
                                   : writeMemoryFile(nullptr, 0, data + 1, size - 1);
  if (!written) fail("cannot write the in-memory file");

  const int slot = loadBitmapFont(memoryPath.c_str());
  if (slot >= 0) {
    if (getCurrentBitmapFont() != slot) fail("a loaded font is not current");
    // Measure and draw every code, plainly and masked, into the small surface. (Not in
    // feedback mode: Mesa 22 loses display-list vertex buffers there when lists are
    // deleted, which would show as leaks that are not ours.)
    char text[256];
    for (int i = 0; i < 255; i++) text[i] = char(i + 1);
    text[255] = 0;
    glEnable(GL_BLEND);
    setBitmapCentering(data[0] & 2 ? 1 : 0);
    beginBitmapText();
    drawBitmapString(text);
    drawMaskedBitmapString(text);
    drawMaskedBitmapChar(0);
    endBitmapText();
    glLoadIdentity();
    if (unloadBitmapFont(slot) != 0) fail("a loaded font does not unload");
  }
  return 0;
}

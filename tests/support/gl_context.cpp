// gl_context.cpp -- the headless EGL context and the pixel helpers; pictures are
// written and read through libpng.
#include "tests/support/gl_context.h"

#include <png.h>

#include "platform/headless/headless_gl.h"

std::string makeHeadlessGlContextCurrent() {
  static const std::string error = makeHeadlessGlContext(GlTest::kWidth, GlTest::kHeight);
  return error;
}

void GlTest::SetUp() {
  std::string error = makeHeadlessGlContextCurrent();
  ASSERT_EQ(error, "") << "cannot get a headless OpenGL context";
  glViewport(0, 0, kWidth, kHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glColor4f(1, 1, 1, 1);
  glClearColor(0, 0, 0, 0);
  while (glGetError() != GL_NO_ERROR) {
  }
}

std::vector<unsigned char> frameOf(const std::function<void()>& draw) {
  glClear(GL_COLOR_BUFFER_BIT);
  glLoadIdentity();
  draw();
  return readPixelsRgb(0, 0, GlTest::kWidth, GlTest::kHeight);
}

std::vector<unsigned char> readPixelsRgb(int x, int y, int width, int height) {
  std::vector<unsigned char> pixels(size_t(width) * size_t(height) * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  return pixels;
}

bool saveScreenshot(const std::string& path, int width, int height) {
  auto pixels = readPixelsRgb(0, 0, width, height);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = PNG_FORMAT_RGB;
  // A negative row stride: the rows were read bottom first, the file holds them top first.
  return png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), -width * 3, nullptr) != 0;
}

// The picture's pixels as RGB, row after row; empty when it cannot be read.
static std::vector<unsigned char> readPictureRgb(const std::string& path, png_uint_32* width,
                                                 png_uint_32* height) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
  *width = image.width;
  *height = image.height;
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
  return pixels;
}

long differingPixels(const std::string& path, const std::string& referencePath) {
  png_uint_32 width = 0;
  png_uint_32 height = 0;
  png_uint_32 referenceWidth = 0;
  png_uint_32 referenceHeight = 0;
  const std::vector<unsigned char> pixels = readPictureRgb(path, &width, &height);
  const std::vector<unsigned char> reference =
      readPictureRgb(referencePath, &referenceWidth, &referenceHeight);
  if (pixels.empty() || reference.empty()) return -1;
  if (width != referenceWidth || height != referenceHeight) return -1;
  long differing = 0;
  for (size_t at = 0; at < pixels.size(); at += 3)
    if (pixels[at] != reference[at] || pixels[at + 1] != reference[at + 1] ||
        pixels[at + 2] != reference[at + 2])
      differing++;
  return differing;
}

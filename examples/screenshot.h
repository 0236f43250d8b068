// screenshot.h -- the examples' one shared helper, not part of the font library: the
// frame just drawn, still in the back buffer, written to a PNG file with libpng.
#pragma once

#include <GL/gl.h>
#include <png.h>

#include <vector>

inline bool writeScreenshot(const char* path, int width, int height) {
  std::vector<unsigned char> pixels(size_t(width) * size_t(height) * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  png_image image{
      nullptr, PNG_IMAGE_VERSION, png_uint_32(width), png_uint_32(height), PNG_FORMAT_RGB, 0, 0, 0, {}};
  return png_image_write_to_file(&image, path, 0, pixels.data(), -width * 3, nullptr);  // bottom row first
}

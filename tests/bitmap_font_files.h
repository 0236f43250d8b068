// bitmap_font_files.h -- for the bitmap font tests: font files written to the test
// folder, a font file's picture decoded as the loader decodes it, a texture read back,
// and a fixture that starts and ends every test with all bitmap font slots free.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "font/bitmap_font.h"
#include "tests/support/gl_context.h"
#include "tools/common/bitmap_font_writer.h"

namespace fw = bitmap_font_writer;

inline const fw::GlyphBox kNoGlyphs[256] = {};

// A font file around an encoded picture.
inline std::vector<uint8_t> fontFile(const std::vector<uint8_t>& picture,
                                     const fw::GlyphBox (&glyphs)[256] = kNoGlyphs) {
  return fw::encodeFontFile("test", glyphs, picture);
}

// Writes a file into the test folder; returns its path.
inline std::string writeTestFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = ::testing::TempDir() + name;
  EXPECT_TRUE(fw::writeFileBytes(path, bytes)) << path;
  return path;
}

// The picture of the font file at path as RGBA pixels, or null if refused.
inline std::unique_ptr<uint8_t[]> decodePictureOf(const std::string& path, int32_t* width, int32_t* height) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return nullptr;
  std::fseek(file, BITMAP_FONT_IMAGE_OFFSET, SEEK_SET);
  int32_t channels = 0;
  std::unique_ptr<uint8_t[]> pixels = decodeFontImage(file, width, height, &channels);
  std::fclose(file);
  return pixels;
}

// A texture's image as RGB bytes.
inline std::vector<uint8_t> textureRgb(GLuint texture) {
  glBindTexture(GL_TEXTURE_2D, texture);
  GLint width = 0, height = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
  std::vector<uint8_t> rgb(size_t(width) * size_t(height) * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}

class BitmapFontTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    unloadAll();
  }
  void TearDown() override { unloadAll(); }
  static void unloadAll() {
    for (int slot = 0; slot < FONT_SLOT_COUNT; slot++) unloadBitmapFont(slot);
  }
};

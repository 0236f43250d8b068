// bitmap_font_loader_test.cpp -- loading bitmap fonts into the registry's slots: the
// textures and display lists a load makes, slot choice, selecting and unloading (which
// releases the slot's GL objects), and a full registry.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "font/bitmap_font.h"
#include "tests/support/gl_context.h"
#include "tools/common/bitmap_font_writer.h"

namespace fw = bitmap_font_writer;

namespace {

// A 4 x 2 picture: the bottom row black, grey 100, red, white; the top row green,
// blue, black, (0, 0, 1).
fw::PlanarPicture smallPicture() {
  fw::PlanarPicture picture(4, 2, 3);
  const uint8_t rgb[2][4][3] = {{{0, 0, 0}, {100, 100, 100}, {255, 0, 0}, {255, 255, 255}},
                                {{0, 255, 0}, {0, 0, 255}, {0, 0, 0}, {0, 0, 1}}};
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 4; x++)
      for (int z = 0; z < 3; z++) picture.at(x, y, z) = rgb[y][x][z];
  return picture;
}

std::string writeFont(const std::string& name, const fw::PlanarPicture& picture, bool runLength = true) {
  fw::GlyphBox glyphs[256];
  for (int code = 0; code < 256; code++) glyphs[code] = {0, 0, float(code) / 256, 0.5f};
  const std::string path = ::testing::TempDir() + "bitmap_font_loader_" + name;
  EXPECT_TRUE(
      fw::writeFileBytes(path, fw::encodeFontFile(name, glyphs, fw::encodePicture(picture, runLength))));
  return path;
}

std::vector<uint8_t> textureRgb(GLuint texture, int width, int height) {
  std::vector<uint8_t> pixels(size_t(width) * height * 3);
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

GLint textureInteger(GLuint texture, GLenum what) {
  GLint value = -1;
  glBindTexture(GL_TEXTURE_2D, texture);
  if (what == GL_TEXTURE_MIN_FILTER || what == GL_TEXTURE_MAG_FILTER)
    glGetTexParameteriv(GL_TEXTURE_2D, what, &value);
  else
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, what, &value);
  return value;
}

// Bytes this process has read from files so far.
long long bytesReadByProcess() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = -1;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return -1;
}

class BitmapFontLoaderTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    for (int slot = 0; slot < FONT_SLOT_COUNT; slot++) unloadBitmapFont(slot);
    fontRegistry.currentBitmapFont = -1;
  }
  void TearDown() override {
    for (int slot = 0; slot < FONT_SLOT_COUNT; slot++) unloadBitmapFont(slot);
  }
};

TEST_F(BitmapFontLoaderTest, MakesTheGlyphAndMaskTexturesAndTheGlyphLists) {
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  const int slot = loadBitmapFont(writeFont("small", smallPicture()).c_str());
  ASSERT_EQ(slot, 0);
  EXPECT_EQ(getCurrentBitmapFont(), 0);
  const BitmapFont& font = fontRegistry.bitmapFonts[0];
  ASSERT_TRUE(font.inUse);
  ASSERT_TRUE(glIsTexture(font.texture));
  ASSERT_TRUE(glIsTexture(font.maskTexture));
  EXPECT_NE(font.texture, font.maskTexture);
  for (int code = 0; code < 256; code++) {
    ASSERT_TRUE(glIsList(font.listBase + GLuint(code))) << code;
    ASSERT_EQ(font.widths[code], float(code) / 256) << code;
  }

  // Rows of 4 pixels x 3 bytes are not 4-aligned: the loader must unpack byte by byte.
  GLint alignment = 0;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  EXPECT_EQ(alignment, 1);
  EXPECT_EQ(textureInteger(font.texture, GL_TEXTURE_WIDTH), 4);
  EXPECT_EQ(textureInteger(font.texture, GL_TEXTURE_HEIGHT), 2);
  EXPECT_EQ(textureInteger(font.texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
  EXPECT_EQ(textureInteger(font.texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
  EXPECT_EQ(textureInteger(font.maskTexture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
  EXPECT_EQ(textureRgb(font.texture, 4, 2),
            (std::vector<uint8_t>{0, 0,   0, 100, 100, 100, 255, 0, 0, 255, 255, 255,  //
                                  0, 255, 0, 0,   0,   255, 0,   0, 0, 0,   0,   1}));
  EXPECT_EQ(textureRgb(font.maskTexture, 4, 2),
            (std::vector<uint8_t>{255, 255, 255, 0, 0, 0, 0,   0,   0,   0, 0, 0,  //
                                  0,   0,   0,   0, 0, 0, 255, 255, 255, 0, 0, 0}));
}

TEST_F(BitmapFontLoaderTest, LoadsIntoTheLowestFreeSlotAndUnloadReleasesEverything) {
  const std::string path = writeFont("slots", smallPicture(), false);
  ASSERT_EQ(loadBitmapFont(path.c_str()), 0);
  ASSERT_EQ(loadBitmapFont(path.c_str()), 1);
  ASSERT_EQ(loadBitmapFont(path.c_str()), 2);
  EXPECT_EQ(getCurrentBitmapFont(), 2);

  const GLuint texture = fontRegistry.bitmapFonts[1].texture;
  const GLuint maskTexture = fontRegistry.bitmapFonts[1].maskTexture;
  const GLuint listBase = fontRegistry.bitmapFonts[1].listBase;
  EXPECT_EQ(unloadBitmapFont(1), 0);
  EXPECT_EQ(getCurrentBitmapFont(), 2) << "unloading another slot keeps the current font";
  EXPECT_FALSE(fontRegistry.bitmapFonts[1].inUse);
  EXPECT_FALSE(fontRegistry.bitmapFonts[1].widths);
  EXPECT_FALSE(glIsTexture(texture));
  EXPECT_FALSE(glIsTexture(maskTexture));
  for (int code = 0; code < 256; code++) ASSERT_FALSE(glIsList(listBase + GLuint(code))) << code;
  EXPECT_EQ(unloadBitmapFont(1), -1) << "a free slot";
  EXPECT_EQ(unloadBitmapFont(-1), -1);
  EXPECT_EQ(unloadBitmapFont(256), -1);

  EXPECT_EQ(selectBitmapFont(1), -1);
  EXPECT_EQ(selectBitmapFont(256), -1);
  EXPECT_EQ(getCurrentBitmapFont(), 2) << "a refused select keeps the current font";
  EXPECT_EQ(selectBitmapFont(0), 0);
  EXPECT_EQ(getCurrentBitmapFont(), 0);

  // Slots 0 and 2 in use: the next load takes 1 and makes it current.
  EXPECT_EQ(loadBitmapFont(path.c_str()), 1);
  EXPECT_EQ(getCurrentBitmapFont(), 1);
  EXPECT_EQ(unloadCurrentBitmapFont(), 0);
  EXPECT_EQ(getCurrentBitmapFont(), -1);
  EXPECT_EQ(unloadCurrentBitmapFont(), -1);

  // Loading and unloading again and again leaves no GL object behind.
  for (int round = 0; round < 200; round++) {
    ASSERT_EQ(loadBitmapFont(path.c_str()), 1);
    const BitmapFont& font = fontRegistry.bitmapFonts[1];
    const GLuint glyphs = font.texture, mask = font.maskTexture, lists = font.listBase;
    ASSERT_EQ(unloadCurrentBitmapFont(), 0);
    ASSERT_FALSE(glIsTexture(glyphs) || glIsTexture(mask) || glIsList(lists) || glIsList(lists + 255));
  }
}

TEST_F(BitmapFontLoaderTest, FullRegistryReadsTheWholeFileAndChangesNothing) {
  // A picture large enough that reading it stands out from reading the glyph records.
  fw::PlanarPicture big(256, 256, 1);
  for (size_t i = 0; i < big.planes.size(); i++) big.planes[i] = uint8_t(i * 7919 >> 3);
  const std::string bigPath = writeFont("big", big, false);
  const std::string smallPath = writeFont("full", smallPicture());
  for (int slot = 0; slot < FONT_SLOT_COUNT; slot++) ASSERT_EQ(loadBitmapFont(smallPath.c_str()), slot);
  ASSERT_EQ(selectBitmapFont(17), 0);

  std::vector<uint32_t> before;
  for (const BitmapFont& font : fontRegistry.bitmapFonts)
    before.insert(before.end(), {font.texture, font.maskTexture, font.listBase});
  GLuint texture = 0;
  glGenTextures(1, &texture);
  const GLuint list = glGenLists(1);
  const long long readBefore = bytesReadByProcess();
  ASSERT_GE(readBefore, 0) << "no /proc/self/io";

  EXPECT_EQ(loadBitmapFont(bigPath.c_str()), -1);

  EXPECT_GE(bytesReadByProcess() - readBefore, 4195 + 512 + 256 * 256) << "the whole picture is read";
  EXPECT_EQ(getCurrentBitmapFont(), 17);
  std::vector<uint32_t> after;
  for (const BitmapFont& font : fontRegistry.bitmapFonts)
    after.insert(after.end(), {font.texture, font.maskTexture, font.listBase});
  EXPECT_EQ(after, before);
  // Names are handed out in increasing order: nothing was made in between.
  GLuint nextTexture = 0;
  glGenTextures(1, &nextTexture);
  EXPECT_EQ(nextTexture, texture + 1);
  EXPECT_EQ(glGenLists(1), list + 1);
}

}  // namespace

// bitmap_font_loader_test.cpp -- loading bitmap fonts into the registry: the textures
// and display lists a load makes, the choice of slot, selecting and unloading (which
// releases the slot's GL objects), and a full registry.
#include <fstream>

#include "tests/bitmap_font_files.h"

namespace {

// A font whose glyph c is c / 256 wide, on the given picture; returns its path.
std::string writeFont(const std::string& name, const fw::PlanarPicture& picture) {
  fw::GlyphBox glyphs[256];
  for (int code = 0; code < 256; code++) glyphs[code] = {0, 0, float(code) / 256, 0.5f};
  return writeTestFile("bitmap_font_loader_" + name, fontFile(fw::encodePicture(picture, true), glyphs));
}

using BitmapFontLoaderTest = BitmapFontTest;

TEST_F(BitmapFontLoaderTest, MakesTheGlyphAndMaskTexturesAndTheGlyphLists) {
  // 3 x 2 pixels: rows of 9 bytes, which only byte-by-byte unpacking reads right.
  fw::PlanarPicture picture(3, 2, 3);
  const uint8_t rgb[] = {0, 0, 0, 100, 100, 100, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 1};
  for (int i = 0; i < 18; i++) picture.at(i / 3 % 3, i / 9, i % 3) = rgb[i];
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  ASSERT_EQ(loadBitmapFont(writeFont("small", picture).c_str()), 0);
  EXPECT_EQ(getCurrentBitmapFont(), 0);
  const BitmapFont& font = fontRegistry.bitmapFonts[0];
  EXPECT_EQ(textureRgb(font.texture), std::vector<uint8_t>(rgb, rgb + 18));
  EXPECT_EQ(textureRgb(font.maskTexture),
            (std::vector<uint8_t>{255, 255, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 255, 255, 255, 0, 0, 0}));
  for (GLuint texture : {font.texture, font.maskTexture})
    for (GLenum filter : {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER}) {
      GLint value = 0;
      glBindTexture(GL_TEXTURE_2D, texture);
      glGetTexParameteriv(GL_TEXTURE_2D, filter, &value);
      EXPECT_EQ(value, GL_LINEAR);
    }
  for (int code = 0; code < 256; code++) {
    ASSERT_TRUE(glIsList(font.listBase + GLuint(code))) << code;
    ASSERT_EQ(font.widths[code], float(code) / 256) << code;
  }
}

TEST_F(BitmapFontLoaderTest, LoadsIntoTheLowestFreeSlotAndUnloadReleasesEverything) {
  const std::string path = writeFont("slots", fw::PlanarPicture(4, 4, 1));
  for (int slot = 0; slot < 3; slot++) ASSERT_EQ(loadBitmapFont(path.c_str()), slot);
  const BitmapFont& one = fontRegistry.bitmapFonts[1];
  const GLuint texture = one.texture, mask = one.maskTexture, lists = one.listBase;
  EXPECT_EQ(unloadBitmapFont(1), 0);
  EXPECT_EQ(getCurrentBitmapFont(), 2) << "unloading another slot keeps the current font";
  EXPECT_FALSE(one.inUse || one.widths || glIsTexture(texture) || glIsTexture(mask));
  for (int code = 0; code < 256; code++) ASSERT_FALSE(glIsList(lists + GLuint(code))) << code;
  for (int slot : {1, -1, 256}) {
    EXPECT_EQ(unloadBitmapFont(slot), -1) << slot;
    EXPECT_EQ(selectBitmapFont(slot), -1) << slot;
  }
  EXPECT_EQ(getCurrentBitmapFont(), 2) << "a refused select keeps the current font";
  EXPECT_EQ(selectBitmapFont(0), 0);
  // Slots 0 and 2 in use: the next load takes 1 and makes it current.
  EXPECT_EQ(loadBitmapFont(path.c_str()), 1);
  EXPECT_EQ(getCurrentBitmapFont(), 1);
  EXPECT_EQ(unloadCurrentBitmapFont(), 0);
  EXPECT_EQ(getCurrentBitmapFont(), -1);
  EXPECT_EQ(unloadCurrentBitmapFont(), -1);
}

// Bytes this process has read from files so far.
long long bytesRead() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = -1;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return -1;
}

TEST_F(BitmapFontLoaderTest, FullRegistryReadsTheWholeFileAndChangesNothing) {
  const std::string small = writeFont("full", fw::PlanarPicture(4, 4, 1));
  fw::PlanarPicture noise(256, 256, 1);  // large enough that reading it stands out
  for (size_t i = 0; i < noise.planes.size(); i++) noise.planes[i] = uint8_t(i * 7919 >> 3);
  const std::string big = writeFont("big", noise);
  for (int slot = 0; slot < FONT_SLOT_COUNT; slot++) ASSERT_EQ(loadBitmapFont(small.c_str()), slot);
  ASSERT_EQ(selectBitmapFont(17), 0);
  auto state = [] {  // the slots' objects, and the next texture and list names (Mesa counts up)
    std::vector<GLuint> names;
    for (const BitmapFont& font : fontRegistry.bitmapFonts)
      names.insert(names.end(), {font.texture, font.maskTexture, font.listBase});
    GLuint texture = 0;
    glGenTextures(1, &texture);
    names.insert(names.end(), {texture, glGenLists(1)});
    return names;
  };
  const std::vector<GLuint> before = state();
  const long long read = bytesRead();
  ASSERT_GE(read, 0) << "no /proc/self/io";
  EXPECT_EQ(loadBitmapFont(big.c_str()), -1);
  EXPECT_GE(bytesRead() - read, 4195 + 512 + 256 * 256) << "the whole picture is read";
  EXPECT_EQ(getCurrentBitmapFont(), 17);
  std::vector<GLuint> after = state();
  after.end()[-2]--, after.end()[-1]--;  // one of each taken by the first look
  EXPECT_EQ(after, before);
}

}  // namespace

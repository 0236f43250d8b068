// font_lifecycle_test.cpp -- the font library's start-up and shut-down: the state
// start-up leaves (registry, switches, console), fonts a second start-up or the
// shut-down release (with their GL objects), and a shut-down with nothing loaded
// making no GL call at all.
#include "font/font_lifecycle.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "font/bitmap_font.h"
#include "font/text_console.h"
#include "tests/support/gl_context.h"
#include "tools/common/bitmap_font_writer.h"

namespace fw = bitmap_font_writer;

namespace {

// A vector font with one triangle glyph for 'A'.
std::string writeVectorFont() {
  std::vector<uint8_t> bytes = {'G', 'L', 'F'};
  bytes.resize(3 + 96, 0);
  bytes.push_back(1);  // one glyph record
  bytes.resize(bytes.size() + 28, 0);
  bytes.insert(bytes.end(), {'A', 3, 1, 1});
  for (float value : {-1.0f, -1.0f, 1.0f, -1.0f, 0.0f, 1.0f}) fw::appendLittleEndianFloat(bytes, value);
  bytes.insert(bytes.end(), {0, 1, 2, 2});
  const std::string path = ::testing::TempDir() + "font_lifecycle_vector_font";
  EXPECT_TRUE(fw::writeFileBytes(path, bytes));
  return path;
}

std::string writeBitmapFont() {
  fw::PlanarPicture picture(8, 8, 2);
  for (size_t i = 0; i < picture.planes.size(); i++) picture.planes[i] = uint8_t(i * 37);
  fw::GlyphBox glyphs[256];
  for (auto& glyph : glyphs) glyph = {0, 0, 0.1f, 0.1f};
  const std::string path = ::testing::TempDir() + "font_lifecycle_bitmap_font";
  EXPECT_TRUE(fw::writeFileBytes(path, fw::encodeFontFile("life", glyphs, fw::encodePicture(picture, true))));
  return path;
}

bool anyFontLoaded() {
  for (int slot = 0; slot < FONT_SLOT_COUNT; slot++)
    if (fontRegistry.fonts[slot] || fontRegistry.bitmapFonts[slot].inUse) return true;
  return false;
}

class FontLifecycleTest : public GlTest {
 protected:
  void TearDown() override { shutdownFonts(); }
};

TEST_F(FontLifecycleTest, StartUpSetsTheRegistryAndA40By20Console) {
  // Disturb what start-up sets, and a value it must keep.
  fontRegistry.currentFont = 7;
  fontRegistry.currentBitmapFont = 3;
  for (int option : {OPTION_MESSAGES, OPTION_TEXTURING, OPTION_CONTOURING}) enableOption(option);
  setContourColor(1, 0.5f, 0.25f, 1);
  setDirection(DIRECTION_UP);
  setCentering(1);
  setBitmapCentering(1);
  setSpaceSize(5);

  initFonts();

  EXPECT_EQ(getCurrentFont(), -1);
  EXPECT_EQ(getCurrentBitmapFont(), -1);
  EXPECT_EQ(getDirection(), DIRECTION_RIGHT);
  EXPECT_EQ(getCentering(), 0);
  EXPECT_EQ(getBitmapCentering(), 0);
  const FontRegistry& r = fontRegistry;
  EXPECT_EQ(std::vector<int>({r.messagesSwitch, r.texturingSwitch, r.contouringSwitch}),
            std::vector<int>(3, 2));
  EXPECT_EQ(std::vector<float>(r.contourColor, r.contourColor + 4), std::vector<float>(4, 0.0f));
  EXPECT_EQ(r.spaceSize, 5.0f) << "spacing settings are kept";
  setSpaceSize(2);

  const TextConsole& console = r.console;
  EXPECT_EQ(console.consoleWidth, 40);
  EXPECT_EQ(console.consoleHeight, 20);
  ASSERT_TRUE(console.consoleBuffer);
  EXPECT_EQ(std::vector<uint8_t>(console.consoleBuffer.get(), console.consoleBuffer.get() + 800),
            std::vector<uint8_t>(800, 0));
  EXPECT_EQ(std::vector<int>({console.cursorX, console.cursorY, console.cursorSwitch, console.blinkRate,
                              console.blinkCounter, console.cursorShown}),
            std::vector<int>({0, 0, SWITCH_ON, 10, 10, 1}));
  EXPECT_TRUE(captureFeedback([] {
                drawString("A");
                drawBitmapString("A");
              }).empty())
      << "nothing is drawn until a font is loaded";
}

TEST_F(FontLifecycleTest, SecondStartUpAndShutDownReleaseLoadedFonts) {
  const std::string vectorPath = writeVectorFont(), bitmapPath = writeBitmapFont();
  for (bool byShutDown : {false, true}) {
    SCOPED_TRACE(byShutDown ? "shut-down" : "second start-up");
    initFonts();
    ASSERT_EQ(loadFont(vectorPath.c_str()), 0);
    ASSERT_EQ(loadFont(vectorPath.c_str()), 1);
    ASSERT_EQ(loadBitmapFont(bitmapPath.c_str()), 0);
    ASSERT_EQ(loadBitmapFont(bitmapPath.c_str()), 1);
    std::vector<GLuint> textures, lists;
    for (int slot : {0, 1}) {
      textures.push_back(fontRegistry.bitmapFonts[slot].texture);
      textures.push_back(fontRegistry.bitmapFonts[slot].maskTexture);
      lists.push_back(fontRegistry.bitmapFonts[slot].listBase);
    }
    consolePrint("hello");

    if (byShutDown)
      shutdownFonts();
    else
      initFonts();

    EXPECT_FALSE(anyFontLoaded());
    EXPECT_EQ(getCurrentFont(), -1);
    EXPECT_EQ(getCurrentBitmapFont(), -1);
    for (GLuint texture : textures) EXPECT_FALSE(glIsTexture(texture)) << texture;
    for (GLuint list : lists) EXPECT_FALSE(glIsList(list) || glIsList(list + 255)) << list;
    EXPECT_EQ(fontRegistry.console.consoleBuffer == nullptr, byShutDown);
    if (!byShutDown) {
      EXPECT_EQ(fontRegistry.console.consoleBuffer[0], 0) << "a fresh console";
    }
  }
  // The library can be started again after a shut-down.
  initFonts();
  EXPECT_EQ(loadBitmapFont(bitmapPath.c_str()), 0);
  EXPECT_EQ(loadFont(vectorPath.c_str()), 0);
}

// Between glBegin and glEnd every GL call that creates, deletes, binds or changes
// state is an error, so a shut-down run there shows whether it made any such call.
TEST_F(FontLifecycleTest, ShutDownWithNothingLoadedMakesNoGlCall) {
  initFonts();
  GLuint sentinelTexture = 0;
  glGenTextures(1, &sentinelTexture);
  glBindTexture(GL_TEXTURE_2D, sentinelTexture);
  const GLuint sentinelList = glGenLists(1);
  glNewList(sentinelList, GL_COMPILE);
  glEndList();
  ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));

  glBegin(GL_POINTS);
  shutdownFonts();
  glEnd();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  EXPECT_TRUE(glIsTexture(sentinelTexture));
  EXPECT_TRUE(glIsList(sentinelList));

  // The same check sees the calls of a shut-down that has a font to release.
  initFonts();
  ASSERT_EQ(loadBitmapFont(writeBitmapFont().c_str()), 0);
  glBegin(GL_POINTS);
  shutdownFonts();
  glEnd();
  EXPECT_EQ(glGetError(), GLenum(GL_INVALID_OPERATION));
  EXPECT_TRUE(glIsTexture(sentinelTexture));
  glDeleteTextures(1, &sentinelTexture);
  glDeleteLists(sentinelList, 1);
}

}  // namespace

// font_lifecycle_test.cpp -- the font library's start-up and shut-down: the state
// start-up leaves (registry, switches, console), fonts a second start-up or the
// shut-down release (with their GL objects), and a shut-down with nothing loaded
// making no GL call at all.
#include "font/font_lifecycle.h"

#include "font/text_console.h"
#include "tests/bitmap_font_files.h"

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
  return writeTestFile("font_lifecycle_vector_font", bytes);
}

std::string writeBitmapFont() {
  fw::GlyphBox glyphs[256];
  for (auto& glyph : glyphs) glyph = {0, 0, 0.1f, 0.1f};
  return writeTestFile("font_lifecycle_bitmap_font",
                       fontFile(fw::encodePicture(fw::PlanarPicture(8, 8, 2), true), glyphs));
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

  const FontRegistry& r = fontRegistry;
  EXPECT_EQ(std::vector<int>({getCurrentFont(), getCurrentBitmapFont(), getDirection(), getCentering(),
                              getBitmapCentering(), r.messagesSwitch, r.texturingSwitch, r.contouringSwitch}),
            std::vector<int>({-1, -1, DIRECTION_RIGHT, 0, 0, SWITCH_OFF, SWITCH_OFF, SWITCH_OFF}));
  EXPECT_EQ(std::vector<float>(r.contourColor, r.contourColor + 4), std::vector<float>(4, 0.0f));
  EXPECT_EQ(r.spaceSize, 5.0f) << "spacing settings are kept";
  setSpaceSize(2);
  const TextConsole& console = r.console;
  ASSERT_TRUE(console.consoleBuffer);
  EXPECT_EQ(std::vector<uint8_t>(console.consoleBuffer.get(), console.consoleBuffer.get() + 800),
            std::vector<uint8_t>(800, 0));
  EXPECT_EQ(
      std::vector<int>({console.consoleWidth, console.consoleHeight, console.cursorX, console.cursorY,
                        console.cursorSwitch, console.blinkRate, console.blinkCounter, console.cursorShown}),
      std::vector<int>({40, 20, 0, 0, SWITCH_ON, 10, 10, 1}));
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
    std::vector<GLuint> textures, lists;
    for (int slot : {0, 1}) {
      ASSERT_EQ(loadFont(vectorPath.c_str()), slot);
      ASSERT_EQ(loadBitmapFont(bitmapPath.c_str()), slot);
      const BitmapFont& font = fontRegistry.bitmapFonts[slot];
      textures.insert(textures.end(), {font.texture, font.maskTexture});
      lists.push_back(font.listBase);
    }
    consolePrint("hello");
    byShutDown ? shutdownFonts() : initFonts();
    for (int slot = 0; slot < FONT_SLOT_COUNT; slot++)
      EXPECT_FALSE(fontRegistry.fonts[slot] || fontRegistry.bitmapFonts[slot].inUse) << slot;
    EXPECT_EQ(getCurrentFont(), -1);
    EXPECT_EQ(getCurrentBitmapFont(), -1);
    for (GLuint texture : textures) EXPECT_FALSE(glIsTexture(texture)) << texture;
    for (GLuint list : lists) EXPECT_FALSE(glIsList(list) || glIsList(list + 255)) << list;
    ASSERT_EQ(fontRegistry.console.consoleBuffer == nullptr, byShutDown);
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
  GLuint sentinel = 0;
  glGenTextures(1, &sentinel);
  glBindTexture(GL_TEXTURE_2D, sentinel);
  ASSERT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  glBegin(GL_POINTS);
  shutdownFonts();
  glEnd();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  EXPECT_TRUE(glIsTexture(sentinel));
  // The same check sees the calls of a shut-down that has a font to release.
  initFonts();
  ASSERT_EQ(loadBitmapFont(writeBitmapFont().c_str()), 0);
  glBegin(GL_POINTS);
  shutdownFonts();
  glEnd();
  EXPECT_EQ(glGetError(), GLenum(GL_INVALID_OPERATION));
  glDeleteTextures(1, &sentinel);
}

}  // namespace

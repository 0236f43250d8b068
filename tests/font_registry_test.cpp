// font_registry_test.cpp -- the vector-font registry: its state at program start,
// filling and refusing slots (a full registry opens no file), unloading, choosing the
// current font and the settings' accepted values.
#include <sys/inotify.h>
#include <unistd.h>

#include "font/font_library.h"
#include "tests/vector_font_test_files.h"

namespace {

class FontRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    goodFont = writeTestFile("good.font", fontFileBytes({rectangleGlyph('A', -0.8f, 0.7f, -0.5f, 0.9f)}));
  }
  void TearDown() override { resetFontRegistry(); }
  std::string goodFont;
};

// Reports whether the file was opened since the watch was set (or since the last call).
class OpenWatch {
 public:
  explicit OpenWatch(const std::string& path) {
    fd_ = inotify_init1(IN_NONBLOCK);
    if (fd_ >= 0) watch_ = inotify_add_watch(fd_, path.c_str(), IN_OPEN);
  }
  ~OpenWatch() {
    if (fd_ >= 0) close(fd_);
  }
  bool ready() const { return fd_ >= 0 && watch_ >= 0; }
  bool openedSinceLastCall() {
    alignas(inotify_event) char buffer[4096];
    bool opened = false;
    while (read(fd_, buffer, sizeof buffer) > 0) opened = true;
    return opened;
  }

 private:
  int fd_ = -1;
  int watch_ = -1;
};

TEST_F(FontRegistryTest, StartsInTheStateTheGameRunsOn) {
  // Slot 0 is current but empty and no direction is set: nothing can be drawn yet.
  EXPECT_EQ(getCurrentFont(), 0);
  EXPECT_EQ(unloadCurrentFont(), -1);
  EXPECT_EQ(getDirection(), 0);
  EXPECT_EQ(getCentering(), 0);
  for (uint8_t option : {fontRegistry.messagesSwitch, fontRegistry.texturingSwitch,
                         fontRegistry.contouringSwitch, fontRegistry.console.cursorSwitch}) {
    EXPECT_EQ(option, SWITCH_OFF);
  }
  EXPECT_EQ(fontRegistry.currentBitmapFont, 0);
}

TEST_F(FontRegistryTest, FillsSlotsInOrderAndOpensNoFileOnceFull) {
  OpenWatch watch(goodFont);
  ASSERT_TRUE(watch.ready()) << "inotify is needed to see whether the file is opened";
  for (int i = 0; i < FONT_SLOT_COUNT; i++) {
    ASSERT_EQ(loadFont(goodFont.c_str()), i);
    ASSERT_EQ(getCurrentFont(), i);
  }
  EXPECT_TRUE(watch.openedSinceLastCall());
  // Two loads of one path are two independent copies.
  EXPECT_NE(fontRegistry.fonts[0].get(), fontRegistry.fonts[1].get());
  EXPECT_NE(fontRegistry.fonts[0]->symbols[size_t('A')].get(), fontRegistry.fonts[1]->symbols[size_t('A')].get());

  EXPECT_EQ(loadFont(goodFont.c_str()), -1);
  EXPECT_FALSE(watch.openedSinceLastCall()) << "a full registry must not open the file";
  EXPECT_EQ(getCurrentFont(), 255);
  selectFont(17);
  EXPECT_EQ(loadFont(goodFont.c_str()), -1);
  EXPECT_EQ(getCurrentFont(), 17);

  // A freed slot is filled again by the next load.
  ASSERT_EQ(unloadFont(200), 0);
  EXPECT_EQ(loadFont(goodFont.c_str()), 200);
  EXPECT_EQ(getCurrentFont(), 200);
}

TEST_F(FontRegistryTest, FailedLoadsLeaveTheRegistryAsItWas) {
  const std::string missing = testFolder() + "/no such font";
  const std::string badMagic = writeTestFile("bad.font", {'G', 'L', 'X', 0, 0, 0});
  std::vector<TestGlyph> glyphs = {rectangleGlyph('A', -1, 1, -1, 1), rectangleGlyph('B', -1, 1, -1, 1)};
  glyphs[1].contourEnds = {4};  // beyond the glyph's four vertices
  const std::string badSecondGlyph = writeTestFile("bad-glyph.font", fontFileBytes(glyphs));

  ASSERT_EQ(loadFont(goodFont.c_str()), 0);
  ASSERT_EQ(loadFont(goodFont.c_str()), 1);
  ASSERT_EQ(unloadFont(0), 0);
  ASSERT_EQ(getCurrentFont(), 1);
  for (const std::string& path : {missing, badMagic, badSecondGlyph}) {
    EXPECT_EQ(loadFont(path.c_str()), -1) << path;
    EXPECT_EQ(fontRegistry.fonts[0], nullptr) << path;
    EXPECT_EQ(getCurrentFont(), 1) << path;
  }
  EXPECT_EQ(loadFont(nullptr), -1);
  EXPECT_EQ(loadFont(goodFont.c_str()), 0);
  EXPECT_EQ(getCurrentFont(), 0);
}

TEST_F(FontRegistryTest, UnloadsTheCurrentFontAndOthers) {
  for (int i = 0; i < 6; i++) ASSERT_EQ(loadFont(goodFont.c_str()), i);

  EXPECT_EQ(unloadFont(3), 0);
  EXPECT_EQ(fontRegistry.fonts[3], nullptr);
  EXPECT_EQ(getCurrentFont(), 5);
  EXPECT_EQ(unloadFont(3), -1);  // already empty
  EXPECT_EQ(unloadFont(-1), -1);
  EXPECT_EQ(unloadFont(256), -1);

  EXPECT_EQ(unloadFont(5), 0);
  EXPECT_EQ(getCurrentFont(), -1);
  EXPECT_EQ(unloadCurrentFont(), -1);
  EXPECT_EQ(loadFont(goodFont.c_str()), 3);  // lowest empty slot, before 5

  ASSERT_EQ(selectFont(1), 0);
  EXPECT_EQ(unloadCurrentFont(), 0);
  EXPECT_EQ(fontRegistry.fonts[1], nullptr);
  EXPECT_EQ(getCurrentFont(), -1);
  for (int slot : {0, 2, 3, 4}) EXPECT_NE(fontRegistry.fonts[slot], nullptr) << slot;
}

TEST_F(FontRegistryTest, SelectsOnlyFilledSlots) {
  ASSERT_EQ(loadFont(goodFont.c_str()), 0);
  ASSERT_EQ(loadFont(goodFont.c_str()), 1);
  for (int index : {-1, 2, 255, 256}) {
    EXPECT_EQ(selectFont(index), -1) << index;
    EXPECT_EQ(getCurrentFont(), 1) << index;
  }
  EXPECT_EQ(selectFont(0), 0);
  EXPECT_EQ(getCurrentFont(), 0);
}

TEST_F(FontRegistryTest, SettingsKeepOnlyAcceptedValues) {
  for (int32_t direction : {0, 5, -1}) {
    setDirection(direction);
    EXPECT_EQ(getDirection(), 0) << direction;
  }
  for (int32_t direction : {DIRECTION_DOWN, DIRECTION_UP, DIRECTION_LEFT, DIRECTION_RIGHT}) {
    setDirection(direction);
    EXPECT_EQ(getDirection(), direction);
  }
  setDirection(7);
  EXPECT_EQ(getDirection(), DIRECTION_RIGHT);

  setCentering(1);
  EXPECT_EQ(getCentering(), 1);
  setCentering(256);
  EXPECT_EQ(getCentering(), 0);
  setCentering(0x1FF);
  EXPECT_EQ(getCentering(), 0xFF);

  struct Option {
    int code;
    const uint8_t* target;
  };
  const Option options[] = {{OPTION_MESSAGES, &fontRegistry.messagesSwitch},
                            {OPTION_TEXTURING, &fontRegistry.texturingSwitch},
                            {OPTION_CONTOURING, &fontRegistry.contouringSwitch},
                            {OPTION_CONSOLE_CURSOR, &fontRegistry.console.cursorSwitch}};
  for (int unknown : {0, 9, 13, 29, 31}) {
    enableOption(unknown);
    for (const Option& option : options) EXPECT_EQ(*option.target, SWITCH_OFF) << unknown;
  }
  for (const Option& option : options) {
    enableOption(option.code);
    EXPECT_EQ(*option.target, SWITCH_ON) << option.code;
    for (const Option& other : options) {
      if (other.target != option.target) {
        EXPECT_EQ(*other.target, SWITCH_OFF);
      }
    }
    disableOption(13);
    EXPECT_EQ(*option.target, SWITCH_ON);
    disableOption(option.code);
    EXPECT_EQ(*option.target, SWITCH_OFF);
  }

  setSymbolSpace(-3.5f);
  setSpaceSize(0);
  setSymbolDepth(1e6f);
  setRotation(-450);
  setContourColor(0.1f, 0.2f, 0.3f, 0.4f);
  EXPECT_EQ(fontRegistry.symbolSpace, -3.5f);
  EXPECT_EQ(fontRegistry.spaceSize, 0.0f);
  EXPECT_EQ(getSymbolDepth(), 1e6f);
  EXPECT_EQ(fontRegistry.rotation, -450.0f);
  EXPECT_EQ(fontRegistry.contourColor[0], 0.1f);
  EXPECT_EQ(fontRegistry.contourColor[3], 0.4f);
}

}  // namespace

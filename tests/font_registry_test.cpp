// font_registry_test.cpp -- the vector-font registry: filling and refusing slots (a
// full registry opens no file), failed loads, unloading, choosing, and the settings.
#include <sys/inotify.h>
#include <unistd.h>

#include "font/font_library.h"
#include "tests/vector_font_test_files.h"

namespace {

class FontRegistryTest : public ::testing::Test {
 protected:
  void TearDown() override { resetFontRegistry(); }
  const std::string good =
      writeTestFile("good.font", fontFileBytes({rectangleGlyph('A', -0.8f, 0.7f, -0.5f, 0.9f)}));
};

TEST_F(FontRegistryTest, FillsAllSlotsThenRefusesWithoutOpeningTheFile) {
  const int watch = inotify_init1(IN_NONBLOCK);  // reports each opening of the file
  ASSERT_GE(inotify_add_watch(watch, good.c_str(), IN_OPEN), 0);
  auto opened = [watch] {
    alignas(inotify_event) char events[4096];
    bool any = false;
    while (read(watch, events, sizeof events) > 0) any = true;
    return any;
  };
  for (int i = 0; i < FONT_SLOT_COUNT; i++) ASSERT_EQ(loadFont(good.c_str()), i);
  EXPECT_TRUE(opened());
  EXPECT_EQ(loadFont(good.c_str()), -1);
  EXPECT_FALSE(opened()) << "a full registry must not open the file";
  close(watch);
  EXPECT_EQ(getCurrentFont(), 255);
  ASSERT_EQ(unloadFont(200), 0);
  EXPECT_EQ(loadFont(good.c_str()), 200);
}

TEST_F(FontRegistryTest, FailedLoadsTakeNoSlotAndTheNextGoodOneTakesTheLowestEmpty) {
  std::vector<TestGlyph> glyphs = {rectangleGlyph('A', -1, 1, -1, 1), rectangleGlyph('B', -1, 1, -1, 1)};
  glyphs[1].contourEnds = {4};  // the second glyph is bad, after a good one was read
  const std::string bad[] = {testFolder() + "/missing", writeTestFile("magic.font", {'G', 'L', 'X', 0}),
                             writeTestFile("glyph.font", fontFileBytes(glyphs))};
  ASSERT_EQ(loadFont(good.c_str()), 0);
  ASSERT_EQ(loadFont(good.c_str()), 1);
  ASSERT_EQ(unloadFont(0), 0);
  for (const std::string& path : bad) {
    EXPECT_EQ(loadFont(path.c_str()), -1) << path;
    EXPECT_EQ(fontRegistry.fonts[0], nullptr) << path;
    EXPECT_EQ(getCurrentFont(), 1) << path;
  }
  EXPECT_EQ(loadFont(nullptr), -1);
  EXPECT_EQ(loadFont(good.c_str()), 0);
  EXPECT_EQ(getCurrentFont(), 0);
}

TEST_F(FontRegistryTest, UnloadsAndSelectsOnlyFilledSlots) {
  for (int i = 0; i < 6; i++) ASSERT_EQ(loadFont(good.c_str()), i);
  EXPECT_EQ(unloadFont(3), 0);  // another font: the current one stays
  EXPECT_EQ(fontRegistry.fonts[3], nullptr);
  EXPECT_EQ(getCurrentFont(), 5);
  for (int index : {3, -1, 256}) {
    EXPECT_EQ(unloadFont(index), -1) << index;
    EXPECT_EQ(selectFont(index), -1) << index;
    EXPECT_EQ(getCurrentFont(), 5) << index;
  }
  EXPECT_EQ(unloadFont(5), 0);  // the current font
  EXPECT_EQ(getCurrentFont(), -1);
  EXPECT_EQ(unloadCurrentFont(), -1);
  ASSERT_EQ(selectFont(1), 0);
  EXPECT_EQ(unloadCurrentFont(), 0);
  EXPECT_EQ(getCurrentFont(), -1);
  for (int slot = 0; slot < 6; slot++) EXPECT_EQ(fontRegistry.fonts[slot] != nullptr, slot % 2 == 0) << slot;
}

TEST_F(FontRegistryTest, SettingsKeepOnlyAcceptedValues) {
  setDirection(DIRECTION_DOWN);
  for (int32_t direction : {0, 5, -1}) setDirection(direction);
  EXPECT_EQ(getDirection(), DIRECTION_DOWN);
  setCentering(1);
  setCentering(256);  // its low byte: not centred
  EXPECT_EQ(getCentering(), 0);

  const uint8_t* switches[] = {&fontRegistry.messagesSwitch, &fontRegistry.texturingSwitch,
                               &fontRegistry.contouringSwitch, &fontRegistry.console.cursorSwitch};
  const int codes[] = {OPTION_MESSAGES, OPTION_TEXTURING, OPTION_CONTOURING, OPTION_CONSOLE_CURSOR};
  for (int unknown : {0, 9, 13, 29, 31}) enableOption(unknown);
  for (const uint8_t* s : switches) EXPECT_EQ(*s, SWITCH_OFF);
  for (int i = 0; i < 4; i++) {
    enableOption(codes[i]);
    disableOption(13);
    for (int j = 0; j < 4; j++) EXPECT_EQ(*switches[j], j == i ? SWITCH_ON : SWITCH_OFF) << codes[i];
    disableOption(codes[i]);
    EXPECT_EQ(*switches[i], SWITCH_OFF) << codes[i];
  }
}

}  // namespace

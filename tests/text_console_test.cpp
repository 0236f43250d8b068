// text_console_test.cpp -- the text console: what printing leaves in the grid and where
// the cursor goes, and drawing in a real Mesa context: the lines in the console's own
// font two units apart, the cursor and its blink counted in draws.
#include "font/text_console.h"

#include <GL/gl.h>

#include "tests/support/gl_context.h"
#include "tests/vector_font_test_files.h"

namespace {

// Each line up to its first empty cell, joined by '/' without the empty lines at the
// end, then '@' and the cursor's column and line.
std::string state() {
  const TextConsole& c = fontRegistry.console;
  std::string text;
  for (int row = 0; row < c.consoleHeight; row++, text += '/')
    for (int column = 0; column < c.consoleWidth && c.consoleBuffer[row * c.consoleWidth + column]; column++)
      text += char(c.consoleBuffer[row * c.consoleWidth + column]);
  text.erase(text.find_last_not_of('/') + 1);
  return text + "@" + std::to_string(c.cursorX) + "," + std::to_string(c.cursorY);
}

// Window positions of everything drawn.
std::vector<float> positions(const std::vector<FeedbackItem>& items) {
  std::vector<float> xy;
  for (const FeedbackItem& item : items)
    for (const FeedbackVertex& v : item.vertices) xy.insert(xy.end(), {v.x, v.y});
  return xy;
}

class TextConsoleTest : public GlTest {
 protected:
  void TearDown() override { resetFontRegistry(); }
};

TEST_F(TextConsoleTest, WrapsScrollsAndDropsWhatIsNotPrintable) {
  const std::pair<std::string, std::string> cases[] = {
      // printed on a cleared 4 x 3 console
      {"abcd", "abcd@0,1"},
      {"abcde", "abcd/e@1,1"},
      {"ab\ncd\n", "ab/cd@0,2"},
      {"\n\n", "@0,2"},
      {"a\nb\nc\n", "b/c@0,2"},  // a newline on the last line scrolls up one line
      {"abcdefghijkl", "efgh/ijkl@0,2"},
      {std::string("\t\r\x1f\0\x80\xc8\xff ~\x7f", 11), " ~\x7f@3,0"},
  };
  initConsole(4, 3);
  for (const auto& [text, expected] : cases) {
    clearConsole();
    EXPECT_EQ(consoleWrite(text.data(), int(text.size())), int(text.size()));
    EXPECT_EQ(state(), expected) << text;
  }
  EXPECT_EQ(consolePrint("xy"), 2);
  EXPECT_EQ(consolePutChar('z'), 1);
  EXPECT_EQ(state(), " ~\x7fx/yz@2,1");

  initConsole(40, 20);
  consolePrint("\nold");
  initConsole(40, 20);  // a new console is empty
  EXPECT_EQ(state(), "@0,0");
  consolePrint("kept");
  initConsole(512, 20);  // refused: wider than a line can be drawn
  EXPECT_EQ(state(), "kept@4,0");
  initConsole(0, 20);  // no grid: printing stores nothing, drawing draws nothing
  EXPECT_EQ(consolePrint("lost"), 4);
  EXPECT_EQ(fontRegistry.console.consoleBuffer, nullptr);
  EXPECT_TRUE(captureFeedback(drawConsole).empty());
}

TEST_F(TextConsoleTest, DrawsItsLinesInItsOwnFontWithABlinkingCursor) {
  ASSERT_EQ(loadGlyphs({box('X', -0.5f, 0.5f, -0.5f, 0.5f), box('_', -1, 1, -1, -0.8f)}), 0);
  ASSERT_EQ(loadGlyphs({box('X', -1, 1, -1, 1)}), 1);  // the current font, not the console's
  setDirection(1);
  glMatrixMode(GL_PROJECTION);
  glOrtho(-2, 10, -8, 2, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  for (int bad : {-1, 2, 256}) EXPECT_EQ(setConsoleFont(bad), -1);
  EXPECT_EQ(fontRegistry.console.consoleFont, 0);
  ASSERT_EQ(setConsoleFont(1), 0);
  ASSERT_EQ(setConsoleFont(0), 0);
  initConsole(4, 3);
  consolePrint("X\nabX");  // 'a' and 'b' have no glyphs
  enableOption(30);
  setCursorBlinkRate(10);
  const auto drawn = positions(captureFeedback(drawConsole));
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_EQ(m[13], -6);  // two units down per line, not undone
  glLoadIdentity();
  const auto expected = positions(captureFeedback([] {
    for (const char* line : {"X", "abX_", ""}) drawStringInFont(0, line), glTranslatef(0, -2, 0);
  }));
  EXPECT_EQ(drawn.size(), 36u);  // three glyphs of two triangles
  EXPECT_EQ(drawn, expected);
  EXPECT_EQ(getCurrentFont(), 1);

  auto cursorShown = [](int draws) {
    std::string shown;
    while (draws-- > 0)
      shown += captureFeedback([] { glPushMatrix(), drawConsole(), glPopMatrix(); }).size() > 2 ? '1' : '0';
    return shown;
  };
  clearConsole();
  consolePrint("X");
  setCursorBlinkRate(3);  // shown at once, then a new phase on every fourth draw
  EXPECT_EQ(cursorShown(9), "111000011");
  setCursorBlinkRate(0);  // ignored
  EXPECT_EQ(cursorShown(3), "110");
  disableOption(30);  // no cursor, and its blink stands still
  EXPECT_EQ(cursorShown(3), "000");
  enableOption(30);
  EXPECT_EQ(cursorShown(2), "00");
}

}  // namespace

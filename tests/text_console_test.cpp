// text_console_test.cpp -- the text console: wrapping, newlines and scrolling, the bytes
// it drops, the sizes it accepts, and drawing in a real Mesa context: where lines and
// the cursor land, the blink counted in draws, and the matrix moved down.
#include "font/text_console.h"

#include <GL/gl.h>

#include <cmath>

#include "tests/support/gl_context.h"
#include "tests/vector_font_test_files.h"

namespace {

const TextConsole& console() { return fontRegistry.console; }
uint8_t& cell(int column, int row) {
  return fontRegistry.console.consoleBuffer[size_t(row) * size_t(console().consoleWidth) + size_t(column)];
}
// Each line up to its first empty cell, lines joined by '/' without the empty ones at
// the end, then '@' and the cursor's column and line.
std::string state() {
  std::string text;
  for (int row = 0; row < console().consoleHeight; row++, text += '/')
    for (int column = 0; column < console().consoleWidth && cell(column, row); column++)
      text += char(cell(column, row));
  text.erase(text.find_last_not_of('/') + 1);
  return text + "@" + std::to_string(console().cursorX) + "," + std::to_string(console().cursorY);
}

class TextConsoleTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    resetFontRegistry();
    initConsole(40, 20);
    ASSERT_NE(console().consoleBuffer, nullptr);
  }
  void TearDown() override { resetFontRegistry(); }
};

TEST_F(TextConsoleTest, WrapsAtTheRightEdgeAndAtNewlinesAndDropsUnprintableBytes) {
  EXPECT_EQ(consolePrint(std::string(40, 'a').c_str()), 40);
  EXPECT_EQ(consolePutChar('b'), 1);
  EXPECT_EQ(consoleWrite("cd\nef", 5), 5);
  EXPECT_EQ(state(), std::string(40, 'a') + "/bcd/ef@2,2");

  clearConsole();
  const char bytes[] = {'o', '\t', '\r', 0, 27, 31, char(128), char(200), char(255), ' ', char(127), '~'};
  EXPECT_EQ(consoleWrite(bytes, int(sizeof bytes)), int(sizeof bytes));
  EXPECT_EQ(state(), "o \x7f~@4,0");
}

TEST_F(TextConsoleTest, ScrollsUpOneLineOnlyPastTheLastLine) {
  for (int row = 0; row < 20; row++) cell(0, row) = uint8_t('a' + row);
  const std::string lines = state().substr(0, 39);  // "a/b/.../t"
  for (int n = 0; n < 19; n++) consolePutChar('\n');
  EXPECT_EQ(state(), lines + "@0,19");
  consolePutChar('\n');  // at column 0 of the last line
  EXPECT_EQ(state(), lines.substr(2) + "@0,19");
  consolePrint(std::string(40, 'z').c_str());  // a full last line scrolls too
  EXPECT_EQ(state(), lines.substr(4) + "/" + std::string(40, 'z') + "@0,19");
}

TEST_F(TextConsoleTest, ClearsResizesAndRefusesBadSizes) {
  consolePrint("kept\nhere");
  for (int32_t width : {512, 0x7fffffff}) initConsole(width, 20);  // refused: the old console stays
  EXPECT_EQ(console().consoleWidth, 40);
  EXPECT_EQ(state(), "kept/here@4,1");
  clearConsole();
  EXPECT_EQ(state(), "@0,0");
  consolePrint("gone");
  initConsole(10, 3);
  EXPECT_EQ(console().consoleHeight, 3);
  EXPECT_EQ(state(), "@0,0");

  const int32_t sizes[][2] = {{0, 20}, {40, 0}, {-1, 20}, {40, -5}};
  for (const auto& size : sizes) {  // no buffer: writing stores nothing, clearing and drawing do nothing
    initConsole(40, 20);
    initConsole(size[0], size[1]);
    EXPECT_EQ(console().consoleBuffer, nullptr) << size[0] << " x " << size[1];
    EXPECT_EQ(consolePrint("text\n"), 5);
    clearConsole();
    EXPECT_TRUE(captureFeedback(drawConsole).empty());
    EXPECT_EQ(state(), "@0,0");
  }
  GLfloat matrix[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
  EXPECT_EQ(matrix[13], 0.0f);
}

TEST_F(TextConsoleTest, TakesOnlyAFilledSlotAsItsFont) {
  ASSERT_EQ(loadFont(writeTestFile("console.font", fontFileBytes({})).c_str()), 0);
  ASSERT_EQ(loadFont(writeTestFile("console.font", fontFileBytes({})).c_str()), 1);
  EXPECT_EQ(setConsoleFont(1), 0);
  for (int bad : {-1, 2, 256}) EXPECT_EQ(setConsoleFont(bad), -1) << bad;
  EXPECT_EQ(console().consoleFont, 1);
}

// Drawing in a font with glyphs for 'X' (a unit square about its origin) and for the
// cursor (a flat bar below the origin); other characters only advance by the space
// size. The view shows font units: x from -10 to 90, y from -45 to 5.
class ConsoleDrawingTest : public TextConsoleTest {
 protected:
  void SetUp() override {
    TextConsoleTest::SetUp();
    const std::vector<TestGlyph> glyphs = {rectangleGlyph('X', -0.5f, 0.5f, -0.5f, 0.5f),
                                           rectangleGlyph('_', -1, 1, -1, -0.8f)};
    ASSERT_EQ(loadFont(writeTestFile("console.font", fontFileBytes(glyphs)).c_str()), 0);
    setDirection(DIRECTION_RIGHT);
    setConsoleFont(0);
    enableOption(OPTION_CONSOLE_CURSOR);
    glMatrixMode(GL_PROJECTION);
    glOrtho(-10, 90, -45, 5, -1, 1);
    glMatrixMode(GL_MODELVIEW);
  }
  // Draws the console once (the matrix put back) and lists the glyphs drawn: 'X' or '_'
  // (the cursor) and its centre, to a tenth of a unit.
  static std::string draw() {
    auto polygons = polygonsOf(captureFeedback([] {
      glPushMatrix();
      drawConsole();
      glPopMatrix();
    }));
    std::string glyphs;
    for (size_t i = 0; i + 1 < polygons.size(); i += 2) {  // two triangles per glyph
      float x[2] = {1e9f, -1e9f}, y[2] = {1e9f, -1e9f};
      for (size_t k = i; k < i + 2; k++)
        for (const FeedbackVertex& v : polygons[k].vertices) {
          x[0] = std::min(x[0], v.x / kWidth * 100 - 10), x[1] = std::max(x[1], v.x / kWidth * 100 - 10);
          y[0] = std::min(y[0], v.y / kHeight * 50 - 45), y[1] = std::max(y[1], v.y / kHeight * 50 - 45);
        }
      char text[40];
      std::snprintf(text, sizeof text, " %c%g,%g", y[1] - y[0] < 0.5f ? '_' : 'X',
                    std::round((x[0] + x[1]) * 5) / 10 + 0.0f, std::round((y[0] + y[1]) * 5) / 10 + 0.0f);
      glyphs += text;
    }
    return glyphs;
  }
  // Whether each of n draws shows the cursor.
  static std::string cursorInDraws(int n) {
    std::string shown;
    while (n-- > 0) shown += draw().find('_') == std::string::npos ? '0' : '1';
    return shown;
  }
};

TEST_F(ConsoleDrawingTest, LinesStepDownTwoUnitsAndTheCursorTakesTheFirstEmptyCell) {
  setCursorBlinkRate(10);
  consolePrint("X\n\nabX\nab");  // a and b have no glyphs: they advance by the space size
  EXPECT_EQ(draw(), " X-0.5,0 X4,-4 _4,-6.9");
}

TEST_F(ConsoleDrawingTest, DrawingMovesTheMatrixDownTwoUnitsPerLine) {
  for (int height : {20, 3}) {
    initConsole(40, height);
    consolePrint("XX");
    if (height == 3) unloadFont(0);  // an emptied font slot: nothing drawn, lines still move
    glLoadIdentity();
    glTranslatef(1, 2, 0.5f);
    EXPECT_EQ(captureFeedback(drawConsole).empty(), height == 3);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_EQ(std::vector<float>(m + 12, m + 15), std::vector<float>({1, 2.0f - 2.0f * height, 0.5f}));
  }
  glLoadIdentity();
}

TEST_F(ConsoleDrawingTest, CursorBlinksInDrawsAndIsNotCountedWhileSwitchedOff) {
  setCursorBlinkRate(3);
  consolePrint("X\nX");
  EXPECT_EQ(cursorInDraws(5), "11100");  // shown for three draws, then a new phase every fourth
  for (int32_t rate : {0, -1}) setCursorBlinkRate(rate);  // ignored: the blink goes on
  EXPECT_EQ(cursorInDraws(7), "0011110");
  setCursorBlinkRate(3);
  EXPECT_EQ(cursorInDraws(1), "1");
  disableOption(OPTION_CONSOLE_CURSOR);
  EXPECT_EQ(cursorInDraws(10), "0000000000");
  enableOption(OPTION_CONSOLE_CURSOR);
  EXPECT_EQ(cursorInDraws(3), "110");
}

TEST_F(ConsoleDrawingTest, WidestConsoleShowsTheCursorInItsLastCellButNotOnAFullLine) {
  initConsole(CONSOLE_MAX_WIDTH, 2);
  setSpaceSize(0.1f);  // keeps the whole line in view
  setCursorBlinkRate(10);
  consoleWrite(std::string(510, 'a').c_str(), 510);
  EXPECT_EQ(draw(), " _51,-0.9");
  cell(510, 0) = 'a';  // the cursor's line full to the last cell
  EXPECT_EQ(draw(), "");
  consolePutChar('a');
  EXPECT_EQ(state().substr(511), "@0,1");
}

}  // namespace

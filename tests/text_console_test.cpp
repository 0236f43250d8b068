// text_console_test.cpp -- the text console: wrapping, newlines and scrolling, the
// bytes it drops, the sizes it accepts, and drawing in a real Mesa context: where
// each line and the cursor land, the blinking of the cursor counted in draws, and
// the matrix it leaves moved down.
#include "font/text_console.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/gl_context.h"
#include "tests/vector_font_test_files.h"

namespace {

const TextConsole& console() { return fontRegistry.console; }

uint8_t& cell(int column, int row) {
  return fontRegistry.console.consoleBuffer[size_t(row) * size_t(console().consoleWidth) + size_t(column)];
}

// The cells of a line up to its first empty one.
std::string lineText(int row) {
  std::string text;
  for (int column = 0; column < console().consoleWidth && cell(column, row); column++)
    text += char(cell(column, row));
  return text;
}

void expectCursorAt(int column, int row) {
  EXPECT_EQ(console().cursorX, column);
  EXPECT_EQ(console().cursorY, row);
}

class TextConsoleTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    if (HasFatalFailure()) return;
    resetFontRegistry();
    initConsole(40, 20);
    ASSERT_NE(console().consoleBuffer, nullptr);
  }
  void TearDown() override { resetFontRegistry(); }
};

TEST_F(TextConsoleTest, LettersFillALineAndWrapToTheNext) {
  EXPECT_EQ(consolePrint(std::string(40, 'a').c_str()), 40);
  EXPECT_EQ(lineText(0), std::string(40, 'a'));
  expectCursorAt(0, 1);
  EXPECT_EQ(consolePutChar('b'), 1);
  EXPECT_EQ(lineText(1), "b");
  expectCursorAt(1, 1);

  // A newline ends the line wherever the cursor stands.
  EXPECT_EQ(consoleWrite("cd\nef", 5), 5);
  EXPECT_EQ(lineText(1), "bcd");
  EXPECT_EQ(lineText(2), "ef");
  expectCursorAt(2, 2);
}

TEST_F(TextConsoleTest, NewlineOnTheLastLineScrollsUpByOneLine) {
  for (int row = 0; row < 19; row++) consolePrint(("line " + std::to_string(row) + "\n").c_str());
  expectCursorAt(0, 19);
  EXPECT_EQ(lineText(0), "line 0");

  consolePutChar('\n');
  expectCursorAt(0, 19);
  for (int row = 0; row < 18; row++) EXPECT_EQ(lineText(row), "line " + std::to_string(row + 1));
  EXPECT_EQ(lineText(18), "");
  for (int column = 0; column < 40; column++) EXPECT_EQ(cell(column, 19), 0);

  // Letters that fill the last line scroll too.
  consolePrint(std::string(40, 'z').c_str());
  expectCursorAt(0, 19);
  EXPECT_EQ(lineText(18), std::string(40, 'z'));
  EXPECT_EQ(lineText(19), "");
}

TEST_F(TextConsoleTest, TwentyNewlinesFromClearScrollOnlyOnce) {
  for (int row = 0; row < 20; row++) cell(0, row) = uint8_t('a' + row);
  for (int n = 1; n <= 19; n++) {
    consolePutChar('\n');
    expectCursorAt(0, n);
  }
  for (int row = 0; row < 20; row++) EXPECT_EQ(cell(0, row), 'a' + row) << "line " << row;

  consolePutChar('\n');
  expectCursorAt(0, 19);
  for (int row = 0; row < 19; row++) EXPECT_EQ(cell(0, row), 'a' + row + 1) << "line " << row;
  EXPECT_EQ(cell(0, 19), 0);
}

TEST_F(TextConsoleTest, KeepsBytes32To127AndDropsEveryOtherExceptNewline) {
  consolePrint("ok");
  const char dropped[] = {'\t', '\r', 0, 27, 31, char(128), char(200), char(255)};
  EXPECT_EQ(consoleWrite(dropped, int(sizeof dropped)), int(sizeof dropped));
  EXPECT_EQ(lineText(0), "ok");
  expectCursorAt(2, 0);
  for (int row = 1; row < 20; row++) EXPECT_EQ(lineText(row), "");

  const char kept[] = {' ', char(127), '~'};
  consoleWrite(kept, 3);
  EXPECT_EQ(lineText(0), std::string("ok ") + char(127) + "~");
  expectCursorAt(5, 0);
}

TEST_F(TextConsoleTest, ClearingAndANewSizeEmptyTheGrid) {
  consolePrint("hello\nworld");
  clearConsole();
  expectCursorAt(0, 0);
  for (int row = 0; row < 20; row++) EXPECT_EQ(lineText(row), "");

  consolePrint("again");
  initConsole(10, 3);
  EXPECT_EQ(console().consoleWidth, 10);
  EXPECT_EQ(console().consoleHeight, 3);
  expectCursorAt(0, 0);
  for (int row = 0; row < 3; row++) EXPECT_EQ(lineText(row), "");
}

TEST_F(TextConsoleTest, RefusesAWidthAbove511AndKeepsTheOldConsole) {
  consolePrint("kept\nhere");
  for (int32_t width : {512, 100000, 0x7fffffff}) {
    initConsole(width, 20);
    EXPECT_EQ(console().consoleWidth, 40);
    EXPECT_EQ(console().consoleHeight, 20);
    EXPECT_EQ(lineText(0), "kept");
    expectCursorAt(4, 1);
  }
  initConsole(CONSOLE_MAX_WIDTH, 2);
  setSpaceSize(0.1f);  // keeps the whole line in view
  EXPECT_EQ(console().consoleWidth, 511);
  consolePrint(std::string(511, 'w').c_str());
  EXPECT_EQ(lineText(0), std::string(511, 'w'));
  expectCursorAt(0, 1);
}

TEST_F(TextConsoleTest, NoBufferForASizeOfZeroOrBelow) {
  const int32_t sizes[][2] = {{0, 20}, {40, 0}, {-1, 20}, {40, -5}, {0, 0}};
  for (const auto& size : sizes) {
    initConsole(40, 20);
    initConsole(size[0], size[1]);
    EXPECT_EQ(console().consoleBuffer, nullptr) << size[0] << " x " << size[1];
    EXPECT_EQ(console().consoleWidth, 0);
    EXPECT_EQ(console().consoleHeight, 0);

    // Writing stores nothing, clearing and drawing do nothing.
    EXPECT_EQ(consolePrint("text\n"), 5);
    EXPECT_EQ(consolePutChar('x'), 1);
    expectCursorAt(0, 0);
    clearConsole();
    GLfloat matrix[16];
    EXPECT_TRUE(captureFeedback(drawConsole).empty());
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_EQ(matrix[13], 0.0f);
  }
}

TEST_F(TextConsoleTest, AcceptsOnlyAFilledSlotAsItsFont) {
  ASSERT_EQ(
      loadFont(writeTestFile("console.font", fontFileBytes({rectangleGlyph('x', -1, 1, -1, 1)})).c_str()), 0);
  ASSERT_EQ(loadFont(writeTestFile("console.font", fontFileBytes({})).c_str()), 1);
  EXPECT_EQ(setConsoleFont(1), 0);
  EXPECT_EQ(console().consoleFont, 1);
  for (int bad : {-1, 2, 255, 256}) {
    EXPECT_EQ(setConsoleFont(bad), -1) << bad;
    EXPECT_EQ(console().consoleFont, 1);
  }
  EXPECT_EQ(setConsoleFont(0), 0);
  EXPECT_EQ(console().consoleFont, 0);
}

TEST_F(TextConsoleTest, BlinkRateBelowOneChangesNothing) {
  setCursorBlinkRate(5);
  fontRegistry.console.blinkCounter = 2;
  fontRegistry.console.cursorShown = 2;
  for (int32_t draws : {0, -1, -100}) {
    setCursorBlinkRate(draws);
    EXPECT_EQ(console().blinkRate, 5);
    EXPECT_EQ(console().blinkCounter, 2);
    EXPECT_EQ(console().cursorShown, 2);
  }
  setCursorBlinkRate(3);
  EXPECT_EQ(console().blinkRate, 3);
  EXPECT_EQ(console().blinkCounter, 3);
  EXPECT_EQ(console().cursorShown, 1);
}

// Drawing. The console font has a glyph for 'X' (a unit square about its origin) and
// for the cursor (a flat bar below the origin); every other character has none and
// only advances by the space size. An orthographic view shows font units: x from
// -10 to 90, y from -45 to 5.
class ConsoleDrawingTest : public TextConsoleTest {
 protected:
  void SetUp() override {
    TextConsoleTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(
        loadFont(writeTestFile("console.font", fontFileBytes({rectangleGlyph('X', -0.5f, 0.5f, -0.5f, 0.5f),
                                                              rectangleGlyph('_', -1, 1, -1, -0.8f)}))
                     .c_str()),
        0);
    setDirection(DIRECTION_RIGHT);
    setConsoleFont(0);
    glMatrixMode(GL_PROJECTION);
    glOrtho(-10, 90, -45, 5, -1, 1);
    glMatrixMode(GL_MODELVIEW);
  }

  // One drawn glyph: its centre in font units and whether it is the cursor.
  struct Drawn {
    float x, y;
    bool cursor;
  };
  // Draws the console once (the matrix put back afterwards) and lists the glyphs.
  std::vector<Drawn> draw() {
    auto items = captureFeedback([] {
      glPushMatrix();
      drawConsole();
      glPopMatrix();
    });
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    auto polygons = polygonsOf(items);
    std::vector<Drawn> glyphs;
    for (size_t i = 0; i + 1 < polygons.size(); i += 2) {  // two triangles per glyph
      float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
      for (size_t k = i; k < i + 2; k++)
        for (const FeedbackVertex& v : polygons[k].vertices) {
          const float x = v.x / kWidth * 100 - 10, y = v.y / kHeight * 50 - 45;
          minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y),
          maxY = std::max(maxY, y);
        }
      glyphs.push_back({(minX + maxX) / 2, (minY + maxY) / 2, maxY - minY < 0.5f});
    }
    return glyphs;
  }
  int cursorsDrawn() {
    int cursors = 0;
    for (const Drawn& glyph : draw()) cursors += glyph.cursor;
    return cursors;
  }
};

TEST_F(ConsoleDrawingTest, LinesStepDownTwoUnitsAndTheCursorTakesTheFirstEmptyCell) {
  enableOption(OPTION_CONSOLE_CURSOR);
  setCursorBlinkRate(10);
  consolePrint("X\n\nabX\nab");
  auto glyphs = draw();
  ASSERT_EQ(glyphs.size(), 3u);
  // A first glyph is moved so that its left edge meets the left edge of its cell.
  EXPECT_NEAR(glyphs[0].x, -0.5f, 0.05f);
  EXPECT_NEAR(glyphs[0].y, 0, 0.05f);
  EXPECT_FALSE(glyphs[0].cursor);
  // Two characters without glyphs advance by the space size each.
  EXPECT_NEAR(glyphs[1].x, 4, 0.05f);
  EXPECT_NEAR(glyphs[1].y, -4, 0.05f);
  EXPECT_FALSE(glyphs[1].cursor);
  EXPECT_TRUE(glyphs[2].cursor);
  EXPECT_NEAR(glyphs[2].x, 4, 0.05f);
  EXPECT_NEAR(glyphs[2].y, -6 - 0.9f, 0.05f);
}

TEST_F(ConsoleDrawingTest, DrawingMovesTheMatrixDownTwoUnitsPerLine) {
  for (int height : {20, 3}) {
    initConsole(40, height);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    drawConsole();
    GLfloat matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_EQ(matrix[12], 1.0f);
    EXPECT_EQ(matrix[13], 2.0f - 2.0f * height);
    EXPECT_EQ(matrix[14], 3.0f);
  }
  // Also in a font slot that has been emptied: nothing drawn, the lines still move.
  consolePrint("XX");
  ASSERT_EQ(unloadFont(0), 0);
  glLoadIdentity();
  EXPECT_TRUE(captureFeedback(drawConsole).empty());
  GLfloat matrix[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
  EXPECT_EQ(matrix[13], -6.0f);
  glLoadIdentity();
}

TEST_F(ConsoleDrawingTest, CursorBlinksInDrawsOfTheConsole) {
  enableOption(OPTION_CONSOLE_CURSOR);
  setCursorBlinkRate(3);
  consolePrint("X\nX");
  // Shown at once for three draws, then it changes phase on every fourth draw.
  const int expected[] = {1, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 0};
  for (int n = 0; n < 12; n++) EXPECT_EQ(cursorsDrawn(), expected[n]) << "draw " << n + 1;
}

TEST_F(ConsoleDrawingTest, SwitchedOffCursorIsNeitherDrawnNorCounted) {
  enableOption(OPTION_CONSOLE_CURSOR);
  setCursorBlinkRate(3);
  EXPECT_EQ(cursorsDrawn(), 1);
  disableOption(OPTION_CONSOLE_CURSOR);
  for (int n = 0; n < 10; n++) EXPECT_EQ(cursorsDrawn(), 0);
  EXPECT_EQ(console().blinkCounter, 2);
  EXPECT_EQ(console().cursorShown, 1);
  enableOption(OPTION_CONSOLE_CURSOR);
  EXPECT_EQ(cursorsDrawn(), 1);
  EXPECT_EQ(console().blinkCounter, 1);
}

TEST_F(ConsoleDrawingTest, WidestConsoleShowsTheCursorInItsLastCellButNotOnAFullLine) {
  initConsole(CONSOLE_MAX_WIDTH, 2);
  setSpaceSize(0.1f);  // keeps the whole line in view
  enableOption(OPTION_CONSOLE_CURSOR);
  setCursorBlinkRate(10);
  consoleWrite(std::string(510, 'a').c_str(), 510);
  expectCursorAt(510, 0);
  auto glyphs = draw();
  ASSERT_EQ(glyphs.size(), 1u);
  EXPECT_TRUE(glyphs[0].cursor);
  EXPECT_NEAR(glyphs[0].x, 510 * 0.1f, 0.05f);

  // The cursor's line full to the last cell: no cursor.
  std::memset(&cell(0, 0), 'a', CONSOLE_MAX_WIDTH);
  EXPECT_TRUE(draw().empty());
}

}  // namespace

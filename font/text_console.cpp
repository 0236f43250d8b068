// text_console.cpp -- the text console's grid: printing with wrapping and scrolling,
// the blink of the cursor (counted in draws of the cursor's line, not in time) and
// drawing each line with drawStringInFont.
//
// Printable bytes are 32 to 127; a newline ends the line; every other byte is
// dropped. The cursor stands in column cursorX of line cursorY; once it reaches the
// right edge it goes to the start of the next line, and past the last line the
// grid scrolls up by one line.
#include "font/text_console.h"

#include <GL/gl.h>

#include <cstring>
#include <new>

static constexpr float kLineStep = 2.0f;  // font units from one line to the next
static constexpr char kCursor = '_';

static TextConsole& console() { return fontRegistry.console; }

void initConsole(int32_t width, int32_t height) {
  if (width > CONSOLE_MAX_WIDTH) return;  // refused: a line would not fit the line copy
  TextConsole& c = console();
  c.consoleBuffer.reset();
  c.consoleWidth = 0;
  c.consoleHeight = 0;
  c.cursorX = 0;
  c.cursorY = 0;
  if (width <= 0 || height <= 0) return;
  c.consoleBuffer.reset(new (std::nothrow) uint8_t[size_t(width) * size_t(height)]);
  if (!c.consoleBuffer) return;
  c.consoleWidth = width;
  c.consoleHeight = height;
  clearConsole();
}

void clearConsole() {
  TextConsole& c = console();
  if (!c.consoleBuffer) return;
  std::memset(c.consoleBuffer.get(), 0, size_t(c.consoleWidth) * size_t(c.consoleHeight));
  c.cursorX = 0;
  c.cursorY = 0;
}

int setConsoleFont(int index) {
  if (index < 0 || index >= FONT_SLOT_COUNT || !fontRegistry.fonts[index]) return -1;
  console().consoleFont = index;
  return 0;
}

// Lines 1 .. height-1 move up one line; the last line becomes empty.
static void scrollUp(TextConsole& c) {
  const size_t width = size_t(c.consoleWidth);
  uint8_t* cells = c.consoleBuffer.get();
  std::memmove(cells, cells + width, width * size_t(c.consoleHeight - 1));
  std::memset(cells + width * size_t(c.consoleHeight - 1), 0, width);
  c.cursorY = c.consoleHeight - 1;
}

int consoleWrite(const char* bytes, int count) {
  TextConsole& c = console();
  if (!c.consoleBuffer || !bytes) return count;
  for (int i = 0; i < count; i++) {
    const uint8_t b = static_cast<uint8_t>(bytes[i]);
    if (b >= 32 && b <= 127) {
      c.consoleBuffer[size_t(c.cursorY) * size_t(c.consoleWidth) + size_t(c.cursorX)] = b;
      c.cursorX++;
    } else if (b == '\n') {
      c.cursorX = c.consoleWidth;
    } else {
      continue;
    }
    if (c.cursorX >= c.consoleWidth) {
      c.cursorX = 0;
      if (++c.cursorY >= c.consoleHeight) scrollUp(c);
    }
  }
  return count;
}

int consolePrint(const char* text) {
  if (!text) return 0;
  const int length = static_cast<int>(std::strlen(text));
  consoleWrite(text, length);
  return length;
}

int consolePutChar(char character) { return consoleWrite(&character, 1); }

// Counts one draw of the cursor's line and toggles the blink phase when due.
static void countCursorBlink(TextConsole& c) {
  if (--c.blinkCounter < 0) {
    c.blinkCounter = c.blinkRate;
    c.cursorShown = c.cursorShown == 1 ? 2 : 1;
  }
}

void drawConsole() {
  TextConsole& c = console();
  if (!c.consoleBuffer) return;
  const int width = c.consoleWidth < CONSOLE_MAX_WIDTH ? c.consoleWidth : CONSOLE_MAX_WIDTH;
  char line[CONSOLE_MAX_WIDTH + 1];  // the cells and a terminating zero
  for (int i = 0; i < c.consoleHeight; i++) {
    std::memcpy(line, &c.consoleBuffer[size_t(i) * size_t(c.consoleWidth)], size_t(width));
    line[width] = 0;
    if (c.cursorSwitch == SWITCH_ON && i == c.cursorY) {
      countCursorBlink(c);
      // The cursor takes the first empty cell; a full line shows none.
      if (c.cursorShown == 1) {
        if (char* empty = static_cast<char*>(std::memchr(line, 0, size_t(width)))) {
          empty[0] = kCursor;
          empty[1] = 0;
        }
      }
    }
    drawStringInFont(c.consoleFont, line);
    glTranslatef(0, -kLineStep, 0);
  }
}

void setCursorBlinkRate(int32_t draws) {
  if (draws <= 0) return;
  TextConsole& c = console();
  c.blinkRate = draws;
  c.blinkCounter = draws;
  c.cursorShown = 1;
}

// font_lifecycle.cpp -- start-up and shut-down of the font library. Start-up frees the
// fonts a previous start-up left loaded (rather than forgetting them), then sets the
// registry to no current font, every switch off, centring off and writing to the right,
// and makes a fresh 40 x 20 console with its blinking cursor on. Spacing, space size,
// depth and rotation keep their values. Shut-down releases the console buffer and every
// font; with nothing loaded it makes no GL call.
#include "font/font_lifecycle.h"

#include "font/bitmap_font.h"
#include "font/font_library.h"
#include "font/text_console.h"

namespace {

constexpr int32_t kConsoleWidth = 40;
constexpr int32_t kConsoleHeight = 20;
constexpr int32_t kCursorBlinkRate = 10;

void unloadAllFonts() {
  for (int slot = 0; slot < FONT_SLOT_COUNT; slot++) unloadFont(slot);
  for (int slot = 0; slot < FONT_SLOT_COUNT; slot++) unloadBitmapFont(slot);
}

}  // namespace

void initFonts() {
  unloadAllFonts();
  fontRegistry.currentFont = -1;
  fontRegistry.currentBitmapFont = -1;
  fontRegistry.messagesSwitch = SWITCH_OFF;
  fontRegistry.texturingSwitch = SWITCH_OFF;
  fontRegistry.contouringSwitch = SWITCH_OFF;
  setContourColor(0, 0, 0, 0);
  initConsole(kConsoleWidth, kConsoleHeight);
  clearConsole();
  enableOption(OPTION_CONSOLE_CURSOR);
  setCursorBlinkRate(kCursorBlinkRate);
  setCentering(0);
  setBitmapCentering(0);
  setDirection(DIRECTION_RIGHT);
}

void shutdownFonts() {
  TextConsole& console = fontRegistry.console;
  console.consoleBuffer.reset();
  console.consoleWidth = console.consoleHeight = 0;  // as for any console without a buffer
  console.cursorX = console.cursorY = 0;
  unloadAllFonts();
}

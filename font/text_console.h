// text_console.h -- the text console: a grid of characters printed into like a
// terminal (wrapping at the right edge, scrolling up when the last line is full)
// and drawn line by line in solid glyphs of a vector font, two font units apart,
// with a blinking underscore cursor. Its state is the registry's `console`; the
// cursor is switched with enableOption / disableOption(OPTION_CONSOLE_CURSOR).
//
// Sizes: a console is at most CONSOLE_MAX_WIDTH characters wide. initConsole refuses
// a wider size and keeps the console it had; a width or height of 0 or below leaves
// the console without a buffer. Without a buffer, writing stores nothing and
// clearing and drawing do nothing.
#pragma once

#include <cstdint>

#include "font/font_library.h"

constexpr int32_t CONSOLE_MAX_WIDTH = 511;  // widest line a console can hold

ZARNOK_FONT_API void initConsole(int32_t width, int32_t height);  // new empty grid (see Sizes above)
ZARNOK_FONT_API void clearConsole();                              // all cells empty, cursor to the top left
ZARNOK_FONT_API int setConsoleFont(int index);  // font the console is drawn in; 0, or -1 for a bad slot
ZARNOK_FONT_API int consoleWrite(const char* bytes, int count);  // print count bytes; returns count
ZARNOK_FONT_API int consolePrint(const char* text);              // print a zero-terminated string; its length
ZARNOK_FONT_API int consolePutChar(char character);              // print one byte; returns 1
ZARNOK_FONT_API void drawConsole();                      // every line, top down; moves the matrix down
ZARNOK_FONT_API void setCursorBlinkRate(int32_t draws);  // draws between cursor toggles; ignored if < 1

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

/// \file
/// The text console: a grid of characters printed into like a terminal and drawn in a
/// vector font. Printable bytes (32 to 127) fill the cell under the cursor and move it
/// right; a newline (10) ends the line; every other byte is dropped. At the right edge the
/// cursor wraps to the next line, and past the last line the grid scrolls up by one.
/// The cursor is switched with enableOption() / disableOption() of #OPTION_CONSOLE_CURSOR.
/// The console's state is the registry's FontRegistry::console; initFonts() makes a
/// 40 x 20 console, shutdownFonts() frees it. Without a buffer (before either, after
/// shutdownFonts(), or after a size of 0), printing stores nothing and clearing and
/// drawing do nothing.

constexpr int32_t CONSOLE_MAX_WIDTH = 511;  ///< The widest line a console can hold.

/// Makes a new, empty console grid, the cursor at the top left; the old contents are
/// discarded. The font, the cursor switch and the blink rate stay.
/// \param width characters per line, at most #CONSOLE_MAX_WIDTH: a wider size is refused
///        and the console stays as it was. 0 or below leaves the console without a buffer.
/// \param height lines; 0 or below leaves the console without a buffer.
ZARNOK_FONT_API void initConsole(int32_t width, int32_t height);

/// Empties every cell and puts the cursor at the top left.
ZARNOK_FONT_API void clearConsole();

/// Sets the vector font the console is drawn in (slot 0 until set). A font unloaded later
/// makes drawConsole() draw nothing, though the lines still move the matrix.
/// \param index the font's slot.
/// \return 0; or -1 when the index is outside 0..255 or the slot is empty (nothing changes).
ZARNOK_FONT_API int setConsoleFont(int index);

/// Prints bytes into the console, as described for the console above.
/// \param bytes the bytes; a zero byte is dropped like any other control byte.
/// \param count how many.
/// \return count.
ZARNOK_FONT_API int consoleWrite(const char* bytes, int count);

/// Prints a zero-terminated string into the console: consoleWrite() of its bytes.
/// \param text the string.
/// \return its length.
ZARNOK_FONT_API int consolePrint(const char* text);

/// Prints one byte into the console: consoleWrite() of it.
/// \param character the byte.
/// \return 1.
ZARNOK_FONT_API int consolePutChar(char character);

/// Draws the console: each line, top down, with drawStringInFont() in the console's font
/// and the current colour, then glTranslatef(0, -2, 0), so that the lines stand two font
/// units apart and, unlike the other drawing calls, the current matrix is left moved down
/// by 2 x the height. The layout settings apply: use direction right and no centring for
/// a terminal's look; the first line's glyph cells run from y = -1 to 1 about the origin.
/// With the cursor on, its line shows an underscore in its first empty cell while the
/// cursor is in its shown phase; the phase toggles after every blink rate + 1 draws.
/// Needs a GL context.
ZARNOK_FONT_API void drawConsole();

/// Sets how many draws of the cursor's line pass between two toggles of the cursor, and
/// shows the cursor at once.
/// \param draws the count; below 1 it is ignored.
ZARNOK_FONT_API void setCursorBlinkRate(int32_t draws);

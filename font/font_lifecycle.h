// font_lifecycle.h -- the font library's start-up and shut-down: the two calls that
// reach across the vector fonts, the text console and the bitmap fonts, putting the
// whole library into its known starting state and releasing everything it holds.
#pragma once

#include "font/font_export.h"

/// \file
/// Start-up and shut-down of the whole library.

/// Puts the library into its known starting state. It first frees every font a previous
/// start-up left loaded (vector and bitmap; freeing bitmap fonts makes GL calls, so a GL
/// context must then be current), then: no current vector or bitmap font (-1), every
/// switch off, contour colour 0, 0, 0, 0, a new empty 40 x 20 console with its cursor on
/// and a blink rate of 10, centring off (vector and bitmap), writing direction right.
/// The symbol space, space size, symbol depth and rotation keep their values.
ZARNOK_FONT_API void initFonts();

/// Frees the console's buffer (the console then has no size), every vector font and
/// every bitmap font (their textures and display lists: a GL context must be current if
/// any is loaded; with none loaded no GL call is made). Every slot is empty afterwards
/// and there is no current font; initFonts() starts the library again.
ZARNOK_FONT_API void shutdownFonts();

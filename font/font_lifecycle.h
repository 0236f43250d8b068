// font_lifecycle.h -- the font library's start-up and shut-down: the two calls that
// reach across the vector fonts, the text console and the bitmap fonts, putting the
// whole library into its known starting state and releasing everything it holds.
#pragma once

#include "font/font_export.h"

ZARNOK_FONT_API void initFonts();      // free any loaded fonts, reset the registry, a 40 x 20 console
ZARNOK_FONT_API void shutdownFonts();  // free the console buffer, every vector font and every bitmap font

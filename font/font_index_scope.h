// font_index_scope.h -- how the "in font" drawers draw in a font other than the
// current one: they make its slot current for one call and then put the previous
// current font back. The index is not checked: the drawers draw nothing for an empty
// or invalid slot.
#pragma once

#include "font/font_library.h"

// Runs draw with slot index as the current font, then puts the previous one back.
template <typename Draw>
inline void withFont(int index, Draw draw) {
  const int32_t previous = fontRegistry.currentFont;
  fontRegistry.currentFont = index;
  draw();
  fontRegistry.currentFont = previous;
}

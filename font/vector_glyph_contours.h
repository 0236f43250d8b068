// vector_glyph_contours.h -- how every vector-glyph drawer walks a glyph's contours:
// the vertices in order, a contour ending at the vertex whose index equals its entry
// in contourEnds, the next one starting at the following vertex. A contour end that
// lies before its contour's first vertex is never reached, so that contour runs to
// the glyph's last vertex and is the last one drawn; a contour that would start after
// the last vertex is not drawn at all.
#pragma once

#include "font/font_library.h"

// Calls visit(first, last) for each contour of the glyph that has vertices, in order;
// first <= last < vertexCount.
template <typename Visit>
void forEachContour(const VectorGlyph& glyph, Visit visit) {  // contour ranges of a glyph
  int first = 0;
  const int count = glyph.vertexCount;
  for (int k = 0; k < glyph.contourCount && first < count; k++) {
    int last = glyph.contourEnds[k];
    if (last < first || last >= count) last = count - 1;
    visit(first, last);
    first = last + 1;
  }
}

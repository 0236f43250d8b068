// vector_font_fuzz.cpp -- libFuzzer target for the vector font file reader: each input is
// loaded as a font file, and every vertex index of a font that loads is followed as the
// drawers follow it, so one pointing outside its glyph's arrays is caught.
#include <unistd.h>

#include <fstream>
#include <string>

#include "font/font_library.h"
#include "font/vector_glyph_contours.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/vector_font_fuzz_" + std::to_string(getpid()) + ".font";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), long(size));
  if (loadFont(path.c_str()) != 0) return 0;
  volatile float sum = 0;
  for (const auto& glyph : fontRegistry.fonts[0]->symbols) {
    for (int i = 0; glyph && i < 3 * glyph->facetCount; i++) sum = sum + glyph->vertices[glyph->facets[i]].x;
    if (glyph)
      forEachContour(*glyph, [&](int first, int last) {
        sum = sum + glyph->vertices[first].y + glyph->vertices[last].y;
      });
  }
  unloadFont(0);
  return 0;
}

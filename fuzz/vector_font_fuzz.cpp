// vector_font_fuzz.cpp -- libFuzzer target for the vector font file reader: each
// input is written to a file and loaded through the registry (loadFont) and read
// directly (readFontFile); a loaded font is then measured and every glyph's
// triangles and contours are walked as the drawers walk them, so that an index the
// reader let through would be caught reading outside the glyph's arrays.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "font/font_library.h"
#include "font/vector_glyph_contours.h"

static std::string inputPath() {
  const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  return std::string(folder) + "/vector_font_fuzz_" + std::to_string(getpid()) + ".font";
}

static float walkGlyph(const VectorGlyph& glyph) {
  float sum = 0;
  for (int i = 0; i < glyph.facetCount * 3; i++) {
    const GlyphVertex& v = glyph.vertices[glyph.facets[i]];
    sum += v.x + v.y;
  }
  forEachContour(glyph, [&](int first, int last) {
    for (int j = first; j <= last; j++) sum += glyph.vertices[j].x;
  });
  return sum;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = inputPath();
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);

  const int slot = loadFont(path.c_str());
  if (slot >= 0) {
    volatile float sink = 0;
    float minX, minY, maxX, maxY;
    getStringBounds(slot, "Zarnok! 0.0 \xE9", &minX, &minY, &maxX, &maxY);
    sink = sink + minX + maxY;
    for (const auto& glyph : fontRegistry.fonts[slot]->symbols) {
      if (glyph) sink = sink + walkGlyph(*glyph);
    }
    unloadFont(slot);
  }
  VectorFont direct;
  readFontFile(path.c_str(), &direct);
  return 0;
}

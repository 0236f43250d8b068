// vector_font_fuzz.cpp -- libFuzzer target for the vector font reader: each input is loaded as a font
// file, and every vertex index of a font that loads is followed, so a stray one is caught.
#include <unistd.h>

#include <fstream>

#include "font/font_library.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/vector_font_fuzz_" + std::to_string(getpid()) + ".font";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), long(size));
  if (loadFont(path.c_str()) != 0) return 0;
  volatile float sum = 0;
  for (const auto& g : fontRegistry.fonts[0]->symbols)
    for (int i = 0, n = g ? 3 * g->facetCount : 0; g && i < n + g->contourCount; i++)
      sum = sum + g->vertices[i < n ? g->facets[i] : g->contourEnds[i - n]].x;
  unloadFont(0);
  return 0;
}

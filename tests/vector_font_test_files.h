// vector_font_test_files.h -- vector font files for tests, from glyphs described in code.
#pragma once

#include <gmock/gmock.h>

#include <fstream>
#include <string>
#include <vector>

#include "font/font_library.h"

struct TestGlyph {  // coordinates are written as they lie in memory: little-endian, as the files
  uint8_t code;
  std::vector<GlyphVertex> vertices;
  std::vector<uint8_t> facets;       // three vertex indices per triangle
  std::vector<uint8_t> contourEnds;  // the last vertex of each contour
};

// A rectangle wound clockwise seen from +z: one contour of four vertices, two triangles.
inline TestGlyph box(uint8_t code, float left, float right, float bottom, float top) {
  return {code, {{left, bottom}, {left, top}, {right, top}, {right, bottom}}, {0, 1, 2, 0, 2, 3}, {3}};
}

// "GLF", 96 name bytes, the record count, 28 reserved bytes; per glyph its code, counts and arrays.
inline std::vector<uint8_t> fontBytes(const std::vector<TestGlyph>& glyphs) {
  std::vector<uint8_t> out = {'G', 'L', 'F'};
  out.resize(128, 0xEE);
  out[99] = uint8_t(glyphs.size());
  for (const TestGlyph& g : glyphs) {
    const auto* xy = reinterpret_cast<const uint8_t*>(g.vertices.data());
    out.insert(out.end(), {g.code, uint8_t(g.vertices.size()), uint8_t(g.facets.size() / 3),
                           uint8_t(g.contourEnds.size())});
    out.insert(out.end(), xy, xy + 8 * g.vertices.size());
    out.insert(out.end(), g.facets.begin(), g.facets.end());
    out.insert(out.end(), g.contourEnds.begin(), g.contourEnds.end());
  }
  return out;
}

inline const std::string& testFolder() {  // made on first use, for this process alone
  static char pattern[] = "/tmp/vector_font_XXXXXX";
  static const std::string folder = mkdtemp(pattern) ? pattern : "/nonexistent";
  return folder;
}

inline int loadBytes(const std::vector<uint8_t>& bytes) {  // as a font file: the slot, or -1
  const std::string path = testFolder() + "/test.font";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
  return loadFont(path.c_str());
}

inline auto near(const std::vector<float>& v) { return ::testing::Pointwise(::testing::FloatNear(1e-3f), v); }

// Frees every font and puts every field back to its value at program start.
inline void resetFontRegistry() { fontRegistry = FontRegistry{}; }

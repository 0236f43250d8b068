// vector_font_test_files.h -- helpers for the vector-font tests: glyphs described in
// code, written as font files into a private temporary folder, and a registry reset.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "font/font_library.h"

struct TestGlyph {
  uint8_t code;
  std::vector<GlyphVertex> vertices;
  std::vector<uint8_t> facets;       // 3 per triangle
  std::vector<uint8_t> contourEnds;  // one per contour
};

// An axis-aligned rectangle: one contour of four vertices, two counter-clockwise triangles.
inline TestGlyph rectangleGlyph(uint8_t code, float left, float right, float bottom, float top) {
  return {code, {{left, bottom}, {right, bottom}, {right, top}, {left, top}}, {0, 1, 2, 0, 2, 3}, {3}};
}

// The bytes of a font file holding the glyphs in order (declaredCount < 0: their
// number). *facetsAt gets, per record, the offset of its triangle indices.
inline std::vector<uint8_t> fontFileBytes(const std::vector<TestGlyph>& glyphs, int declaredCount = -1,
                                          std::vector<size_t>* facetsAt = nullptr) {
  std::vector<uint8_t> out(128, 0xEE);      // ends in the reserved bytes
  const char header[100] = "GLFtest font";  // magic, name
  std::copy(header, header + 99, out.begin());
  out[99] = uint8_t(declaredCount < 0 ? glyphs.size() : size_t(declaredCount));
  for (const TestGlyph& g : glyphs) {
    out.insert(out.end(), {g.code, uint8_t(g.vertices.size()), uint8_t(g.facets.size() / 3),
                           uint8_t(g.contourEnds.size())});
    for (const GlyphVertex& v : g.vertices)
      for (float value : {v.x, v.y}) {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        for (int i = 0; i < 4; i++) out.push_back(uint8_t(bits >> (8 * i)));  // little-endian
      }
    if (facetsAt) facetsAt->push_back(out.size());
    out.insert(out.end(), g.facets.begin(), g.facets.end());
    out.insert(out.end(), g.contourEnds.begin(), g.contourEnds.end());
  }
  return out;
}

// A folder of this process's own, made on first use.
inline const std::string& testFolder() {
  static const std::string folder = [] {
    std::string pattern = ::testing::TempDir() + "vector_font_XXXXXX";
    const char* made = mkdtemp(&pattern[0]);
    return std::string(made ? made : "");
  }();
  return folder;
}

// Writes bytes to a file of that name in the test folder and returns its path.
inline std::string writeTestFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = testFolder() + "/" + name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  return path;
}

// Frees every font and puts every field back to its value at program start.
inline void resetFontRegistry() { fontRegistry = FontRegistry{}; }

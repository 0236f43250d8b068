// vector_font_test_files.h -- helpers for the vector-font tests: glyphs described in
// code, written as vector font files into a private temporary folder, and a way to
// put the font registry back to its state at program start.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "font/font_library.h"

struct TestGlyph {
  uint8_t code;
  std::vector<GlyphVertex> vertices;
  std::vector<uint8_t> facets;       // 3 per triangle
  std::vector<uint8_t> contourEnds;  // one per contour
};

// An axis-aligned rectangle: one contour of four vertices, two triangles.
inline TestGlyph rectangleGlyph(uint8_t code, float left, float right, float bottom, float top) {
  return {code, {{left, bottom}, {right, bottom}, {right, top}, {left, top}}, {0, 1, 2, 0, 2, 3}, {3}};
}

inline void appendFloat(std::vector<uint8_t>& out, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  for (int i = 0; i < 4; i++) out.push_back(uint8_t(bits >> (8 * i)));  // little-endian
}

// Offsets of a record's parts within the file, for tests that corrupt them.
struct RecordLayout {
  size_t start, vertices, facets, contourEnds, end;
};

// The bytes of a font file holding the glyphs in order. declaredCount < 0: the number
// of glyphs.
inline std::vector<uint8_t> fontFileBytes(const std::vector<TestGlyph>& glyphs,
                                          const char* name = "test font", int declaredCount = -1,
                                          std::vector<RecordLayout>* layout = nullptr) {
  uint8_t header[128] = {'G', 'L', 'F'};
  std::memcpy(header + 3, name, std::min<size_t>(std::strlen(name), 96));
  header[99] = uint8_t(declaredCount < 0 ? glyphs.size() : declaredCount);
  std::memset(header + 100, 0xEE, 28);  // reserved
  std::vector<uint8_t> out(header, header + sizeof header);
  for (const TestGlyph& g : glyphs) {
    RecordLayout parts;
    parts.start = out.size();
    out.push_back(g.code);
    out.push_back(uint8_t(g.vertices.size()));
    out.push_back(uint8_t(g.facets.size() / 3));
    out.push_back(uint8_t(g.contourEnds.size()));
    parts.vertices = out.size();
    for (const GlyphVertex& v : g.vertices) {
      appendFloat(out, v.x);
      appendFloat(out, v.y);
    }
    parts.facets = out.size();
    out.insert(out.end(), g.facets.begin(), g.facets.end());
    parts.contourEnds = out.size();
    out.insert(out.end(), g.contourEnds.begin(), g.contourEnds.end());
    parts.end = out.size();
    if (layout) layout->push_back(parts);
  }
  return out;
}

// A folder of this process's own, made on first use.
inline const std::string& testFolder() {
  static std::string folder = [] {
    std::string pattern = ::testing::TempDir() + "vector_font_XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back(0);
    const char* made = mkdtemp(buffer.data());
    return std::string(made ? made : "");
  }();
  return folder;
}

// Writes bytes to a file of that name in the test folder and returns its path.
inline std::string writeTestFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string path = testFolder() + "/" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  EXPECT_NE(f, nullptr) << "cannot write " << path;
  if (!f) return path;
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  return path;
}

// Frees every font and puts every field back to its value at program start.
inline void resetFontRegistry() { fontRegistry = FontRegistry{}; }

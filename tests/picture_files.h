// picture_files.h -- bitmap picture files for the picture tests: written field by
// field, with known pixels, and the decoded bytes those pixels must give.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace picture_files {

using Bytes = std::vector<uint8_t>;

inline void put(Bytes& out, uint32_t value, int size) {
  for (int k = 0; k < size; k++) out.push_back(uint8_t(value >> (8 * k)));
}

// A bitmap file put together field by field, so that a test can spoil any of them.
struct BmpFile {
  int32_t width = 0, height = 0;
  uint16_t bits = 24;
  uint32_t compression = 0, colorsUsed = 0;
  Bytes headerTail, colorTable, rows;  // record bytes beyond the first 40; table; rows as stored

  Bytes bytes() const {
    const uint32_t offset = uint32_t(54 + headerTail.size() + colorTable.size());
    Bytes out = {'B', 'M'};
    for (uint32_t v : {uint32_t(offset + rows.size()), 0u, offset, uint32_t(40 + headerTail.size()),
                       uint32_t(width), uint32_t(height), 1u | uint32_t(bits) << 16, compression,
                       uint32_t(rows.size()), 2835u, 2835u, colorsUsed, 0u})
      put(out, v, 4);
    for (const Bytes* part : {&headerTail, &colorTable, &rows})
      out.insert(out.end(), part->begin(), part->end());
    return out;
  }
};

// File pixel (x, row): a 24-bit pixel stores byte stored(x, row, 0..2) as blue, green,
// red; an 8-bit pixel stores indexAt(x, row), whose table entry i is blue i, green
// 255 - i, red i ^ 0x5A. Rows are padded with 0xEE.
inline uint8_t stored(int x, int row, int c) { return uint8_t(0x10 + 0x60 * c + 8 * row + (2 * c + 1) * x); }
inline uint8_t indexAt(int x, int row) { return uint8_t(x * 7 + row * 13); }

inline BmpFile picture(int width, int height, int bits = 24) {
  BmpFile f;
  f.width = width;
  f.height = height;
  f.bits = uint16_t(bits);
  for (int i = 0; i < (bits == 8 ? 256 : 0); i++)
    f.colorTable.insert(f.colorTable.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i ^ 0x5A), 0x77});
  for (int row = 0; row < height; row++) {
    for (int x = 0; x < width; x++)
      if (bits == 8)
        f.rows.push_back(indexAt(x, row));
      else
        f.rows.insert(f.rows.end(), {stored(x, row, 0), stored(x, row, 1), stored(x, row, 2)});
    while (f.rows.size() % 4) f.rows.push_back(0xEE);
  }
  return f;
}

// The first `rows` rows of picture(width, ..., bits) as the reader must give them.
inline Bytes expected(int width, int rows, int bits = 24) {
  Bytes out;
  for (int row = 0; row < rows; row++)
    for (int x = 0; x < width; x++) {
      const uint8_t i = indexAt(x, row);
      if (bits == 8)
        out.insert(out.end(), {uint8_t(i ^ 0x5A), uint8_t(255 - i), i});
      else
        out.insert(out.end(), {stored(x, row, 2), stored(x, row, 1), stored(x, row, 0)});
    }
  return out;
}

inline void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
}

}  // namespace picture_files

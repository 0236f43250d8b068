// bitmap_font_writer.h -- writes bitmap font files: "BMF", 96 name bytes, 256 glyph
// records of four little-endian floats, then the picture: a 512-byte big-endian header
// and one plane per channel, rows bottom first, raw or run-length encoded. Used by the
// bitmap font maker, the tests and the benchmark to make their fonts.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace bitmap_font_writer {

// A glyph's place in the picture, in texture units (0 to 1 across the picture).
struct GlyphBox {
  float tx = 0, ty = 0, tw = 0, th = 0;
};

// A picture held plane by plane: channel 0's rows (row 0 at the bottom), then channel 1's...
struct PlanarPicture {
  int width = 0, height = 0, channels = 0;
  std::vector<uint8_t> planes;

  PlanarPicture() = default;
  PlanarPicture(int w, int h, int c) : width(w), height(h), channels(c), planes(size_t(w) * h * c) {}
  uint8_t& at(int x, int y, int channel) { return planes[(size_t(channel) * height + y) * width + x]; }
  const uint8_t* row(int y, int channel) const { return &planes[(size_t(channel) * height + y) * width]; }
};

inline void appendBigEndian16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(uint8_t(value >> 8));
  out.push_back(uint8_t(value));
}

inline void appendBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}

inline void appendLittleEndianFloat(std::vector<uint8_t>& out, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(bits >> shift));
}

// The packets of one row: runs of three or more equal bytes as run packets, the rest as
// literal packets, at most 127 bytes each, and the terminating 0.
inline std::vector<uint8_t> encodeRowPackets(const uint8_t* row, int width) {
  std::vector<uint8_t> out;
  int i = 0;
  while (i < width) {
    int run = 1;
    while (i + run < width && run < 127 && row[i + run] == row[i]) run++;
    if (run >= 3) {
      out.push_back(uint8_t(run));
      out.push_back(row[i]);
      i += run;
      continue;
    }
    const int start = i;
    while (i < width && i - start < 127) {
      if (i > start && i + 2 < width && row[i] == row[i + 1] && row[i] == row[i + 2]) break;
      i++;
    }
    out.push_back(uint8_t(0x80 | (i - start)));
    out.insert(out.end(), row + start, row + i);
  }
  out.push_back(0);
  return out;
}

// The 512-byte picture header.
inline std::vector<uint8_t> encodePictureHeader(const PlanarPicture& picture, bool runLength) {
  std::vector<uint8_t> out;
  appendBigEndian16(out, 474);  // the picture format's magic number
  out.push_back(runLength ? 1 : 0);
  out.push_back(1);  // bytes per channel
  appendBigEndian16(out, picture.channels == 1 ? 2 : 3);
  appendBigEndian16(out, uint32_t(picture.width));
  appendBigEndian16(out, uint32_t(picture.height));
  appendBigEndian16(out, uint32_t(picture.channels));
  appendBigEndian32(out, 0);    // smallest value
  appendBigEndian32(out, 255);  // largest value
  out.resize(512, 0);           // unused, name and colour-map fields: zero
  return out;
}

// The whole picture: header, then raw planes or the two row tables and the packets of
// every row (row y of channel z at table entry y + z x height).
inline std::vector<uint8_t> encodePicture(const PlanarPicture& picture, bool runLength) {
  std::vector<uint8_t> out = encodePictureHeader(picture, runLength);
  if (!runLength) {
    out.insert(out.end(), picture.planes.begin(), picture.planes.end());
    return out;
  }
  const size_t rows = size_t(picture.height) * picture.channels;
  std::vector<uint8_t> packets;
  std::vector<uint32_t> offsets, lengths;
  const uint32_t dataStart = uint32_t(out.size() + rows * 8);
  for (int z = 0; z < picture.channels; z++) {
    for (int y = 0; y < picture.height; y++) {
      std::vector<uint8_t> row = encodeRowPackets(picture.row(y, z), picture.width);
      offsets.push_back(dataStart + uint32_t(packets.size()));
      lengths.push_back(uint32_t(row.size()));
      packets.insert(packets.end(), row.begin(), row.end());
    }
  }
  for (uint32_t offset : offsets) appendBigEndian32(out, offset);
  for (uint32_t length : lengths) appendBigEndian32(out, length);
  out.insert(out.end(), packets.begin(), packets.end());
  return out;
}

// A complete font file around an already encoded picture.
inline std::vector<uint8_t> encodeFontFile(const std::string& name, const GlyphBox (&glyphs)[256],
                                           const std::vector<uint8_t>& picture) {
  std::vector<uint8_t> out = {'B', 'M', 'F'};
  std::vector<uint8_t> nameField(96, 0);
  std::memcpy(nameField.data(), name.data(), name.size() < 95 ? name.size() : 95);
  out.insert(out.end(), nameField.begin(), nameField.end());
  for (const GlyphBox& glyph : glyphs) {
    appendLittleEndianFloat(out, glyph.tx);
    appendLittleEndianFloat(out, glyph.ty);
    appendLittleEndianFloat(out, glyph.tw);
    appendLittleEndianFloat(out, glyph.th);
  }
  out.insert(out.end(), picture.begin(), picture.end());
  return out;
}

inline bool writeFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

}  // namespace bitmap_font_writer

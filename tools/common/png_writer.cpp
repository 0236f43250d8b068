// png_writer.cpp -- a minimal PNG encoder: IHDR, one IDAT of stored (uncompressed)
// deflate blocks, IEND; CRC-32 and Adler-32 computed here.
#include "tools/common/png_writer.h"

#include <cstdio>
#include <vector>

static uint32_t crc32Of(const uint8_t* data, size_t n, uint32_t crc = 0) {
  static uint32_t table[256];
  static bool ready = false;
  if (!ready) {
    for (uint32_t i = 0; i < 256; i++) {
      uint32_t c = i;
      for (int k = 0; k < 8; k++) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[i] = c;
    }
    ready = true;
  }
  crc = ~crc;
  for (size_t i = 0; i < n; i++) crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);
  return ~crc;
}

static void put32(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v >> 24));
  out.push_back(uint8_t(v >> 16));
  out.push_back(uint8_t(v >> 8));
  out.push_back(uint8_t(v));
}

static void putChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
  put32(out, uint32_t(body.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), body.begin(), body.end());
  put32(out, crc32Of(out.data() + start, out.size() - start));
}

bool writePng(const std::string& path, int width, int height, int channels,
              const uint8_t* bottomUpPixels) {
  if (width <= 0 || height <= 0 || (channels != 3 && channels != 4)) return false;
  const size_t rowBytes = size_t(width) * size_t(channels);

  // Filter byte 0 before every row, top row first.
  std::vector<uint8_t> raw;
  raw.reserve((rowBytes + 1) * size_t(height));
  for (int y = height - 1; y >= 0; y--) {
    raw.push_back(0);
    const uint8_t* row = bottomUpPixels + size_t(y) * rowBytes;
    raw.insert(raw.end(), row, row + rowBytes);
  }

  std::vector<uint8_t> z = {0x78, 0x01};
  for (size_t pos = 0; pos < raw.size() || raw.empty();) {
    size_t n = raw.size() - pos;
    if (n > 65535) n = 65535;
    bool last = pos + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.push_back(uint8_t(n));
    z.push_back(uint8_t(n >> 8));
    z.push_back(uint8_t(~n));
    z.push_back(uint8_t(~n >> 8));
    z.insert(z.end(), raw.begin() + long(pos), raw.begin() + long(pos + n));
    pos += n;
    if (last) break;
  }
  uint32_t a = 1, b = 0;
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  put32(z, (b << 16) | a);

  std::vector<uint8_t> ihdr;
  put32(ihdr, uint32_t(width));
  put32(ihdr, uint32_t(height));
  ihdr.push_back(8);                        // bit depth
  ihdr.push_back(channels == 4 ? 6 : 2);    // colour type RGBA / RGB
  ihdr.push_back(0);
  ihdr.push_back(0);
  ihdr.push_back(0);

  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  putChunk(file, "IHDR", ihdr);
  putChunk(file, "IDAT", z);
  putChunk(file, "IEND", {});

  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  ok = (std::fclose(f) == 0) && ok;
  return ok;
}

// picture_reader_fuzz.cpp -- libFuzzer target for the bitmap picture reader: each input is
// written to a file and read into one record, reused as the game reuses its own.
#include <cstdint>
#include <cstdio>

#include "image/picture_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static BmpImage image;
  static FILE* quiet = std::freopen("/dev/null", "w", stdout);  // the reader's messages
  FILE* file = std::fopen("picture_reader_fuzz.bmp", "wb");
  if (!quiet || !file || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) __builtin_trap();
  loadBmp("picture_reader_fuzz.bmp", image);
  const size_t last = image.pixels ? size_t(image.width) * size_t(image.height) * 3 : 0;
  return last ? image.pixels[last - 1] & 0 : 0;  // the buffer is whole
}

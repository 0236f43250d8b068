// bitmap_font_fuzz.cpp -- libFuzzer target for the picture inside a bitmap font file:
// each input is a picture, read through an in-memory stream, decoded and masked.
// Pictures of more than 2^19 pixels run the same code, only slower, and are passed over.
#include <cstdint>
#include <cstdio>

#include "font/bitmap_font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 10 && uint32_t(data[6] << 8 | data[7]) * uint32_t(data[8] << 8 | data[9]) > (1u << 19))
    return 0;
  FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!file) return 0;
  int32_t width = 0, height = 0, channels = 0;
  if (std::unique_ptr<uint8_t[]> pixels = decodeFontImage(file, &width, &height, &channels))
    makeMaskImage(pixels.get(), width, height);
  std::fclose(file);
  return 0;
}

// bitmap_font_fuzz.cpp -- libFuzzer target for the picture of a bitmap font file, decoded
// from memory and masked; pictures of over 2^19 pixels only take longer and are skipped.
#include <cstdio>

#include "font/bitmap_font.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 10 && uint32_t(data[6] << 8 | data[7]) * uint32_t(data[8] << 8 | data[9]) > (1u << 19))
    return 0;
  FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  int32_t width = 0, height = 0, channels = 0;
  if (std::unique_ptr<uint8_t[]> pixels = file ? decodeFontImage(file, &width, &height, &channels) : nullptr)
    makeMaskImage(pixels.get(), width, height);
  return file ? std::fclose(file) : 0;
}

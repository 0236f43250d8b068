// png_writer.h -- writes 8-bit RGB or RGBA pictures as PNG files (stored deflate
// blocks: no compression library needed). Used by the tests, the tools and fontshow.
#pragma once

#include <cstdint>
#include <string>

// Rows are given bottom row first, as glReadPixels returns them; the file is written
// top row first. channels is 3 (RGB) or 4 (RGBA). Returns false if the file cannot
// be written.
bool writePng(const std::string& path, int width, int height, int channels,
              const uint8_t* bottomUpPixels);  // write a PNG file

// picture_reader.h -- the reader of the game's Windows bitmap pictures: headers,
// colour table and pixel rows of uncompressed 8-bit (256-colour table) and 24-bit
// files, decoded into packed RGB bytes with the bottom row first, as OpenGL wants
// them. Problems are reported as one line each on standard output.
#pragma once

#include <cstdint>

// A decoded picture: width x height pixels of 3 bytes (red, green, blue), rows one
// after another without padding, the bottom row of the picture first.
struct BmpImage {
  int32_t width = 0;
  int32_t height = 0;
  uint8_t* pixels = nullptr;  // heap buffer owned by the record (see releaseBmp)
};

// True when the host keeps multi-byte integers big-endian; set by probeByteOrder.
extern bool swapHeaderBytes;

bool loadBmp(const char* path, BmpImage& image);  // read a picture file into image; true if all went well
void releaseBmp(BmpImage& image);                 // free the pixel buffer, back to 0 x 0
void probeByteOrder();                            // set swapHeaderBytes from the host's byte order
void swap16(void* field);                         // exchange the two bytes of a 16-bit field
void swap32(void* field);                         // reverse the four bytes of a 32-bit field

// picture_reader_fuzz.cpp -- libFuzzer target for the bitmap picture reader. It takes a
// path, so each input goes through an in-memory file; one record is reused across
// inputs, as the game reuses its shared record.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "image/picture_reader.h"

static int memoryFile = -1;
static std::string memoryPath;
static BmpImage image;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  memoryFile = memfd_create("picture_reader_fuzz", 0);
  memoryPath = "/proc/self/fd/" + std::to_string(memoryFile);
  if (memoryFile < 0 || !std::freopen("/dev/null", "w", stdout)) std::abort();  // quiet the reader
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (ftruncate(memoryFile, 0) != 0 || pwrite(memoryFile, data, size, 0) != ssize_t(size)) std::abort();
  loadBmp(memoryPath.c_str(), image);
  const size_t bytes = image.pixels ? size_t(image.width) * size_t(image.height) * 3 : 0;
  volatile uint8_t sink = bytes ? image.pixels[0] + image.pixels[bytes - 1] : 0;  // the buffer is whole
  (void)sink;
  return 0;
}

// picture_reader_fuzz.cpp -- libFuzzer target for the bitmap picture reader. The
// reader takes a path, so each input is written to an in-memory file and read back
// through /proc/self/fd. One record is reused across inputs, as the game reuses its
// shared record, so the release of earlier buffers is exercised too.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
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
  if (memoryFile < 0) {
    std::perror("memfd_create");
    std::abort();
  }
  memoryPath = "/proc/self/fd/" + std::to_string(memoryFile);
  // The reader's messages would flood the fuzzer's own report.
  if (!std::freopen("/dev/null", "w", stdout)) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (ftruncate(memoryFile, 0) != 0 || pwrite(memoryFile, data, size, 0) != ssize_t(size)) std::abort();
  loadBmp(memoryPath.c_str(), image);
  if (image.pixels != nullptr) {
    // The buffer must hold width x height x 3 bytes: touch its ends (and all of it
    // when it is small) so that the address checker sees a short buffer.
    size_t bytes = size_t(image.width) * size_t(image.height) * 3;
    volatile uint8_t sink = 0;
    if (bytes > 0) sink = sink + image.pixels[0] + image.pixels[bytes - 1];
    if (bytes <= (1u << 20))
      for (size_t i = 0; i < bytes; i += 61) sink = sink + image.pixels[i];
    (void)sink;
  }
  return 0;
}

// picture_reader_bench.cpp -- decoding speed of the picture reader (loadBmp) against
// stb_image as the peer and a floor, on a 1024 x 1024 24-bit and a 1024 x 1024 8-bit
// picture that the benchmark writes into a temporary folder first. The floor is the
// least the format asks for (see leastWork). Each of the three allocates its
// output anew on every iteration, and each is credited with the bytes of that output,
// 1024 x 1024 x 3.
#include <benchmark/benchmark.h>
#include <stb_image.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "image/picture_reader.h"

namespace {

constexpr int SIZE = 1024;

std::string folder;
std::string trueColorPath, indexedPath;

void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int k = 0; k < 4; k++) out.push_back(uint8_t(v >> (8 * k)));
}

// A noisy picture, so that no decoder profits from runs of equal bytes.
bool writePicture(const std::string& path, int bits) {
  uint32_t table = bits == 8 ? 1024 : 0;
  uint32_t rowBytes = uint32_t(SIZE * bits / 8);
  std::vector<uint8_t> out = {'B', 'M'};
  put32(out, 54 + table + rowBytes * SIZE);
  put32(out, 0);
  put32(out, 54 + table);
  put32(out, 40);
  put32(out, SIZE);
  put32(out, SIZE);
  put32(out, 1u | uint32_t(bits) << 16);
  put32(out, 0);
  put32(out, rowBytes * SIZE);
  put32(out, 2835);  // 72 dpi
  put32(out, 2835);
  put32(out, bits == 8 ? 256 : 0);  // colours used
  put32(out, 0);
  for (uint32_t i = 0; i < table / 4; i++)
    out.insert(out.end(), {uint8_t(i), uint8_t(i * 7), uint8_t(255 - i), 0});
  uint32_t state = 12345;
  for (size_t i = 0; i < size_t(rowBytes) * SIZE; i++) {
    state = state * 1664525u + 1013904223u;
    out.push_back(uint8_t(state >> 24));
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  return std::fclose(file) == 0 && ok;
}

void ourReader(benchmark::State& state, const std::string* path) {
  for (auto _ : state) {
    BmpImage image;
    if (!loadBmp(path->c_str(), image)) state.SkipWithError("loadBmp failed");
    benchmark::DoNotOptimize(image.pixels);
    releaseBmp(image);
  }
  state.SetBytesProcessed(state.iterations() * int64_t(SIZE) * SIZE * 3);
}

void stbImage(benchmark::State& state, const std::string* path) {
  for (auto _ : state) {
    int width = 0, height = 0, channels = 0;
    uint8_t* pixels = stbi_load(path->c_str(), &width, &height, &channels, 3);
    if (!pixels) state.SkipWithError("stb_image failed");
    benchmark::DoNotOptimize(pixels);
    stbi_image_free(pixels);
  }
  state.SetBytesProcessed(state.iterations() * int64_t(SIZE) * SIZE * 3);
}

// The floor: the header and colour table read in one go, then the pixel rows in large
// blocks. 24-bit rows are read straight into the output and left as they are (the
// reader also turns each blue-green-red triple round, so this is below what it can
// reach); 8-bit rows go into a buffer kept in the cache and each index is looked up in
// the colour table, four pixels merged in registers into one 8-byte and one 4-byte
// store.
void leastWork(benchmark::State& state, const std::string* path) {
  constexpr size_t ROWS_AT_ONCE = 64;
  std::vector<uint8_t> rows(size_t(SIZE) * ROWS_AT_ONCE);
  for (auto _ : state) {
    FILE* file = std::fopen(path->c_str(), "rb");
    uint8_t head[54 + 1024];
    if (std::fread(head, 1, sizeof head, file) != sizeof head) state.SkipWithError("short read");
    uint32_t offset;
    uint16_t bits;
    std::memcpy(&offset, head + 10, 4);
    std::memcpy(&bits, head + 28, 2);
    uint64_t table[256];  // red | green << 8 | blue << 16 of each colour-table entry
    for (int i = 0; i < 256; i++)
      table[i] =
          uint64_t(head[56 + 4 * i]) | uint64_t(head[55 + 4 * i]) << 8 | uint64_t(head[54 + 4 * i]) << 16;
    std::fseek(file, long(offset), SEEK_SET);
    uint8_t* out = static_cast<uint8_t*>(std::malloc(size_t(SIZE) * SIZE * 3));
    if (bits == 24) {
      if (std::fread(out, size_t(SIZE) * 3, SIZE, file) != SIZE) state.SkipWithError("short read");
    } else {
      uint8_t* o = out;
      for (size_t y = 0; y < SIZE; y += ROWS_AT_ONCE) {
        if (std::fread(rows.data(), SIZE, ROWS_AT_ONCE, file) != ROWS_AT_ONCE)
          state.SkipWithError("short read");
        for (size_t x = 0; x < rows.size(); x += 4, o += 12) {
          const uint64_t low = table[rows[x]] | table[rows[x + 1]] << 24 | table[rows[x + 2]] << 48;
          const uint32_t high = uint32_t(table[rows[x + 2]] >> 16 | table[rows[x + 3]] << 8);
          std::memcpy(o, &low, 8);
          std::memcpy(o + 8, &high, 4);
        }
      }
    }
    std::fclose(file);
    benchmark::DoNotOptimize(out);
    benchmark::ClobberMemory();
    std::free(out);
  }
  state.SetBytesProcessed(state.iterations() * int64_t(SIZE) * SIZE * 3);
}

}  // namespace

BENCHMARK_CAPTURE(ourReader, true_color_1024, &trueColorPath)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(stbImage, true_color_1024, &trueColorPath)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(leastWork, true_color_1024, &trueColorPath)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ourReader, indexed_1024, &indexedPath)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(stbImage, indexed_1024, &indexedPath)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(leastWork, indexed_1024, &indexedPath)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  char pattern[] = "/tmp/picture_reader_bench.XXXXXX";
  if (!mkdtemp(pattern)) {
    std::perror("mkdtemp");
    return 1;
  }
  folder = pattern;
  trueColorPath = folder + "/true_color_1024.bmp";
  indexedPath = folder + "/indexed_1024.bmp";
  if (!writePicture(trueColorPath, 24) || !writePicture(indexedPath, 8)) {
    std::fprintf(stderr, "cannot write the benchmark pictures into %s\n", folder.c_str());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::remove(trueColorPath.c_str());
  std::remove(indexedPath.c_str());
  rmdir(folder.c_str());
  return 0;
}

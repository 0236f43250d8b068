// picture_reader_bench.cpp -- decoding speed of the picture reader (loadBmp) against
// stb_image as the peer and a plain read-and-copy of the file as the floor, on a
// 1024 x 1024 24-bit and a 1024 x 1024 8-bit picture that the benchmark writes into a
// temporary folder first. Each decoder allocates its output anew on every iteration.
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

// The floor: the whole file read in one go and its pixel bytes copied to a new buffer.
void readAndCopy(benchmark::State& state, const std::string* path) {
  for (auto _ : state) {
    FILE* file = std::fopen(path->c_str(), "rb");
    std::fseek(file, 0, SEEK_END);
    size_t size = size_t(std::ftell(file));
    std::fseek(file, 0, SEEK_SET);
    uint8_t* bytes = static_cast<uint8_t*>(std::malloc(size));
    if (std::fread(bytes, 1, size, file) != size) state.SkipWithError("short read");
    std::fclose(file);
    uint32_t offset;
    std::memcpy(&offset, bytes + 10, 4);
    uint8_t* copy = static_cast<uint8_t*>(std::malloc(size - offset));
    std::memcpy(copy, bytes + offset, size - offset);
    benchmark::DoNotOptimize(copy);
    std::free(copy);
    std::free(bytes);
  }
  state.SetBytesProcessed(state.iterations() * int64_t(SIZE) * SIZE * 3);
}

}  // namespace

BENCHMARK_CAPTURE(ourReader, true_color_1024, &trueColorPath)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(stbImage, true_color_1024, &trueColorPath)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(readAndCopy, true_color_1024, &trueColorPath)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ourReader, indexed_1024, &indexedPath)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(stbImage, indexed_1024, &indexedPath)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(readAndCopy, indexed_1024, &indexedPath)->Unit(benchmark::kMicrosecond);

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

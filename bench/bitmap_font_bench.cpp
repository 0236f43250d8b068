// bitmap_font_bench.cpp -- decoding a bitmap font's 512 x 512 four-channel picture, raw
// and run-length encoded, against the floor of plainly reading the same file into
// memory. Throughput is counted in bytes of the file, so decode and read of one file
// compare directly; the picture is the Sans Bold glyph sheet made at build time.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "font/bitmap_font.h"
#include "tools/common/bitmap_font_writer.h"

namespace fw = bitmap_font_writer;

namespace {

const std::string kSourceFont = std::string(ZARNOK_ASSET_DIR) + "/fonts/sans_bold_rgba_raw.bitmap_font";

struct BenchFiles {
  std::string raw, packed;
  bool ready = false;
};

// The sheet as two font files, raw and run-length encoded, in the temp folder.
const BenchFiles& benchFiles() {
  static BenchFiles files = [] {
    BenchFiles made;
    FILE* file = std::fopen(kSourceFont.c_str(), "rb");
    if (!file) return made;
    std::fseek(file, BITMAP_FONT_IMAGE_OFFSET, SEEK_SET);
    int32_t width = 0, height = 0, channels = 0;
    std::unique_ptr<uint8_t[]> pixels = decodeFontImage(file, &width, &height, &channels);
    std::fclose(file);
    if (!pixels || width != 512 || height != 512 || channels != 4) return made;
    fw::PlanarPicture picture(width, height, 4);
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++)
        for (int z = 0; z < 4; z++) picture.at(x, y, z) = pixels[(size_t(y) * width + x) * 4 + z];
    fw::GlyphBox glyphs[256];
    made.raw = "/tmp/bitmap_font_bench_raw";
    made.packed = "/tmp/bitmap_font_bench_packed";
    made.ready = fw::writeFileBytes(made.raw,
                                    fw::encodeFontFile("bench", glyphs, fw::encodePicture(picture, false))) &&
                 fw::writeFileBytes(made.packed,
                                    fw::encodeFontFile("bench", glyphs, fw::encodePicture(picture, true)));
    return made;
  }();
  return files;
}

const std::string* fileFor(benchmark::State& state) {
  const BenchFiles& files = benchFiles();
  if (!files.ready) {
    state.SkipWithError(("cannot make the bench fonts from " + kSourceFont).c_str());
    return nullptr;
  }
  return state.range(0) ? &files.packed : &files.raw;
}

long fileSize(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return 0;
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fclose(file);
  return size;
}

void label(benchmark::State& state, const std::string& path) {
  state.SetLabel(std::string(state.range(0) ? "run-length" : "raw") + ", " + std::to_string(fileSize(path)) +
                 " bytes");
  state.SetBytesProcessed(int64_t(state.iterations()) * fileSize(path));
  state.counters["pixels"] =
      benchmark::Counter(double(state.iterations()) * 512 * 512, benchmark::Counter::kIsRate);
}

// Floor: the whole file read into memory, nothing decoded.
void BM_PlainRead(benchmark::State& state) {
  const std::string* path = fileFor(state);
  if (!path) return;
  std::vector<uint8_t> buffer(size_t(fileSize(*path)));
  for (auto _ : state) {
    FILE* file = std::fopen(path->c_str(), "rb");
    const size_t read = std::fread(buffer.data(), 1, buffer.size(), file);
    std::fclose(file);
    benchmark::DoNotOptimize(read);
    benchmark::ClobberMemory();
  }
  label(state, *path);
}

void BM_DecodeFontImage(benchmark::State& state) {
  const std::string* path = fileFor(state);
  if (!path) return;
  for (auto _ : state) {
    FILE* file = std::fopen(path->c_str(), "rb");
    std::fseek(file, BITMAP_FONT_IMAGE_OFFSET, SEEK_SET);
    int32_t width, height, channels;
    std::unique_ptr<uint8_t[]> pixels = decodeFontImage(file, &width, &height, &channels);
    std::fclose(file);
    if (!pixels) {
      state.SkipWithError("the picture did not decode");
      return;
    }
    benchmark::DoNotOptimize(pixels.get());
  }
  label(state, *path);
}

}  // namespace

BENCHMARK(BM_PlainRead)->Arg(0)->Arg(1);
BENCHMARK(BM_DecodeFontImage)->Arg(0)->Arg(1);

BENCHMARK_MAIN();

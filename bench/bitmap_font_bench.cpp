// bitmap_font_bench.cpp -- decoding a bitmap font's 512 x 512 four-channel picture, raw
// and run-length encoded, against a floor: the least work the format asks for, done in
// memory (the file read in one go, the runs of each row expanded with memset and
// memcpy, the four planes interleaved into red, green, blue, alpha pixels). Both are
// credited with the bytes of the decoded picture, 512 x 512 x 4, so they compare
// directly; the label gives the file's size. The picture is the Sans Bold glyph sheet
// made at build time.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
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
  state.SetBytesProcessed(int64_t(state.iterations()) * 512 * 512 * 4);
  state.counters["pixels"] =
      benchmark::Counter(double(state.iterations()) * 512 * 512, benchmark::Counter::kIsRate);
}

uint32_t bigEndian32(const uint8_t* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | p[2] << 8 | p[3];
}

// Floor: the whole file read into a buffer kept from call to call, each row of each
// plane found (run-length: expanded into one row buffer), and the planes interleaved
// into a newly allocated picture.
void BM_LeastWork(benchmark::State& state) {
  const std::string* path = fileFor(state);
  if (!path) return;
  constexpr size_t W = 512, H = 512, C = 4;
  std::vector<uint8_t> buffer(size_t(fileSize(*path)));
  std::vector<uint8_t> expanded(W * H * C);  // run-length: the planes, expanded
  for (auto _ : state) {
    FILE* file = std::fopen(path->c_str(), "rb");
    const size_t read = std::fread(buffer.data(), 1, buffer.size(), file);
    std::fclose(file);
    const uint8_t* image = buffer.data() + BITMAP_FONT_IMAGE_OFFSET;
    const uint8_t* planes = image + 512;
    if (read != buffer.size()) state.SkipWithError("short read");
    if (image[2] == 1) {
      for (size_t row = 0; row < H * C; row++) {
        const uint8_t* in = image + bigEndian32(image + 512 + 4 * row);
        uint8_t* out = expanded.data() + row * W;
        for (uint8_t control = *in++; control & 0x7F; control = *in++) {
          const size_t n = control & 0x7F;
          if (control & 0x80) {
            std::memcpy(out, in, n);
            in += n;
          } else {
            std::memset(out, *in++, n);
          }
          out += n;
        }
      }
      planes = expanded.data();
    }
    std::unique_ptr<uint8_t[]> pixels(new uint8_t[W * H * C]);
    for (size_t i = 0; i < W * H; i++) {
      const uint32_t rgba = uint32_t(planes[i]) | uint32_t(planes[W * H + i]) << 8 |
                            uint32_t(planes[2 * W * H + i]) << 16 | uint32_t(planes[3 * W * H + i]) << 24;
      std::memcpy(&pixels[4 * i], &rgba, 4);
    }
    benchmark::DoNotOptimize(pixels.get());
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

BENCHMARK(BM_LeastWork)->Arg(0)->Arg(1);
BENCHMARK(BM_DecodeFontImage)->Arg(0)->Arg(1);

BENCHMARK_MAIN();

// icon_maker.cpp -- draws the game's desktop icon: the player's block, banked into a
// turn, on a sandy ground under a warm sky, with a rocking block behind it. Writes a
// square RGBA PNG of the size given (through libpng).
//   icon_maker OUT.png [SIZE]
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

struct Rgba {
  float r, g, b, a;
};

static Rgba mix(Rgba a, Rgba b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// Is (x, y) inside the square of half-size h centred at (cx, cy), turned by angle?
static bool insideTurnedSquare(float x, float y, float cx, float cy, float h, float angle) {
  float c = std::cos(angle), s = std::sin(angle);
  float dx = x - cx, dy = y - cy;
  float u = dx * c + dy * s, v = -dx * s + dy * c;
  return std::fabs(u) <= h && std::fabs(v) <= h;
}

int main(int argc, char** argv) {
  for (int i = 1; i < argc; i++) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::printf(
          "usage: icon_maker OUT.png [SIZE]\n"
          "Draws the game's desktop icon into OUT.png, SIZE pixels square (16 to 1024, default 128).\n");
      return 0;
    }
    if (argv[i][0] == '-') {
      std::fprintf(stderr, "icon_maker: unknown option %s (see --help)\n", argv[i]);
      return 2;
    }
  }
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "icon_maker: give OUT.png and at most a SIZE (see --help)\n");
    return 2;
  }
  char* end = nullptr;
  const long size = argc > 2 ? std::strtol(argv[2], &end, 10) : 128;
  if ((argc > 2 && *end != 0) || size < 16 || size > 1024) {
    std::fprintf(stderr, "icon_maker: SIZE must be a whole number from 16 to 1024 (see --help)\n");
    return 2;
  }
  const Rgba sky = {0.98f, 0.78f, 0.45f, 1}, skyTop = {0.55f, 0.70f, 0.90f, 1};
  const Rgba sand = {0.86f, 0.72f, 0.48f, 1}, sandDark = {0.66f, 0.50f, 0.30f, 1};
  const Rgba block = {0.20f, 0.55f, 0.85f, 1}, blockEdge = {0.08f, 0.20f, 0.40f, 1};
  const Rgba rock = {0.75f, 0.25f, 0.20f, 1};
  const int samples = 4;  // supersampling per axis, for smooth edges

  std::vector<uint8_t> pixels(size_t(size) * size_t(size) * 4);
  for (int py = 0; py < size; py++) {
    for (int px = 0; px < size; px++) {
      Rgba sum = {0, 0, 0, 0};
      for (int sy = 0; sy < samples; sy++) {
        for (int sx = 0; sx < samples; sx++) {
          // u, v in 0..1, v = 0 at the bottom.
          float u = (px + (sx + 0.5f) / samples) / size;
          float v = (py + (sy + 0.5f) / samples) / size;
          Rgba c;
          // Rounded-corner tile: transparent outside.
          float cu = std::fabs(u - 0.5f), cv = std::fabs(v - 0.5f);
          float corner = std::hypot(std::fmax(cu - 0.38f, 0.0f), std::fmax(cv - 0.38f, 0.0f));
          if (corner > 0.1f) {
            c = {0, 0, 0, 0};
          } else if (v > 0.45f) {
            c = mix(sky, skyTop, (v - 0.45f) / 0.55f);
          } else {
            // Ground with stripes converging on the horizon.
            float depth = (0.45f - v) / 0.45f;
            float stripe = std::sin((u - 0.5f) / (depth + 0.05f) * 18.0f);
            c = mix(sand, sandDark, stripe > 0.6f ? 0.35f : 0.0f);
          }
          if (c.a > 0 && insideTurnedSquare(u, v, 0.72f, 0.52f, 0.08f, 0.35f)) c = rock;
          if (c.a > 0 && insideTurnedSquare(u, v, 0.45f, 0.30f, 0.17f, -0.25f)) {
            c = insideTurnedSquare(u, v, 0.45f, 0.30f, 0.14f, -0.25f) ? block : blockEdge;
          }
          sum.r += c.r * c.a;
          sum.g += c.g * c.a;
          sum.b += c.b * c.a;
          sum.a += c.a;
        }
      }
      uint8_t* p = &pixels[(size_t(py) * size_t(size) + size_t(px)) * 4];
      float n = float(samples * samples);
      float a = sum.a / n;
      p[0] = uint8_t(a > 0 ? std::lround(255 * sum.r / sum.a) : 0);
      p[1] = uint8_t(a > 0 ? std::lround(255 * sum.g / sum.a) : 0);
      p[2] = uint8_t(a > 0 ? std::lround(255 * sum.b / sum.a) : 0);
      p[3] = uint8_t(std::lround(255 * a));
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(size);
  image.height = png_uint_32(size);
  image.format = PNG_FORMAT_RGBA;
  // A negative row stride: the rows above run bottom first, the file holds them top first.
  if (!png_image_write_to_file(&image, argv[1], 0, pixels.data(), -int(size) * 4, nullptr)) {
    std::fprintf(stderr, "icon_maker: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}

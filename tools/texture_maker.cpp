// texture_maker.cpp -- makes the game's ten texture pictures from procedural noise and
// patterns: the sand ground (tiles seamlessly), the desert horizon of the back wall,
// the six block faces and the two dark boards behind the clock and the best time.
// Writes uncompressed Windows bitmap files, 24-bit or 8-bit with a 256-entry colour
// table, bottom row first, widths multiples of 4.
//
// Usage: texture_maker OUTPUT_DIR
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/folder_argument.h"

namespace {

// What --help prints.
constexpr char USAGE[] =
    "usage: texture_maker OUTPUT_DIR\n"
    "Makes the game's ten texture pictures (terrain_texture.bmp, wallpaper.bmp, c_1.bmp to\nc_6.bmp, "
    "BG_Time.bmp, BG_Record.bmp) in the existing folder OUTPUT_DIR.\n";

constexpr float PI = 3.14159265f;

struct Rgb {
  float r, g, b;  // 0..1
};

Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
Rgb mix(Rgb a, Rgb b, float t) { return a * (1 - t) + b * t; }
float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }
float smoothstep(float a, float b, float x) {
  float t = clamp01((x - a) / (b - a));
  return t * t * (3 - 2 * t);
}

// A true-colour picture, top row first (flipped when written).
struct Picture {
  int width, height;
  std::vector<Rgb> pixels;
  Picture(int w, int h) : width(w), height(h), pixels(size_t(w) * size_t(h), Rgb{0, 0, 0}) {}
  Rgb& at(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// A picture of colour-table indices, top row first.
struct IndexedPicture {
  int width, height;
  std::vector<uint8_t> indices;
  Rgb palette[256];
  IndexedPicture(int w, int h) : width(w), height(h), indices(size_t(w) * size_t(h), 0) {}
  uint8_t& at(int x, int y) { return indices[size_t(y) * size_t(width) + size_t(x)]; }
};

// ---- noise -------------------------------------------------------------------------

uint32_t hash(int x, int y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return h ^ (h >> 16);
}

float hash01(int x, int y, uint32_t seed) { return float(hash(x, y, seed) & 0xffffff) / 16777215.0f; }

int wrap(int v, int period) { return ((v % period) + period) % period; }

// Value noise on an integer lattice that repeats every `period` cells.
float valueNoise(float x, float y, int period, uint32_t seed) {
  int x0 = int(std::floor(x)), y0 = int(std::floor(y));
  float fx = x - float(x0), fy = y - float(y0);
  fx = fx * fx * fx * (fx * (fx * 6 - 15) + 10);
  fy = fy * fy * fy * (fy * (fy * 6 - 15) + 10);
  int xa = wrap(x0, period), xb = wrap(x0 + 1, period);
  int ya = wrap(y0, period), yb = wrap(y0 + 1, period);
  float top = hash01(xa, ya, seed) * (1 - fx) + hash01(xb, ya, seed) * fx;
  float bottom = hash01(xa, yb, seed) * (1 - fx) + hash01(xb, yb, seed) * fx;
  return top * (1 - fy) + bottom * fy;
}

// Fractal noise over the unit square (u, v in [0, 1)) that tiles seamlessly: octave o
// has period << o cells across the square. Result in 0..1.
float fbm(float u, float v, int period, int octaves, uint32_t seed) {
  float sum = 0, amplitude = 0.5f, norm = 0;
  for (int o = 0; o < octaves; o++) {
    int p = period << o;
    sum += amplitude * valueNoise(u * float(p), v * float(p), p, seed + uint32_t(o) * 101u);
    norm += amplitude;
    amplitude *= 0.5f;
  }
  return sum / norm;
}

// Per-pixel grain in -1..1.
float grain(int x, int y, uint32_t seed) { return hash01(x, y, seed) * 2 - 1; }

// Shading of a bevelled rectangle: > 0 near its top and left edges, < 0 near its
// bottom and right edges, 0 inside. d* are distances in pixels to each edge.
float bevel(float dLeft, float dTop, float dRight, float dBottom, float size) {
  float light = std::max(1 - std::min(dLeft, dTop) / size, 0.0f);
  float dark = std::max(1 - std::min(dRight, dBottom) / size, 0.0f);
  return light - dark;
}

// ---- files -------------------------------------------------------------------------

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xffff);
  put16(out, v >> 16);
}

uint8_t toByte(float v) { return uint8_t(std::lround(clamp01(v) * 255.0f)); }

// Writes a bitmap file; rowBytes(y, dst) fills the bytes of picture row y (0 = top).
template <typename RowWriter>
bool writeBitmap(const std::string& path, int width, int height, int bitsPerPixel, const Rgb* palette,
                 RowWriter rowBytes) {
  uint32_t paletteBytes = bitsPerPixel == 8 ? 1024 : 0;
  uint32_t stride = (uint32_t(width) * uint32_t(bitsPerPixel / 8) + 3) & ~3u;
  uint32_t offset = 54 + paletteBytes;
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  put32(out, offset + stride * uint32_t(height));
  put32(out, 0);
  put32(out, offset);
  put32(out, 40);
  put32(out, uint32_t(width));
  put32(out, uint32_t(height));
  put16(out, 1);
  put16(out, uint32_t(bitsPerPixel));
  put32(out, 0);                          // uncompressed
  put32(out, stride * uint32_t(height));  // image size
  put32(out, 2835);                       // 72 dpi
  put32(out, 2835);
  put32(out, bitsPerPixel == 8 ? 256 : 0);
  put32(out, 0);
  for (uint32_t i = 0; i < paletteBytes / 4; i++) {
    out.push_back(toByte(palette[i].b));
    out.push_back(toByte(palette[i].g));
    out.push_back(toByte(palette[i].r));
    out.push_back(0);
  }
  std::vector<uint8_t> row(stride, 0);
  for (int y = height - 1; y >= 0; y--) {
    rowBytes(y, row.data());
    out.insert(out.end(), row.begin(), row.end());
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(out.data(), 1, out.size(), file) == out.size();
  return std::fclose(file) == 0 && ok;
}

bool save(const std::string& path, Picture& picture) {
  return writeBitmap(path, picture.width, picture.height, 24, nullptr, [&](int y, uint8_t* dst) {
    for (int x = 0; x < picture.width; x++) {
      Rgb c = picture.at(x, y);
      dst[3 * x] = toByte(c.b);
      dst[3 * x + 1] = toByte(c.g);
      dst[3 * x + 2] = toByte(c.r);
    }
  });
}

bool save(const std::string& path, IndexedPicture& picture) {
  return writeBitmap(path, picture.width, picture.height, 8, picture.palette, [&](int y, uint8_t* dst) {
    for (int x = 0; x < picture.width; x++) dst[x] = picture.at(x, y);
  });
}

// ---- the pictures ------------------------------------------------------------------

// Wind-rippled sand; every term repeats over the square so the ground tiles.
Picture makeGround() {
  const int size = 256;
  Picture p(size, size);
  const Rgb dark = {0.60f, 0.45f, 0.27f}, mid = {0.82f, 0.68f, 0.46f}, light = {0.97f, 0.89f, 0.70f};
  for (int y = 0; y < size; y++)
    for (int x = 0; x < size; x++) {
      float u = float(x) / size, v = float(y) / size;
      float warp = fbm(u, v, 3, 4, 11);
      float phase = 12 * v + 1.6f * warp + 0.12f * std::sin(2 * PI * 2 * u);
      // Ripples with a steep lee side: a skewed wave, bright crests, dark troughs.
      float s = phase - std::floor(phase);
      float ripple = s < 0.7f ? s / 0.7f : (1 - s) / 0.3f;
      ripple = ripple * ripple * (3 - 2 * ripple);
      float patches = fbm(u, v, 2, 3, 23);
      float t = 0.25f + 0.45f * ripple + 0.5f * (patches - 0.5f);
      Rgb c = t < 0.5f ? mix(dark, mid, clamp01(t * 2)) : mix(mid, light, clamp01(t * 2 - 1));
      c = c * (1 + 0.05f * grain(x, y, 5));
      if (hash01(x, y, 77) < 0.004f) c = c * 0.8f;  // scattered darker grains
      p.at(x, y) = c;
    }
  return p;
}

// A desert horizon: sky with a low sun, three ranges of dunes fading into the haze.
Picture makeWall() {
  const int width = 512, height = 128;
  Picture p(width, height);
  const Rgb skyTop = {0.38f, 0.58f, 0.82f}, haze = {0.93f, 0.86f, 0.70f};
  const Rgb sand = {0.88f, 0.66f, 0.42f};
  const float sunX = 0.68f * width, sunY = 0.40f * height;
  struct Range {
    float base, amplitude, waves, hazeMix;
    uint32_t seed;
  } ranges[3] = {{0.60f, 0.12f, 3, 0.55f, 31}, {0.72f, 0.13f, 4, 0.28f, 47}, {0.86f, 0.10f, 2, 0.0f, 59}};
  // Height of a range's crest line (0 = top of the picture): rounded humps with a
  // steeper face, roughened by noise.
  auto ridge = [&](const Range& r, float u) {
    float phase = u * r.waves + hash01(int(r.seed), 0, 1);
    float s = phase - std::floor(phase);
    float hump = s < 0.65f ? std::sin(PI * 0.5f * s / 0.65f) : std::cos(PI * 0.5f * (s - 0.65f) / 0.35f);
    return r.base - r.amplitude * (0.75f * hump + 0.25f * fbm(u, 0.37f, 4, 3, r.seed));
  };
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      float u = float(x) / width, h = float(y) / height;
      Rgb c = mix(skyTop, haze, smoothstep(0.0f, 0.62f, h));
      float dx = float(x) - sunX, dy = float(y) - sunY;
      float d = std::sqrt(dx * dx + dy * dy);
      c = c + Rgb{1.0f, 0.85f, 0.6f} * (0.35f * std::exp(-d / 40.0f));
      if (d < 9) c = mix(c, Rgb{1.2f, 1.2f, 1.15f}, smoothstep(9.0f, 7.0f, d));
      for (const Range& r : ranges) {
        float top = ridge(r, u);
        if (h < top) continue;
        // The sun stands to the right: faces that slope down to the right are lit.
        float slope = (ridge(r, u + 1.0f / width) - ridge(r, u - 1.0f / width)) * width * 0.5f / height;
        float light = 0.88f + 0.22f * std::max(-1.0f, std::min(1.0f, slope * 6));
        float below = (h - top) * height;  // pixels under the crest
        light += 0.12f * std::exp(-below / 2.5f);
        light *= 1 - 0.1f * clamp01(below / 30);
        float ripples = 0.5f + 0.5f * std::sin(below * 1.3f + 6 * fbm(u, h, 8, 2, r.seed + 5));
        Rgb dune = sand * (light * (1 + 0.04f * (ripples - 0.5f) * clamp01(below / 6)));
        c = mix(dune, haze, r.hazeMix);
      }
      p.at(x, y) = c * (1 + 0.015f * grain(x, y, 3));
    }
  return p;
}

const int BLOCK = 128;  // block faces are BLOCK x BLOCK

// A wooden crate: frame boards, horizontal planks, a diagonal brace and nails.
Picture makeCrate() {
  Picture p(BLOCK, BLOCK);
  const Rgb darkWood = {0.42f, 0.24f, 0.10f}, lightWood = {0.82f, 0.55f, 0.27f};
  const int frame = 14;
  auto wood = [&](float along, float across, uint32_t seed) {
    float g = fbm(along * 0.25f, across, 1, 4, seed);
    float rings = 0.5f + 0.5f * std::sin(across * 2 * PI * 9 + g * 10);
    return mix(darkWood, lightWood, 0.35f + 0.35f * rings + 0.3f * (g - 0.5f));
  };
  for (int y = 0; y < BLOCK; y++)
    for (int x = 0; x < BLOCK; x++) {
      float u = float(x) / BLOCK, v = float(y) / BLOCK;
      Rgb c;
      float shade;
      bool onFrame = x < frame || y < frame || x >= BLOCK - frame || y >= BLOCK - frame;
      // The brace runs from the bottom-left to the top-right inner corner.
      float braceDistance = std::fabs(float(x) - float(BLOCK - 1 - y)) / std::sqrt(2.0f);
      if (onFrame) {
        bool vertical = (x < frame || x >= BLOCK - frame) && !(y < frame || y >= BLOCK - frame);
        c = vertical ? wood(v, u * 3, 101) : wood(u, v * 3, 103);
        c = c * 0.85f;
        float dl = float(x < frame ? x : x >= BLOCK - frame ? x - (BLOCK - frame) : 99);
        float dr = float(x < frame ? frame - 1 - x : x >= BLOCK - frame ? BLOCK - 1 - x : 99);
        float dt = float(y < frame ? y : y >= BLOCK - frame ? y - (BLOCK - frame) : 99);
        float db = float(y < frame ? frame - 1 - y : y >= BLOCK - frame ? BLOCK - 1 - y : 99);
        shade = bevel(dl, dt, dr, db, 3);
      } else if (braceDistance < 9) {
        c = wood(u + v, (float(x) + float(BLOCK - 1 - y)) / BLOCK * 0.5f, 107) * 0.95f;
        shade = braceDistance > 7.5f ? -0.8f : braceDistance > 6.5f ? 0.4f : 0;
      } else {
        const int plank = (BLOCK - 2 * frame) / 4;
        int inY = y - frame, index = inY / plank, inPlank = inY % plank;
        c = wood(u, v * 2 + float(index) * 0.37f, 110 + uint32_t(index));
        shade = inPlank < 2 ? -0.9f : bevel(99, float(inPlank - 2), 99, float(plank - 1 - inPlank), 3);
        c = c * (1 + 0.08f * (hash01(index, 0, 9) - 0.5f));
      }
      c = c * (1 + 0.25f * shade);
      // Nails near each corner of the frame.
      for (int cy : {frame / 2, BLOCK - 1 - frame / 2})
        for (int cx : {frame / 2, BLOCK - 1 - frame / 2}) {
          float dx = float(x - cx), dy = float(y - cy), d = std::sqrt(dx * dx + dy * dy);
          if (d < 2.6f) c = Rgb{0.25f, 0.24f, 0.23f} * (1.3f - 0.3f * (dx + dy) / 2.6f);
        }
      p.at(x, y) = c * (1 + 0.03f * grain(x, y, 13));
    }
  return p;
}

// Grey-blue stone bricks in running bond with pale mortar.
Picture makeStone() {
  Picture p(BLOCK, BLOCK);
  const int brickHeight = 32, brickWidth = 64, mortar = 3;
  const Rgb mortarColor = {0.72f, 0.69f, 0.62f};
  for (int y = 0; y < BLOCK; y++)
    for (int x = 0; x < BLOCK; x++) {
      int row = y / brickHeight, shifted = x + (row % 2) * (brickWidth / 2);
      int column = (shifted / brickWidth) % (BLOCK / brickWidth);
      int bx = shifted % brickWidth, by = y % brickHeight;
      Rgb c;
      if (bx < mortar || by < mortar) {
        c = mortarColor * (0.9f + 0.2f * fbm(float(x) / BLOCK, float(y) / BLOCK, 8, 2, 3));
      } else {
        float tint = hash01(row, column, 21);
        Rgb stone = mix(Rgb{0.42f, 0.44f, 0.48f}, Rgb{0.62f, 0.62f, 0.64f}, tint);
        float n = fbm(float(x) / BLOCK, float(y) / BLOCK, 4, 5, 37 + uint32_t(row * 7 + column));
        c = stone * (0.75f + 0.5f * n);
        c = c * (1 + 0.3f * bevel(float(bx - mortar), float(by - mortar), float(brickWidth - 1 - bx),
                                  float(brickHeight - 1 - by), 4));
      }
      p.at(x, y) = c * (1 + 0.06f * grain(x, y, 17));
    }
  return p;
}

// Steel-blue plates, four to a face, with seams, brushed streaks and rivets.
Picture makeMetal() {
  Picture p(BLOCK, BLOCK);
  const int plate = BLOCK / 2;
  const Rgb steel = {0.30f, 0.46f, 0.72f};
  for (int y = 0; y < BLOCK; y++)
    for (int x = 0; x < BLOCK; x++) {
      int px = x % plate, py = y % plate;
      float brushed = valueNoise(float(x) / BLOCK * 3, float(y) / BLOCK * 64, 64, 41 + uint32_t(x / plate));
      Rgb c = steel * (0.85f + 0.3f * brushed);
      c = c * (1 + 0.18f * (1 - float(py) / plate) - 0.09f);
      if (px < 2 || py < 2) {
        c = Rgb{0.08f, 0.10f, 0.16f};
      } else {
        c = c * (1 + 0.35f * bevel(float(px - 2), float(py - 2), float(plate - 1 - px), float(plate - 1 - py),
                                   3));
        // Four rivets along each edge of the plate, 6 pixels in; the corners share theirs.
        const int near = 6, far = plate - 1 - near, step = (far - near) / 3;
        for (int k = near; k <= far; k += step)
          for (auto [rx, ry] : {std::pair<int, int>{k, near}, {k, far}, {near, k}, {far, k}}) {
            float dx = float(px - rx), dy = float(py - ry), d = std::sqrt(dx * dx + dy * dy);
            if (d < 3.2f)
              c = Rgb{0.62f, 0.70f, 0.85f} * (1.05f - 0.25f * (dx + dy) / 3.2f);
            else if (d < 4.2f && dx + dy > 0)
              c = c * 0.6f;  // shadow below right
          }
      }
      p.at(x, y) = c;
    }
  return p;
}

// Yellow and black hazard stripes in a dark frame, worn with grime (colour table).
IndexedPicture makeStripes() {
  IndexedPicture p(BLOCK, BLOCK);
  // Indices 0..127: black to worn grey; 128..255: dark ochre to bright yellow.
  for (int i = 0; i < 128; i++) {
    float t = float(i) / 127;
    p.palette[i] = mix(Rgb{0.04f, 0.04f, 0.04f}, Rgb{0.38f, 0.36f, 0.33f}, t);
    p.palette[128 + i] = mix(Rgb{0.42f, 0.30f, 0.02f}, Rgb{1.0f, 0.86f, 0.12f}, t);
  }
  const int frame = 8;
  for (int y = 0; y < BLOCK; y++)
    for (int x = 0; x < BLOCK; x++) {
      float u = float(x) / BLOCK, v = float(y) / BLOCK;
      float grime = fbm(u, v, 4, 5, 61);
      float shade = 0.85f - 0.6f * std::max(0.0f, grime - 0.45f) + 0.08f * grain(x, y, 19);
      bool onFrame = x < frame || y < frame || x >= BLOCK - frame || y >= BLOCK - frame;
      int base;
      if (onFrame) {
        base = 0;
        shade = 0.55f +
                0.4f * bevel(float(std::min(x, y)), float(std::min(x, y)), float(BLOCK - 1 - std::max(x, y)),
                             float(BLOCK - 1 - std::max(x, y)), 3) +
                0.1f * grain(x, y, 23);
      } else {
        base = ((x + y) / 22) % 2 == 0 ? 128 : 0;
        if (base == 0) shade *= 0.35f;
      }
      if (hash01(x, y, 29) < 0.01f) shade *= 0.6f;  // scratches
      p.at(x, y) = uint8_t(base + int(clamp01(shade) * 127));
    }
  return p;
}

// Emerald glazed tiles with pale grout and a glossy highlight on each tile.
Picture makeTiles() {
  Picture p(BLOCK, BLOCK);
  const int tile = 32, grout = 2;
  for (int y = 0; y < BLOCK; y++)
    for (int x = 0; x < BLOCK; x++) {
      int tx = x % tile, ty = y % tile;
      Rgb c;
      if (tx < grout || ty < grout) {
        c = Rgb{0.80f, 0.78f, 0.70f} * (0.9f + 0.1f * grain(x, y, 31));
      } else {
        float tint = hash01(x / tile, y / tile, 43);
        c = mix(Rgb{0.06f, 0.45f, 0.28f}, Rgb{0.14f, 0.62f, 0.40f}, tint);
        float gx = float(tx - grout) / (tile - grout), gy = float(ty - grout) / (tile - grout);
        c = c * (1.15f - 0.3f * (gx + gy) * 0.5f);
        float hx = gx - 0.3f, hy = gy - 0.28f;
        c = c + Rgb{0.5f, 0.6f, 0.55f} * (0.35f * std::exp(-(hx * hx + hy * hy) * 40));
        c = c * (1 + 0.25f * bevel(float(tx - grout), float(ty - grout), float(tile - 1 - tx),
                                   float(tile - 1 - ty), 3));
        c = c * (1 + 0.05f * (fbm(float(x) / BLOCK, float(y) / BLOCK, 8, 3, 47) - 0.5f));
      }
      p.at(x, y) = c;
    }
  return p;
}

// Violet marble with pale veins in a bevelled rim.
Picture makeMarble() {
  Picture p(BLOCK, BLOCK);
  for (int y = 0; y < BLOCK; y++)
    for (int x = 0; x < BLOCK; x++) {
      float u = float(x) / BLOCK, v = float(y) / BLOCK;
      float turbulence = fbm(u, v, 3, 5, 53);
      float veins = std::fabs(std::sin(2 * PI * (u + 2 * v + 2.5f * turbulence)));
      float vein = std::pow(1 - veins, 6.0f);
      Rgb c = mix(Rgb{0.30f, 0.08f, 0.38f}, Rgb{0.55f, 0.22f, 0.62f}, fbm(u, v, 4, 4, 59));
      c = mix(c, Rgb{0.92f, 0.80f, 0.96f}, vein);
      c = c * (1 + 0.3f * bevel(float(x), float(y), float(BLOCK - 1 - x), float(BLOCK - 1 - y), 6));
      p.at(x, y) = c * (1 + 0.03f * grain(x, y, 37));
    }
  return p;
}

// A dark panel in a bronze frame with corner screws (colour table). Text is drawn
// over the panel by the game.
IndexedPicture makeBoard(int width, int height, uint32_t seed) {
  IndexedPicture p(width, height);
  // Indices 0..159: panel, near black to slate; 160..255: frame, dark to bright bronze.
  for (int i = 0; i < 160; i++)
    p.palette[i] = mix(Rgb{0.03f, 0.04f, 0.07f}, Rgb{0.24f, 0.28f, 0.36f}, float(i) / 159);
  for (int i = 0; i < 96; i++)
    p.palette[160 + i] = mix(Rgb{0.22f, 0.14f, 0.05f}, Rgb{0.96f, 0.80f, 0.44f}, float(i) / 95);
  const int frame = 8;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      int dl = x, dt = y, dr = width - 1 - x, db = height - 1 - y;
      int edge = std::min(std::min(dl, dr), std::min(dt, db));
      if (edge < frame) {
        float shade = 0.55f + 0.12f * grain(x, y, seed);
        if (edge < 2)
          shade += (dl == edge || dt == edge) ? 0.35f : -0.35f;  // outer bevel
        else if (edge >= frame - 2)
          shade += (dl == edge || dt == edge) ? -0.3f : 0.3f;  // inner lip
        for (int cy : {frame / 2, height - 1 - frame / 2})
          for (int cx : {frame / 2, width - 1 - frame / 2}) {
            float dx = float(x - cx), dy = float(y - cy), d = std::sqrt(dx * dx + dy * dy);
            if (d < 2.5f) shade = 0.95f - 0.3f * (dx + dy) / 2.5f;
          }
        p.at(x, y) = uint8_t(160 + int(clamp01(shade) * 95));
      } else {
        float v = float(y) / height;
        float shade = 0.55f - 0.3f * v;                                // lighter at the top
        shade -= 0.35f * std::max(0.0f, 1 - float(edge - frame) / 6);  // shadow under the frame
        if (y % 4 == 0) shade -= 0.06f;                                // faint scan lines
        shade += 0.08f * (fbm(float(x) / width, v, 6, 3, seed + 1) - 0.5f) + 0.04f * grain(x, y, seed + 2);
        p.at(x, y) = uint8_t(int(clamp01(shade) * 159));
      }
    }
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  if (const int status = checkFolderArgument(argc, argv, "texture_maker", "OUTPUT_DIR", USAGE); status >= 0)
    return status;
  std::string dir = std::string(argv[1]) + "/";
  Picture ground = makeGround(), wall = makeWall();
  Picture crate = makeCrate(), stone = makeStone(), metal = makeMetal(), tiles = makeTiles(),
          marble = makeMarble();
  IndexedPicture stripes = makeStripes();
  IndexedPicture timeBoard = makeBoard(160, 128, 71), recordBoard = makeBoard(280, 128, 79);
  bool ok = save(dir + "terrain_texture.bmp", ground) && save(dir + "wallpaper.bmp", wall) &&
            save(dir + "c_1.bmp", crate) && save(dir + "c_2.bmp", stone) && save(dir + "c_3.bmp", metal) &&
            save(dir + "c_4.bmp", stripes) && save(dir + "c_5.bmp", tiles) && save(dir + "c_6.bmp", marble) &&
            save(dir + "BG_Time.bmp", timeBoard) && save(dir + "BG_Record.bmp", recordBoard);
  if (!ok) {
    std::fprintf(stderr, "texture_maker: cannot write the textures into %s\n", argv[1]);
    return 1;
  }
  return 0;
}

// vector_font_bench.cpp -- our vector fonts against FTGL's polygon fonts (the peer),
// both made from the same TrueType font and drawn in the same headless Mesa context:
// loading the game's font (ours: the compiled file; FTGL: opening the TrueType font
// and making the glyphs of the printable characters), and drawing the title screen's
// three strings at their places and sizes under the game's projection, glFinish
// included. FTGL draws without display lists: its display-list path crashes in this
// Mesa's software renderer.
#include <FTGL/ftgl.h>
#include <GL/gl.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "font/font_library.h"
#include "platform/headless/headless_gl.h"

namespace {

constexpr int kWidth = 1024, kHeight = 768;

// The process's one headless context, with the title screen's projection.
std::string makeContext() {
  if (std::string error = makeHeadlessGlContext(kWidth, kHeight); !error.empty()) return error;
  glViewport(0, 0, kWidth, kHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60.0, double(kWidth) / kHeight, 0.1, 500.0);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  return "";
}

const std::string& contextError() {
  static const std::string error = makeContext();
  return error;
}

// The title screen's strings with their places and sizes.
struct TitleString {
  const char* text;
  float x, y, z, scaleX, scaleY, scaleZ;
};
constexpr TitleString kTitleStrings[] = {
    {"Zarnok!", -3.55f, 3.0f, -10, 1.7f, 1.7f, 1.5f},
    {"Press Any Key", -2.9f, -2.6f, -10, 0.5f, 0.5f, 0.5f},
    {"- Trelvisk -", -0.65f, -1.6f, -3, 0.05f, 0.05f, 1},
};

const char kPrintable[] =
    " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~";

// FTGL's polygon font at a face size of 72 units to the em, made ready for the
// printable characters.
std::unique_ptr<FTPolygonFont> openPeerFont() {
  auto font = std::make_unique<FTPolygonFont>(ZARNOK_GAME_FONT_SOURCE);
  if (font->Error()) return nullptr;
  font->UseDisplayList(false);
  font->FaceSize(72);
  font->Advance(kPrintable);
  return font;
}

void BM_LoadFont_Ours(benchmark::State& state) {
  for (auto _ : state) {
    const int slot = loadFont(ZARNOK_GAME_FONT);
    if (slot < 0) {
      state.SkipWithError("cannot load " ZARNOK_GAME_FONT);
      break;
    }
    unloadFont(slot);
  }
}

void BM_LoadFont_FTGL(benchmark::State& state) {
  if (!contextError().empty()) state.SkipWithError(contextError().c_str());
  for (auto _ : state) {
    auto font = openPeerFont();
    if (!font) {
      state.SkipWithError("FTGL cannot open " ZARNOK_GAME_FONT_SOURCE);
      break;
    }
    benchmark::DoNotOptimize(font.get());
  }
}

void BM_DrawTitleScreen_Ours(benchmark::State& state) {
  if (!contextError().empty()) {
    state.SkipWithError(contextError().c_str());
    return;
  }
  const int slot = loadFont(ZARNOK_GAME_FONT);
  if (slot < 0) {
    state.SkipWithError("cannot load " ZARNOK_GAME_FONT);
    return;
  }
  setDirection(DIRECTION_RIGHT);
  for (auto _ : state) {
    for (const TitleString& s : kTitleStrings) {
      glPushMatrix();
      glTranslatef(s.x, s.y, s.z);
      glScalef(s.scaleX, s.scaleY, s.scaleZ);
      drawString(s.text);
      glPopMatrix();
    }
    glFinish();
  }
  unloadFont(slot);
}

void BM_DrawTitleScreen_FTGL(benchmark::State& state) {
  if (!contextError().empty()) {
    state.SkipWithError(contextError().c_str());
    return;
  }
  auto font = openPeerFont();
  if (!font) {
    state.SkipWithError("FTGL cannot open " ZARNOK_GAME_FONT_SOURCE);
    return;
  }
  // Our cell is 2 units from the font's descender to its ascender; scale FTGL's
  // glyphs to the same size, and start them where our first glyph's cell starts.
  const float toCell = 2.0f / (font->Ascender() - font->Descender());
  for (auto _ : state) {
    for (const TitleString& s : kTitleStrings) {
      glPushMatrix();
      glTranslatef(s.x - s.scaleX, s.y, s.z);
      glScalef(s.scaleX * toCell, s.scaleY * toCell, s.scaleZ * toCell);
      font->Render(s.text);
      glPopMatrix();
    }
    glFinish();
  }
}

}  // namespace

BENCHMARK(BM_LoadFont_Ours)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadFont_FTGL)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawTitleScreen_Ours)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawTitleScreen_FTGL)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();

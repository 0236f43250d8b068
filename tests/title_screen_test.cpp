// title_screen_test.cpp -- drawText in the real Mesa context under the game's
// projection and render state, seen through GL feedback: which texts are drawn on each
// screen, in which colours, where each row starts and how many triangles it has (so
// the formatted times are the right strings), the random title colour, the matrix it
// leaves, and how the font is loaded frame after frame until the registry is full.
#include "render/title_screen.h"

#include <GL/glu.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstdlib>

#include "font/font_library.h"
#include "game/game_state.h"
#include "render/scene.h"
#include "tests/support/gl_context.h"
#include "tests/vector_font_test_files.h"

namespace {

// One row of text as drawText places it, in eye coordinates.
struct Row {
  const char* text;
  float x, y, z, scaleX, scaleY;
};
const Row kCredit = {"- Trelvisk -", -0.65f, -1.6f, -3, 0.05f, 0.05f};
const Row kTitle = {"Zarnok!", -3.55f, 3.0f, -10, 1.7f, 1.7f};
const Row kPrompt = {"Press Any Key", -2.9f, -2.6f, -10, 0.5f, 0.5f};

// The window position of a point given in eye coordinates.
std::pair<double, double> project(float x, float y, float z) {
  const double model[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  double projection[16], windowX, windowY, windowZ;
  GLint viewport[4];
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  gluProject(x, y, z, model, projection, viewport, &windowX, &windowY, &windowZ);
  return {windowX, windowY};
}

// Triangles the game font has for a text.
int triangleCount(const char* text) {
  const VectorFont& font = *fontRegistry.fonts[getCurrentFont()];
  int count = 0;
  for (const char* p = text; *p; p++) {
    const VectorGlyph* glyph = font.symbols[static_cast<unsigned char>(*p)].get();
    if (*p != ' ' && glyph) count += glyph->facetCount;
  }
  return count;
}

// Checks that the polygons of one colour form the given rows: each polygon lies in
// the window box of one row, every row has its text's triangles, and its left edge is
// where the first glyph's cell starts. Returns the window centre x of each row.
std::vector<double> expectRows(const std::vector<FeedbackItem>& polygons, const float* colour,
                               const std::vector<Row>& rows) {
  std::vector<int> counts(rows.size(), 0);
  std::vector<double> lefts(rows.size(), 1e9), rights(rows.size(), -1e9), centres;
  for (const FeedbackItem& polygon : polygons) {
    const FeedbackVertex& first = polygon.vertices[0];
    if (first.r != colour[0] || first.g != colour[1] || first.b != colour[2]) continue;
    size_t i = 0;
    for (; i < rows.size(); i++) {
      const Row& r = rows[i];
      float minX, minY, maxX, maxY;
      getCurrentStringBounds(r.text, &minX, &minY, &maxX, &maxY);
      const auto [left, bottom] = project(r.x - r.scaleX, r.y - r.scaleY, r.z);
      const auto [right, top] = project(r.x + r.scaleX * (maxX - minX), r.y + r.scaleY, r.z);
      bool inside = true;
      for (const FeedbackVertex& v : polygon.vertices)
        inside &= v.x >= left - 0.5 && v.x <= right + 0.5 && v.y >= bottom - 0.5 && v.y <= top + 0.5;
      if (inside) break;
    }
    if (i == rows.size()) {
      ADD_FAILURE() << "a triangle outside every row, at " << first.x << ", " << first.y;
      continue;
    }
    counts[i]++;
    for (const FeedbackVertex& v : polygon.vertices) {
      lefts[i] = std::min(lefts[i], double(v.x));
      rights[i] = std::max(rights[i], double(v.x));
    }
  }
  for (size_t i = 0; i < rows.size(); i++) {
    EXPECT_EQ(counts[i], triangleCount(rows[i].text)) << rows[i].text;
    EXPECT_NEAR(lefts[i], project(rows[i].x - rows[i].scaleX, rows[i].y, rows[i].z).first, 0.5)
        << rows[i].text;
    centres.push_back((lefts[i] + rights[i]) / 2);
  }
  return centres;
}

// The credit line's transform stays on the matrix, untextured, writing to the right.
void expectCreditTransformLeft() {
  float matrix[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
  const float expected[16] = {0.05f, 0, 0, 0, 0, 0.05f, 0, 0, 0, 0, 1, 0, -0.65f, -1.6f, -3, 1};
  for (int i = 0; i < 16; i++) EXPECT_FLOAT_EQ(matrix[i], expected[i]) << i;
  GLint texture = -1;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
  EXPECT_EQ(texture, 0);
  EXPECT_EQ(getDirection(), DIRECTION_RIGHT);
}

// Captures drawText's polygons with rand seeded so that a title drawn now is yellow
// (unlike the white texts); checks that it took `draws` random numbers and that every
// glyph triangle faces the camera.
std::vector<FeedbackItem> captureText(int draws) {
  unsigned seed = 1;
  while (std::srand(seed), std::rand() % PALETTE_SIZE != 4) seed++;
  std::srand(seed);
  const auto items = captureFeedback(drawText);
  const int after = std::rand();
  std::srand(seed);
  for (int i = 0; i < draws; i++) std::rand();
  EXPECT_EQ(after, std::rand()) << "not " << draws << " random number(s) a frame";
  EXPECT_TRUE(linesOf(items).empty());
  return polygonsOf(items);
}

class TitleScreenTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    ASSERT_EQ(chdir(ZARNOK_ASSET_DIR), 0);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(60.0, double(kWidth) / kHeight, 0.1, 500.0);
    glMatrixMode(GL_MODELVIEW);
    setupRenderState();
    resetFontRegistry();
  }
  void TearDown() override {
    resetFontRegistry();
    restoreInitialGameState();
  }
};

TEST_F(TitleScreenTest, DrawsTheTitleInARandomColourThePromptAndTheCredit) {
  isPlaying = false;
  promptVisible = true;
  auto polygons = captureText(1);
  const auto title = expectRows(polygons, palette[4], {kTitle});
  const auto white = expectRows(polygons, palette[7], {kPrompt, kCredit});
  expectCreditTransformLeft();
  // The title and the prompt sit roughly in the middle of the window.
  EXPECT_NEAR(title[0], kWidth / 2, 30);
  EXPECT_NEAR(white[0], kWidth / 2, 30);

  promptVisible = false;
  polygons = captureText(1);
  expectRows(polygons, palette[4], {kTitle});
  expectRows(polygons, palette[7], {kCredit});
}

TEST_F(TitleScreenTest, HeadUpDisplayWritesTheTimesWithOneDecimalInBlack) {
  isPlaying = true;
  elapsedTime = 12.34f;
  bestTime = 0;
  const auto polygons = captureText(0);
  for (const FeedbackItem& p : polygons) EXPECT_EQ(p.vertices[0].r + p.vertices[0].g + p.vertices[0].b, 0.0f);
  // Over the time board (x -0.3..0.3) and the record board (x -2.25..-1.2).
  expectRows(polygons, palette[0],
             {{"Time", -0.05f, 1.6f, -3, 0.05f, 0.05f},
              {"12.3", -0.13f, 1.4f, -3, 0.11f, 0.18f},
              {"-Best Time-", -1.97f, 1.6f, -3, 0.05f, 0.05f},
              {"0.0", -1.96f, 1.4f, -3, 0.13f, 0.18f},
              {"sec.", -1.41f, 1.33f, -3, 0.07f, 0.07f},
              kCredit});
  expectCreditTransformLeft();
}

TEST_F(TitleScreenTest, LoadsTheFontTwiceAFrameUntilTheRegistryIsFull) {
  const int inotify = inotify_init1(IN_NONBLOCK);
  ASSERT_GE(inotify, 0);
  ASSERT_GE(inotify_add_watch(inotify, GAME_FONT_PATH, IN_OPEN), 0) << "no game font in " ZARNOK_ASSET_DIR;
  auto opened = [&] {
    alignas(inotify_event) char buffer[4096];
    bool any = false;
    while (read(inotify, buffer, sizeof buffer) > 0) any = true;
    return any;
  };
  isPlaying = false;
  for (int frame = 1; frame <= 128; frame++) {
    drawText();
    ASSERT_EQ(getCurrentFont(), 2 * frame - 1);
  }
  EXPECT_TRUE(opened());
  for (int frame = 0; frame < 2; frame++) EXPECT_FALSE(polygonsOf(captureFeedback(drawText)).empty());
  EXPECT_FALSE(opened()) << "a full registry must not read the font again";
  EXPECT_EQ(getCurrentFont(), 255);
  close(inotify);
}

TEST_F(TitleScreenTest, DrawsNothingWithoutTheFont) {
  ASSERT_EQ(chdir(testFolder().c_str()), 0);
  for (bool playing : {false, true}) {
    isPlaying = playing;
    EXPECT_TRUE(captureFeedback(drawText).empty());
  }
  EXPECT_EQ(fontRegistry.fonts[0], nullptr);
}

}  // namespace

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
#include <cstring>

#include "font/font_library.h"
#include "game/game_state.h"
#include "render/scene.h"
#include "tests/support/gl_context.h"
#include "tests/vector_font_test_files.h"

namespace {

// One row of text as drawText places it.
struct Row {
  const char* text;
  float x, y, z, scaleX, scaleY;
};

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

  // The window position of a point given in eye coordinates.
  static void project(float x, float y, float z, double* windowX, double* windowY) {
    double model[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, projection[16], windowZ;
    GLint viewport[4];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluProject(x, y, z, model, projection, viewport, windowX, windowY, &windowZ);
  }

  // Triangles the game font has for a text.
  static int triangleCount(const char* text) {
    const VectorFont& font = *fontRegistry.fonts[getCurrentFont()];
    int count = 0;
    for (const char* p = text; *p; p++) {
      const VectorGlyph* glyph = font.symbols[static_cast<unsigned char>(*p)].get();
      if (*p != ' ' && glyph) count += glyph->facetCount;
    }
    return count;
  }

  // Checks that the polygons of one colour form the given rows: each polygon lies in
  // the window band of exactly one row, every row has its text's triangles, and its
  // left edge is where the first glyph's cell starts. Returns the window centre x of
  // each row's triangles.
  static std::vector<double> expectRows(const std::vector<FeedbackItem>& polygons, const float* colour,
                                        const std::vector<Row>& rows) {
    std::vector<int> counts(rows.size(), 0);
    std::vector<double> lefts(rows.size(), 1e9), rights(rows.size(), -1e9), centres;
    for (const FeedbackItem& polygon : polygons) {
      const FeedbackVertex& first = polygon.vertices[0];
      if (first.r != colour[0] || first.g != colour[1] || first.b != colour[2]) continue;
      int found = -1;
      for (size_t i = 0; i < rows.size() && found < 0; i++) {
        double left, bottom, right, top;
        project(rows[i].x - rows[i].scaleX, rows[i].y - rows[i].scaleY, rows[i].z, &left, &bottom);
        float minX, minY, maxX, maxY;
        getCurrentStringBounds(rows[i].text, &minX, &minY, &maxX, &maxY);
        project(rows[i].x + rows[i].scaleX * (maxX - minX), rows[i].y + rows[i].scaleY, rows[i].z, &right,
                &top);
        bool inside = true;
        for (const FeedbackVertex& v : polygon.vertices) {
          inside &= v.x >= left - 0.5 && v.x <= right + 0.5 && v.y >= bottom - 0.5 && v.y <= top + 0.5;
        }
        if (inside) found = int(i);
      }
      EXPECT_GE(found, 0) << "a triangle outside every row, at " << first.x << ", " << first.y;
      if (found < 0) continue;
      counts[found]++;
      for (const FeedbackVertex& v : polygon.vertices) {
        lefts[found] = std::min(lefts[found], double(v.x));
        rights[found] = std::max(rights[found], double(v.x));
      }
    }
    for (size_t i = 0; i < rows.size(); i++) {
      SCOPED_TRACE(rows[i].text);
      EXPECT_EQ(counts[i], triangleCount(rows[i].text));
      double expectedLeft, unused;
      project(rows[i].x - rows[i].scaleX, rows[i].y, rows[i].z, &expectedLeft, &unused);
      EXPECT_NEAR(lefts[i], expectedLeft, 0.5);
      centres.push_back((lefts[i] + rights[i]) / 2);
    }
    return centres;
  }

  static void expectCreditTransformLeft() {
    float matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    const float expected[16] = {0.05f, 0, 0, 0, 0, 0.05f, 0, 0, 0, 0, 1, 0, -0.65f, -1.6f, -3, 1};
    for (int i = 0; i < 16; i++) EXPECT_FLOAT_EQ(matrix[i], expected[i]) << i;
    GLint texture = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    EXPECT_EQ(texture, 0);
    EXPECT_EQ(getDirection(), DIRECTION_RIGHT);
  }
};

const Row kCredit = {"- Trelvisk -", -0.65f, -1.6f, -3, 0.05f, 0.05f};

const Row kTitle = {"Zarnok!", -3.55f, 3.0f, -10, 1.7f, 1.7f};
const Row kPrompt = {"Press Any Key", -2.9f, -2.6f, -10, 0.5f, 0.5f};

// Seeds rand so that the next title frame draws in yellow, unlike the white texts,
// and returns the number that follows the one the frame takes.
int seedForYellowTitle() {
  unsigned seed = 1;
  for (;; seed++) {
    std::srand(seed);
    if (std::rand() % PALETTE_SIZE == 4) break;
  }
  const int next = std::rand();
  std::srand(seed);
  return next;
}

TEST_F(TitleScreenTest, DrawsTheTitleInARandomColourThePromptAndTheCredit) {
  isPlaying = false;
  promptVisible = true;
  const int next = seedForYellowTitle();
  auto items = captureFeedback(drawText);
  EXPECT_EQ(std::rand(), next) << "one random number per title frame";
  EXPECT_TRUE(linesOf(items).empty()) << "every glyph triangle faces the camera";
  const auto polygons = polygonsOf(items);
  const auto title = expectRows(polygons, palette[4], {kTitle});
  const auto white = expectRows(polygons, palette[7], {kPrompt, kCredit});
  expectCreditTransformLeft();
  // The title and the prompt sit roughly in the middle of the window.
  EXPECT_NEAR(title[0], kWidth / 2, 30);
  EXPECT_NEAR(white[0], kWidth / 2, 30);

  promptVisible = false;
  seedForYellowTitle();
  const auto withoutPrompt = polygonsOf(captureFeedback(drawText));
  expectRows(withoutPrompt, palette[4], {kTitle});
  expectRows(withoutPrompt, palette[7], {kCredit});
}

TEST_F(TitleScreenTest, HeadUpDisplayWritesTheTimesWithOneDecimalInBlack) {
  isPlaying = true;
  elapsedTime = 12.34f;
  bestTime = 0;
  std::srand(5);
  const int next = std::rand();
  std::srand(5);
  const auto items = captureFeedback(drawText);
  EXPECT_EQ(std::rand(), next) << "the head-up display takes no random number";
  EXPECT_TRUE(linesOf(items).empty());
  const auto polygons = polygonsOf(items);
  for (const FeedbackItem& p : polygons) EXPECT_EQ(p.vertices[0].r + p.vertices[0].g + p.vertices[0].b, 0.0f);
  expectRows(polygons, palette[0],
             {{"Time", -0.05f, 1.6f, -3, 0.05f, 0.05f},
              {"12.3", -0.13f, 1.4f, -3, 0.11f, 0.18f},
              {"-Best Time-", -1.97f, 1.6f, -3, 0.05f, 0.05f},
              {"0.0", -1.96f, 1.4f, -3, 0.13f, 0.18f},
              {"sec.", -1.41f, 1.33f, -3, 0.07f, 0.07f},
              kCredit});
  expectCreditTransformLeft();

  // The texts stand over their boards: the time board spans x -0.3..0.3 and the
  // record board -2.25..-1.2, both y 1.2..1.68, at z = -3.
  double boardLeft, boardBottom, boardRight, boardTop, recordLeft, recordRight;
  project(-0.3f, 1.2f, -3, &boardLeft, &boardBottom);
  project(0.3f, 1.68f, -3, &boardRight, &boardTop);
  project(-2.25f, 1.2f, -3, &recordLeft, &boardBottom);
  project(-1.2f, 1.68f, -3, &recordRight, &boardTop);
  elapsedTime = 99.9f;
  bestTime = 99.9f;
  for (const FeedbackItem& p : polygonsOf(captureFeedback(drawText))) {
    for (const FeedbackVertex& v : p.vertices) {
      if (v.y < boardBottom - 50) continue;  // the credit line
      EXPECT_TRUE((v.x > boardLeft && v.x < boardRight) || (v.x > recordLeft && v.x < recordRight)) << v.x;
      EXPECT_TRUE(v.y > boardBottom && v.y < boardTop) << v.y;
    }
  }
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
  for (int frame = 0; frame < 2; frame++) {
    const auto polygons = polygonsOf(captureFeedback(drawText));
    EXPECT_FALSE(polygons.empty());
  }
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

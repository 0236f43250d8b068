// vector_font_layout_test.cpp -- string layout and flat glyph drawing in the real Mesa
// context, seen through GL feedback and a drawer that records its model-view matrix.
#include <GL/gl.h>

#include "font/font_library.h"
#include "tests/support/gl_context.h"
#include "tests/vector_font_test_files.h"

namespace {

// {left, right, bottom, top} of what items drew, in units of the projection set in SetUp.
std::vector<float> boxOf(const std::vector<FeedbackItem>& items) {
  std::vector<float> box = {1e9f, -1e9f, 1e9f, -1e9f};
  for (const FeedbackItem& item : items)
    for (const FeedbackVertex& v : item.vertices) {
      const float x = v.x / 32 - 16, y = v.y / 32 - 12;
      box = {std::min(box[0], x), std::max(box[1], x), std::min(box[2], y), std::max(box[3], y)};
    }
  return box;
}
void expectNear(const std::vector<float>& actual, const std::vector<float>& expected,
                const std::string& what = "") {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (size_t i = 0; i < actual.size(); i++)
    EXPECT_NEAR(actual[i], expected[i], 1e-3) << what << " [" << i << "]";
}

// One drawer call: its code, its origin, and what drawSolidGlyph drew there.
struct Placed {
  unsigned char code;
  float x, y;
  std::vector<FeedbackItem> drawn;
};
std::vector<Placed> placed;
void placingDrawer(unsigned char code) {
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  placed.push_back({code, m[12], m[13], {}});
  glPassThrough(float(placed.size()));
  drawSolidGlyph(code);
}

// Captures draw, sorts what it drew into placed, and checks the matrix was kept.
std::vector<FeedbackItem> capture(const std::function<void()>& draw) {
  placed.clear();
  float before[16], after[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, before);
  auto items = captureFeedback(draw);
  glGetFloatv(GL_MODELVIEW_MATRIX, after);
  EXPECT_TRUE(std::equal(before, before + 16, after)) << "model-view matrix changed";
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  size_t call = 0;
  for (const FeedbackItem& item : items) {
    if (item.kind == FeedbackItem::PassThrough) call = size_t(item.token);
    if (item.kind == FeedbackItem::Polygon && call > 0) placed[call - 1].drawn.push_back(item);
  }
  return items;
}

class VectorFontLayoutTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    glMatrixMode(GL_PROJECTION);
    glOrtho(-16, 16, -12, 12, -1, 1);  // 32 pixels per unit
    glMatrixMode(GL_MODELVIEW);
    const std::vector<TestGlyph> glyphs = {
        rectangleGlyph('A', -0.8f, 0.7f, -0.5f, 0.9f),
        rectangleGlyph('B', -0.6f, 0.3f, -0.7f, 0.4f),
        rectangleGlyph(' ', -1, 1, -1, 1),
        {'T', {{-1, 1}, {1, -1}, {0.5f, 0.5f}}, {0, 1, 2}, {2}},
        {'O', {{0, 0}, {1, 0}, {1, 1}, {2, 2}, {3, 2}, {3, 3}}, {0, 1, 2}, {2, 5}},  // two contours
        {'S', {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 2}, {3, 2}}, {}, {3, 1, 5}}};     // stray contour ends
    ASSERT_EQ(loadFont(writeTestFile("layout.font", fontFileBytes(glyphs)).c_str()), 0);
    setDirection(DIRECTION_RIGHT);
  }
  void TearDown() override { resetFontRegistry(); }
};

TEST_F(VectorFontLayoutTest, PlacesGlyphsInEveryDirectionWithSpacesMissingGlyphsRotationAndCentring) {
  constexpr int32_t R = DIRECTION_RIGHT, L = DIRECTION_LEFT, U = DIRECTION_UP, D = DIRECTION_DOWN;
  struct Case {
    const char* text;
    int32_t direction, centered;
    float rotation;
    std::vector<float> origins;  // x, y of each character but spaces
    float space = 0.2f, spaceSize = 2, shift = 0;
  };
  const Case cases[] = {
      {"AB", R, 0, 0, {-0.2f, 0, 1.3f, 0}},  // A's left edge on its cell's, B 0.2 after A
      {"A B", R, 0, 0, {-0.2f, 0, 2, 0}},    // the font's glyph for a space is not used
      {" A", R, 0, 0, {2, 0}},
      {"A!B", R, 0, 0, {-0.2f, 0, -0.2f, 0, 1.8f, 0}},  // '!' has no glyph
      {"AB", R, 0, 90, {0, -0.2f, 0, 1.3f}},
      {"AB", L, 0, 0, {0.3f, 0, -1.0f, 0}},
      {"AB", U, 0, 0, {0, 0.5f, 0, 2.3f}},
      {"AB", D, 0, 0, {0, -0.1f, 0, -1.2f}},
      {"AB", R, 1, 0, {-0.75f, 0, 0.75f, 0}},
      {"AB", L, 1, 0, {-0.75f, 0, -2.05f, 0}},
      {"AB", U, 1, 0, {0, 0.8f, 0, 2.6f}},
      {"AB", D, 1, 0, {0, 0.8f, 0, -0.3f}},
      {"A B!", R, 1, 0, {-2.1f, 0, 0.1f, 0, 0.1f, 0}},  // length 0.2 + 2 + 0 + 2
      {"A B", R, 0, 0, {-0.2f, 0, 3.3f, 0}, 0.5f, 3},
      {"AB", R, 0, 0, {4.8f, 5, 6.3f, 5}, 0.2f, 2, 5},  // moved with the caller's matrix
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("case " + std::to_string(&c - cases));
    setDirection(c.direction);
    setCentering(c.centered);
    setRotation(c.rotation);
    setSymbolSpace(c.space);
    setSpaceSize(c.spaceSize);
    glLoadIdentity();
    glTranslatef(c.shift, c.shift, 0);
    capture([&c] { layoutString(c.text, placingDrawer); });
    std::string codes, expected = c.text;
    expected.erase(std::remove(expected.begin(), expected.end(), ' '), expected.end());
    for (const Placed& p : placed) codes += char(p.code);
    ASSERT_EQ(codes, expected);
    for (size_t i = 0; i < placed.size(); i++) {
      const float x = c.origins[2 * i], y = c.origins[2 * i + 1];
      expectNear({placed[i].x, placed[i].y}, {x, y}, "origin of " + std::to_string(i));
      const VectorGlyph* g = fontRegistry.fonts[0]->symbols[placed[i].code].get();
      EXPECT_TRUE(g || placed[i].drawn.empty()) << "no glyph, nothing drawn";
      if (!g) continue;
      expectNear(boxOf(placed[i].drawn),
                 c.rotation == 90 ? std::vector<float>{x - g->top, x - g->bottom, y + g->left, y + g->right}
                                  : std::vector<float>{x + g->left, x + g->right, y + g->bottom, y + g->top},
                 "box of " + std::to_string(i));
    }
  }
}

TEST_F(VectorFontLayoutTest, DrawsNothingWithoutTextFontOrDirectionAndKeepsTheCurrentFont) {
  const std::function<void()> draws[] = {
      [] { layoutString("", placingDrawer); },
      [] { layoutString(nullptr, placingDrawer); },
      [] { drawStringInFont(7, "AB"); },
      [] { drawStringInFont(-1, "AB"); },
      [] { drawStringInFont(300, "AB"); },
      [] { drawSolidGlyphInFont(7, 'A'); },
      [] { fontRegistry.direction = 0, layoutString("AB", placingDrawer), setDirection(DIRECTION_RIGHT); },
      [] { unloadCurrentFont(), drawString("AB"), drawSolidGlyph('A'), drawOutlineGlyph('A'); },
  };
  for (const auto& draw : draws) {
    EXPECT_TRUE(capture(draw).empty() && placed.empty()) << &draw - draws;
    EXPECT_EQ(getCurrentFont(), fontRegistry.fonts[0] ? 0 : -1);
  }

  ASSERT_EQ(loadFont(writeTestFile("other.font", fontFileBytes({rectangleGlyph('A', -1, 1, -1, 1)})).c_str()),
            0);
  ASSERT_EQ(loadFont(writeTestFile("empty.font", fontFileBytes({})).c_str()), 1);
  expectNear(boxOf(capture([] { drawStringInFont(0, "A"); })), {-1, 1, -1, 1});
  EXPECT_TRUE(capture([] { drawSolidGlyphInFont(0, 'B'); }).empty());
  EXPECT_EQ(getCurrentFont(), 1);
}

TEST_F(VectorFontLayoutTest, MapsTheCellOntoTextureCoordinatesOnlyWhenTexturing) {
  for (bool texturing : {false, true}) {
    texturing ? enableOption(OPTION_TEXTURING) : disableOption(OPTION_TEXTURING);
    glTexCoord2f(0.25f, 0.75f);
    auto polygons = polygonsOf(capture([] { drawSolidGlyph('T'); }));  // (-1, 1), (1, -1), (0.5, 0.5)
    ASSERT_EQ(polygons.size(), 1u);
    std::vector<float> st;
    for (const FeedbackVertex& v : polygons[0].vertices) st.insert(st.end(), {v.s, v.t});
    expectNear(st, texturing ? std::vector<float>{0, 1, 1, 0, 0.75f, 0.75f}
                             : std::vector<float>{0.25f, 0.75f, 0.25f, 0.75f, 0.25f, 0.75f});
  }
}

TEST_F(VectorFontLayoutTest, ContouringDrawsTheOutlineInItsColourAndRestoresTheColour) {
  glColor4f(0, 1, 0, 1);
  setContourColor(1, 0, 0.5f, 1);
  EXPECT_TRUE(linesOf(capture([] { drawSolidGlyph('A'); })).empty());
  enableOption(OPTION_CONTOURING);
  auto items = capture([] { drawString("A"); });
  ASSERT_EQ(polygonsOf(items).size(), 2u);
  ASSERT_EQ(linesOf(items).size(), 4u);  // one closed loop of four vertices
  for (const FeedbackItem& item : items) {
    const FeedbackVertex& v = item.vertices[0];
    expectNear({v.r, v.g, v.b}, item.kind == FeedbackItem::Polygon ? std::vector<float>{0, 1, 0}
                                                                   : std::vector<float>{1, 0, 0.5f});
  }
  expectNear(boxOf(linesOf(items)), {-1, 0.5f, -0.5f, 0.9f});
  float colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  expectNear({colour, colour + 4}, {0, 1, 0, 1});

  // Outlines: one loop per contour; contour ends 3, 1, 5 give loops 0..3 and 4..5 only.
  EXPECT_EQ(linesOf(capture([] { drawOutlineGlyph('O'); })).size(), 6u);
  EXPECT_EQ(linesOf(capture([] { drawOutlineGlyph('S'); })).size(), 6u);
}

TEST_F(VectorFontLayoutTest, MeasuresStringsForLeftToRightText) {
  auto bounds = [](int slot, const char* text) {
    std::vector<float> b(4, 99);
    slot == 0 ? getCurrentStringBounds(text, &b[0], &b[1], &b[2], &b[3])
              : getStringBounds(slot, text, &b[0], &b[1], &b[2], &b[3]);
    return b;
  };
  expectNear(bounds(0, ""), {0, 10, 0, -10});
  expectNear(bounds(0, "AB"), {-0.8f, -0.7f, -0.8f + 1.5f + 0.2f + 0.9f + 0.2f, 0.9f});  // a gap after each
  expectNear(bounds(0, " A!"),
             {-1, -0.5f, -1 + 2 + 1.7f + 2, 0.9f});  // the space glyph's left edge starts it
  for (int slot : {5, -1, 256}) expectNear(bounds(slot, "A"), {99, 99, 99, 99});
  std::vector<float> b(4, 99);
  getStringBounds(0, "A", &b[0], &b[1], &b[2], nullptr);  // max x is written only with max y
  expectNear(b, {-0.8f, -0.5f, 99, 99});
}

}  // namespace

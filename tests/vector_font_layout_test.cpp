// vector_font_layout_test.cpp -- string layout and solid/outline glyph drawing in the
// real Mesa context: where each glyph lands (seen through GL feedback and through a
// drawer that records the model-view matrix it is called under) for spaces, missing
// glyphs, rotation, the four directions with and without centring; texture
// coordinates, contouring colours, and string bounds.
#include <GL/gl.h>

#include <cmath>
#include <map>

#include "font/font_library.h"
#include "tests/support/gl_context.h"
#include "tests/vector_font_test_files.h"

namespace {

// A projection of 32 pixels per unit: x -16..16, y -12..12.
constexpr float kPixelsPerUnit = 32;
float unitX(const FeedbackVertex& v) { return v.x / kPixelsPerUnit - 16; }
float unitY(const FeedbackVertex& v) { return v.y / kPixelsPerUnit - 12; }

struct Box {
  float left = 1e9f, right = -1e9f, bottom = 1e9f, top = -1e9f;
  int polygons = 0;
  void add(const FeedbackVertex& v) {
    left = std::min(left, unitX(v));
    right = std::max(right, unitX(v));
    bottom = std::min(bottom, unitY(v));
    top = std::max(top, unitY(v));
  }
};

// A drawer that marks each glyph in the feedback stream with its code.
void markedSolidGlyph(unsigned char code) {
  glPassThrough(code);
  drawSolidGlyph(code);
}

// A drawer that records the code and the model-view matrix it is called under.
struct DrawerCall {
  unsigned char code;
  float matrix[16];
  float x() const { return matrix[12]; }
  float y() const { return matrix[13]; }
};
std::vector<DrawerCall> drawerCalls;
void recordingDrawer(unsigned char code) {
  DrawerCall call{code, {}};
  glGetFloatv(GL_MODELVIEW_MATRIX, call.matrix);
  drawerCalls.push_back(call);
}

class VectorFontLayoutTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    glMatrixMode(GL_PROJECTION);
    glOrtho(-16, 16, -12, 12, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    TestGlyph corner = {'T', {{-1, 1}, {1, -1}, {0.5f, 0.5f}}, {0, 1, 2}, {2}};
    TestGlyph rings = {'O', {{0, 0}, {1, 0}, {1, 1}, {2, 2}, {3, 2}, {3, 3}}, {0, 1, 2}, {2, 5}};
    TestGlyph strayEnds = {'S', {{0, 0}, {1, 0}, {1, 1}, {0, 1}, {2, 2}, {3, 2}}, {}, {3, 1, 5}};
    const std::string path = writeTestFile(
        "layout.font", fontFileBytes({rectangleGlyph('A', -0.8f, 0.7f, -0.5f, 0.9f),
                                      rectangleGlyph('B', -0.6f, 0.3f, -0.7f, 0.4f),
                                      rectangleGlyph(' ', -1, 1, -1, 1), corner, rings, strayEnds}));
    ASSERT_EQ(loadFont(path.c_str()), 0);
    setDirection(DIRECTION_RIGHT);
    drawerCalls.clear();
  }
  void TearDown() override { resetFontRegistry(); }

  // Draws text with a marking drawer and returns the box of each drawn glyph, by its
  // position in the text's drawn glyphs. Checks that the matrix is left unchanged.
  std::vector<std::pair<unsigned char, Box>> drawMarked(const char* text) {
    std::vector<std::pair<unsigned char, Box>> glyphs;
    auto items = captureFeedback([&] { checkMatrixKept([&] { layoutString(text, markedSolidGlyph); }); });
    for (const FeedbackItem& item : items) {
      if (item.kind == FeedbackItem::PassThrough) {
        glyphs.push_back({static_cast<unsigned char>(item.token), Box()});
      } else if (item.kind == FeedbackItem::Polygon && !glyphs.empty()) {
        glyphs.back().second.polygons++;
        for (const FeedbackVertex& v : item.vertices) glyphs.back().second.add(v);
      }
    }
    return glyphs;
  }

  void record(const char* text) {
    drawerCalls.clear();
    checkMatrixKept([&] { layoutString(text, recordingDrawer); });
  }

  static void checkMatrixKept(const std::function<void()>& draw) {
    float before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    draw();
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; i++) EXPECT_EQ(before[i], after[i]) << "model-view entry " << i;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  }

  static void expectBox(const Box& box, float left, float right, float bottom, float top) {
    EXPECT_NEAR(box.left, left, 1e-3);
    EXPECT_NEAR(box.right, right, 1e-3);
    EXPECT_NEAR(box.bottom, bottom, 1e-3);
    EXPECT_NEAR(box.top, top, 1e-3);
  }
};

TEST_F(VectorFontLayoutTest, PutsTheFirstGlyphAtTheCellEdgeAndTheNextOneAfterTheGap) {
  auto glyphs = drawMarked("AB");
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(glyphs[0].first, 'A');
  EXPECT_EQ(glyphs[0].second.polygons, 2);
  expectBox(glyphs[0].second, -1.0f, 0.5f, -0.5f, 0.9f);  // shifted by -0.2
  expectBox(glyphs[1].second, 0.7f, 1.6f, -0.7f, 0.4f);   // origin 1.5 further right

  // The whole string moves with the caller's matrix.
  glTranslatef(5, 3, 0);
  glyphs = drawMarked("AB");
  ASSERT_EQ(glyphs.size(), 2u);
  expectBox(glyphs[1].second, 5.7f, 6.6f, 2.3f, 3.4f);
}

TEST_F(VectorFontLayoutTest, SpacesAndMissingGlyphsMoveBySpaceSize) {
  record("A B");  // the font's own glyph for the space is never used
  ASSERT_EQ(drawerCalls.size(), 2u);
  EXPECT_NEAR(drawerCalls[0].x(), -0.2f, 1e-6);
  EXPECT_NEAR(drawerCalls[1].x(), 2.0f, 1e-6);  // 0.2 after A, then 2.0 for the space
  auto glyphs = drawMarked("A B");
  ASSERT_EQ(glyphs.size(), 2u);
  expectBox(glyphs[1].second, 1.4f, 2.3f, -0.7f, 0.4f);

  record(" A");  // a leading space: no start offset
  ASSERT_EQ(drawerCalls.size(), 1u);
  EXPECT_NEAR(drawerCalls[0].x(), 2.0f, 1e-6);

  record("A!B");  // '!' has no glyph: A does not move, '!' moves by the space size
  ASSERT_EQ(drawerCalls.size(), 3u);
  EXPECT_EQ(drawerCalls[1].code, '!');
  EXPECT_NEAR(drawerCalls[0].x(), -0.2f, 1e-6);
  EXPECT_NEAR(drawerCalls[1].x(), -0.2f, 1e-6);
  EXPECT_NEAR(drawerCalls[2].x(), 1.8f, 1e-6);
  glyphs = drawMarked("A!B");
  ASSERT_EQ(glyphs.size(), 3u);
  EXPECT_EQ(glyphs[1].second.polygons, 0);
  expectBox(glyphs[2].second, 1.2f, 2.1f, -0.7f, 0.4f);

  setSymbolSpace(0.5f);
  setSpaceSize(3);
  record("A B");
  ASSERT_EQ(drawerCalls.size(), 2u);
  EXPECT_NEAR(drawerCalls[1].x(), 3.3f, 1e-6);
}

TEST_F(VectorFontLayoutTest, RotationTurnsTheWholeString) {
  setRotation(90);
  record("AB");
  ASSERT_EQ(drawerCalls.size(), 2u);
  EXPECT_NEAR(drawerCalls[0].x(), 0, 1e-6);
  EXPECT_NEAR(drawerCalls[0].y(), -0.2f, 1e-6);
  EXPECT_NEAR(drawerCalls[1].y(), 1.3f, 1e-6);
  auto glyphs = drawMarked("AB");
  ASSERT_EQ(glyphs.size(), 2u);
  expectBox(glyphs[1].second, -0.4f, 0.7f, 0.7f, 1.6f);
}

TEST_F(VectorFontLayoutTest, OffsetsAndCentresInEveryDirection) {
  struct Case {
    int32_t direction;
    int centered;
    float ax, ay, bx, by;  // origins of A and B in "AB"
  };
  const Case cases[] = {
      {DIRECTION_RIGHT, 0, -0.2f, 0, 1.3f, 0},   {DIRECTION_LEFT, 0, 0.3f, 0, -1.0f, 0},
      {DIRECTION_UP, 0, 0, 0.5f, 0, 2.3f},       {DIRECTION_DOWN, 0, 0, -0.1f, 0, -1.2f},
      {DIRECTION_RIGHT, 1, -0.75f, 0, 0.75f, 0}, {DIRECTION_LEFT, 1, -0.75f, 0, -2.05f, 0},
      {DIRECTION_UP, 1, 0, 0.8f, 0, 2.6f},       {DIRECTION_DOWN, 1, 0, 0.8f, 0, -0.3f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("direction " + std::to_string(c.direction) + " centred " + std::to_string(c.centered));
    setDirection(c.direction);
    setCentering(c.centered);
    record("AB");
    ASSERT_EQ(drawerCalls.size(), 2u);
    EXPECT_NEAR(drawerCalls[0].x(), c.ax, 1e-6);
    EXPECT_NEAR(drawerCalls[0].y(), c.ay, 1e-6);
    EXPECT_NEAR(drawerCalls[1].x(), c.bx, 1e-6);
    EXPECT_NEAR(drawerCalls[1].y(), c.by, 1e-6);
    auto glyphs = drawMarked("AB");
    ASSERT_EQ(glyphs.size(), 2u);
    expectBox(glyphs[0].second, c.ax - 0.8f, c.ax + 0.7f, c.ay - 0.5f, c.ay + 0.9f);
  }

  // Centred with a space and a missing glyph: length 0.2 + 2 + 0 + 2 = 4.2.
  setDirection(DIRECTION_RIGHT);
  setCentering(1);
  record("A B!");
  ASSERT_EQ(drawerCalls.size(), 3u);
  EXPECT_NEAR(drawerCalls[0].x(), -2.1f, 1e-6);
  EXPECT_NEAR(drawerCalls[1].x(), 0.1f, 1e-6);
  EXPECT_NEAR(drawerCalls[2].x(), 0.1f, 1e-6);
}

TEST_F(VectorFontLayoutTest, DrawsNothingWithoutTextFontOrDirection) {
  auto expectNothing = [&](const std::function<void()>& draw, const char* what) {
    drawerCalls.clear();
    auto items = captureFeedback([&] { checkMatrixKept(draw); });
    EXPECT_TRUE(items.empty()) << what;
    EXPECT_TRUE(drawerCalls.empty()) << what;
  };
  expectNothing([] { layoutString("", recordingDrawer); }, "empty text");
  expectNothing([] { layoutString(nullptr, recordingDrawer); }, "null text");
  expectNothing([] { drawStringInFont(7, "AB"); }, "empty slot");
  expectNothing([] { drawStringInFont(-1, "AB"); }, "negative slot");
  expectNothing([] { drawStringInFont(300, "AB"); }, "slot beyond the registry");
  expectNothing([] { drawSolidGlyphInFont(7, 'A'); }, "glyph in an empty slot");
  EXPECT_EQ(getCurrentFont(), 0);

  fontRegistry.direction = 0;  // as at program start, before any setDirection
  expectNothing([] { layoutString("AB", recordingDrawer); }, "no direction");
  expectNothing([] { drawString("AB"); }, "no direction");
  setDirection(DIRECTION_RIGHT);

  selectFont(0);
  unloadCurrentFont();
  expectNothing([] { drawString("AB"); }, "no current font");
  expectNothing([] { drawSolidGlyph('A'); }, "no current font");
  expectNothing([] { drawOutlineGlyph('A'); }, "no current font");
}

TEST_F(VectorFontLayoutTest, DrawsInTheGivenFontAndRestoresTheCurrentOne) {
  const std::string other = writeTestFile("other.font", fontFileBytes({rectangleGlyph('A', -1, 1, -1, 1)}));
  ASSERT_EQ(loadFont(other.c_str()), 1);
  ASSERT_EQ(selectFont(0), 0);
  auto items = captureFeedback([] { drawStringInFont(1, "A"); });
  Box box;
  for (const FeedbackItem& item : polygonsOf(items)) {
    for (const FeedbackVertex& v : item.vertices) box.add(v);
  }
  expectBox(box, -1, 1, -1, 1);
  EXPECT_EQ(getCurrentFont(), 0);
  items = captureFeedback([] { drawSolidGlyphInFont(1, 'B'); });  // font 1 has no B
  EXPECT_TRUE(items.empty());
  EXPECT_EQ(getCurrentFont(), 0);
}

TEST_F(VectorFontLayoutTest, MapsTheCellOntoTextureCoordinatesWhenTexturing) {
  glTexCoord2f(0.25f, 0.75f);
  auto polygons = polygonsOf(captureFeedback([] { drawSolidGlyph('T'); }));
  ASSERT_EQ(polygons.size(), 1u);
  for (const FeedbackVertex& v : polygons[0].vertices) {
    EXPECT_FLOAT_EQ(v.s, 0.25f);
    EXPECT_FLOAT_EQ(v.t, 0.75f);
  }

  enableOption(OPTION_TEXTURING);
  polygons = polygonsOf(captureFeedback([] { drawSolidGlyph('T'); }));
  ASSERT_EQ(polygons.size(), 1u);
  std::map<std::pair<float, float>, std::pair<float, float>> texCoordAt;
  for (const FeedbackVertex& v : polygons[0].vertices) texCoordAt[{unitX(v), unitY(v)}] = {v.s, v.t};
  EXPECT_EQ(texCoordAt[std::make_pair(-1.0f, 1.0f)], std::make_pair(0.0f, 1.0f));
  EXPECT_EQ(texCoordAt[std::make_pair(1.0f, -1.0f)], std::make_pair(1.0f, 0.0f));
  EXPECT_EQ(texCoordAt[std::make_pair(0.5f, 0.5f)], std::make_pair(0.75f, 0.75f));
}

TEST_F(VectorFontLayoutTest, ContouringDrawsTheOutlineInItsColourAndRestoresTheColour) {
  glColor4f(0, 1, 0, 1);
  setContourColor(1, 0, 0.5f, 1);
  auto items = captureFeedback([] { drawSolidGlyph('A'); });
  EXPECT_TRUE(linesOf(items).empty());  // contouring is off

  enableOption(OPTION_CONTOURING);
  items = captureFeedback([] { drawString("A"); });
  auto polygons = polygonsOf(items);
  auto lines = linesOf(items);
  ASSERT_EQ(polygons.size(), 2u);
  ASSERT_EQ(lines.size(), 4u);  // one closed loop of four vertices
  for (const FeedbackItem& p : polygons) EXPECT_EQ(p.vertices[0].g, 1.0f);
  Box outline;
  for (const FeedbackItem& line : lines) {
    EXPECT_EQ(line.vertices[0].r, 1.0f);
    EXPECT_EQ(line.vertices[0].g, 0.0f);
    EXPECT_EQ(line.vertices[0].b, 0.5f);
    for (const FeedbackVertex& v : line.vertices) outline.add(v);
  }
  expectBox(outline, -1.0f, 0.5f, -0.5f, 0.9f);
  float colour[4];
  glGetFloatv(GL_CURRENT_COLOR, colour);
  EXPECT_EQ(colour[0], 0.0f);
  EXPECT_EQ(colour[1], 1.0f);
  EXPECT_EQ(colour[3], 1.0f);
}

TEST_F(VectorFontLayoutTest, OutlinesEachContourAsOneClosedLoop) {
  auto lines = linesOf(captureFeedback([] { drawOutlineGlyph('O'); }));
  ASSERT_EQ(lines.size(), 6u);  // two triangles' loops
  EXPECT_NEAR(unitX(lines[0].vertices[0]), 0, 1e-4);
  EXPECT_NEAR(unitX(lines[3].vertices[0]), 2, 1e-4);

  // Contour ends 3, 1, 5 over six vertices: 0..3, then 4..5 (its end is never
  // reached), and nothing more; no loop stays open.
  lines = linesOf(captureFeedback([] { drawOutlineGlyph('S'); }));
  EXPECT_EQ(lines.size(), 6u);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  glBegin(GL_LINES);
  glEnd();
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(VectorFontLayoutTest, MeasuresStringsForLeftToRightText) {
  float minX = 99, minY = 99, maxX = 99, maxY = 99;
  getStringBounds(0, "", &minX, &minY, &maxX, &maxY);
  EXPECT_EQ(minX, 0.0f);
  EXPECT_EQ(maxX, 0.0f);
  EXPECT_EQ(minY, 10.0f);
  EXPECT_EQ(maxY, -10.0f);

  getCurrentStringBounds("AB", &minX, &minY, &maxX, &maxY);
  EXPECT_FLOAT_EQ(minX, -0.8f);
  EXPECT_FLOAT_EQ(maxX, -0.8f + 1.5f + 0.2f + 0.9f + 0.2f);  // symbol space after both glyphs
  EXPECT_FLOAT_EQ(minY, -0.7f);
  EXPECT_FLOAT_EQ(maxY, 0.9f);

  getCurrentStringBounds(" A!", &minX, &minY, &maxX, &maxY);  // a space glyph still counts as a space
  EXPECT_FLOAT_EQ(minX, -1.0f);                               // but its left edge starts the string
  EXPECT_FLOAT_EQ(maxX, -1.0f + 2 + 1.7f + 2);

  float onlyMinX = 99, onlyMinY = 99, untouched = 99;
  getStringBounds(0, "A", &onlyMinX, &onlyMinY, &untouched, nullptr);
  EXPECT_FLOAT_EQ(onlyMinX, -0.8f);
  EXPECT_EQ(untouched, 99.0f);  // max x is written only with max y
  getStringBounds(5, "A", &untouched, &untouched, &untouched, &untouched);
  getStringBounds(-1, "A", &untouched, &untouched, &untouched, &untouched);
  EXPECT_EQ(untouched, 99.0f);
}

}  // namespace

// extruded_text_test.cpp -- outline, wireframe and solid prisms of vector glyphs, seen
// through GL feedback in a real Mesa context: the faces, walls and edges of a prism,
// the winding of its faces, its lighting normals, the contour overlay and the state
// it puts back, and the string and font-index members.
//
// The projection is an oblique parallel one, so that side walls do not collapse into
// lines on the screen and every window position can be turned back into the object
// position it came from.
#include "font/extruded_text.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "font/outline_text.h"
#include "tests/support/gl_context.h"
#include "tests/vector_font_test_files.h"

namespace {

struct Point {
  float x, y, z;
};

bool near(float a, float b) { return std::fabs(a - b) < 1e-3f; }
bool samePoint(const Point& a, const Point& b) { return near(a.x, b.x) && near(a.y, b.y) && near(a.z, b.z); }

// Object coordinates of a feedback vertex under the test's projection (below).
Point objectPoint(const FeedbackVertex& v) {
  const float z = 4 * (2 * v.z - 1);
  const float x = (v.x / (GlTest::kWidth / 2.0f) - 1 - 0.1f * z) / 0.25f;
  const float y = (v.y / (GlTest::kHeight / 2.0f) - 1 - 0.1f * z) / 0.25f;
  return {x, y, z};
}

std::vector<Point> pointsOf(const FeedbackItem& item) {
  std::vector<Point> points;
  for (const FeedbackVertex& v : item.vertices) points.push_back(objectPoint(v));
  return points;
}

// Twice the signed area of a polygon's projection onto the xy plane: positive when
// its corners run counter-clockwise seen from +z.
float signedArea(const std::vector<Point>& p) {
  float area = 0;
  for (size_t i = 0; i < p.size(); i++) {
    const Point& a = p[i];
    const Point& b = p[(i + 1) % p.size()];
    area += a.x * b.y - b.x * a.y;
  }
  return area;
}

bool allAtZ(const std::vector<Point>& p, float z) {
  return std::all_of(p.begin(), p.end(), [z](const Point& q) { return near(q.z, z); });
}

// A segment without direction, for comparing sets of edges.
struct Segment {
  Point a, b;
  bool operator==(const Segment& o) const {
    return (samePoint(a, o.a) && samePoint(b, o.b)) || (samePoint(a, o.b) && samePoint(b, o.a));
  }
};

std::vector<Segment> segmentsOf(const std::vector<FeedbackItem>& items) {
  std::vector<Segment> segments;
  for (const FeedbackItem& line : linesOf(items)) {
    auto p = pointsOf(line);
    segments.push_back({p[0], p[1]});
  }
  return segments;
}

// The two lists hold the same segments, each as often.
::testing::AssertionResult sameSegments(std::vector<Segment> actual, const std::vector<Segment>& expected) {
  for (const Segment& s : expected) {
    auto found = std::find(actual.begin(), actual.end(), s);
    if (found == actual.end())
      return ::testing::AssertionFailure() << "missing segment (" << s.a.x << "," << s.a.y << "," << s.a.z
                                           << ")-(" << s.b.x << "," << s.b.y << "," << s.b.z << ")";
    actual.erase(found);
  }
  if (!actual.empty()) return ::testing::AssertionFailure() << actual.size() << " segments too many";
  return ::testing::AssertionSuccess();
}

// The closed outline of the points from first to last, in the plane z.
void addLoop(std::vector<Segment>& out, const std::vector<GlyphVertex>& v, size_t first, size_t last,
             float z) {
  for (size_t i = first; i <= last; i++) {
    const GlyphVertex& a = v[i];
    const GlyphVertex& b = v[i == last ? first : i + 1];
    out.push_back({{a.x, a.y, z}, {b.x, b.y, z}});
  }
}

// 'A': a rectangle, one contour of four vertices, two counter-clockwise triangles.
const TestGlyph kRectangle = rectangleGlyph('A', -0.5f, 0.5f, -0.25f, 0.75f);
// 'B': a square and a triangle inside it, two contours; one triangle is enough fill.
const TestGlyph kTwoContours = {
    'B',
    {{-0.8f, -0.8f}, {0.8f, -0.8f}, {0.8f, 0.8f}, {-0.8f, 0.8f}, {-0.2f, -0.2f}, {0.2f, -0.2f}, {0.0f, 0.3f}},
    {0, 1, 2},
    {3, 6}};

class ExtrudedTextTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    resetFontRegistry();
    ASSERT_EQ(loadFont(writeTestFile("prisms.font", fontFileBytes({kRectangle, kTwoContours})).c_str()), 0);
    setDirection(DIRECTION_RIGHT);
    // x and y lean by a tenth of z; z keeps a quarter of its size.
    const GLfloat oblique[16] = {0.25f, 0, 0, 0, 0, 0.25f, 0, 0, 0.1f, 0.1f, 0.25f, 0, 0, 0, 0, 1};
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(oblique);
    glMatrixMode(GL_MODELVIEW);
  }
  void TearDown() override {
    // The lighting state as GL starts with it, for the tests that follow.
    const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1}, diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    const GLfloat white[4] = {1, 1, 1, 1}, fromFront[4] = {0, 0, 1, 0};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, ambient);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_POSITION, fromFront);
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
    glColor4f(1, 1, 1, 1);
    resetFontRegistry();
  }
  // Captures draw and checks it raised no GL error.
  std::vector<FeedbackItem> capture(const std::function<void()>& draw) {
    auto items = captureFeedback(draw);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    return items;
  }
};

// The triangles of a solid prism, sorted by where they lie.
struct Prism {
  std::vector<std::vector<Point>> front, back, walls;
};

Prism prismOf(const std::vector<FeedbackItem>& items, float depth) {
  Prism prism;
  for (const FeedbackItem& polygon : polygonsOf(items)) {
    auto p = pointsOf(polygon);
    if (allAtZ(p, 1 + depth) && std::fabs(signedArea(p)) > 1e-4f && depth != 0) {
      prism.front.push_back(p);
    } else if (allAtZ(p, 1) && std::fabs(signedArea(p)) > 1e-4f) {
      (depth == 0 && signedArea(p) < 0 ? prism.front : prism.back).push_back(p);
    } else {
      prism.walls.push_back(p);
    }
  }
  return prism;
}

TEST_F(ExtrudedTextTest, SolidPrismHasReversedFrontFileOrderBackAndClosedWalls) {
  auto items = capture([] { drawSolidGlyph3D('A'); });
  Prism prism = prismOf(items, 0.2f);

  // The file's triangles run counter-clockwise: the front face (z = 1.2) is wound the
  // other way round, the back face (z = 1) as in the file.
  ASSERT_EQ(prism.front.size(), 2u);
  ASSERT_EQ(prism.back.size(), 2u);
  for (const auto& t : prism.front) EXPECT_LT(signedArea(t), 0);
  for (const auto& t : prism.back) EXPECT_GT(signedArea(t), 0);

  // One quad strip of ten vertices is four quads: eight triangles, two on each edge of
  // the outline, the closing edge from the last vertex back to the first included.
  ASSERT_EQ(prism.walls.size(), 8u);
  const auto& v = kRectangle.vertices;
  for (size_t i = 0; i < 4; i++) {
    const GlyphVertex& a = v[i];
    const GlyphVertex& b = v[(i + 1) % 4];
    int onEdge = 0;
    for (const auto& t : prism.walls) {
      bool inside = std::all_of(t.begin(), t.end(), [&](const Point& p) {
        return (near(p.x, a.x) && near(p.y, a.y)) || (near(p.x, b.x) && near(p.y, b.y));
      });
      bool spansDepth = std::any_of(t.begin(), t.end(), [](const Point& p) { return near(p.z, 1); }) &&
                        std::any_of(t.begin(), t.end(), [](const Point& p) { return near(p.z, 1.2f); });
      if (inside && spansDepth) onEdge++;
    }
    EXPECT_EQ(onEdge, 2) << "wall on the edge from vertex " << i;
  }
}

TEST_F(ExtrudedTextTest, ZeroDepthPutsBothFacesAndTheWallsIntoThePlaneZOne) {
  setSymbolDepth(0);
  auto items = capture([] { drawSolidGlyph3D('A'); });
  Prism prism = prismOf(items, 0);
  EXPECT_EQ(prism.front.size(), 2u);
  EXPECT_EQ(prism.back.size(), 2u);
  for (const FeedbackItem& polygon : polygonsOf(items)) EXPECT_TRUE(allAtZ(pointsOf(polygon), 1));
}

TEST_F(ExtrudedTextTest, WireframeIsTwoOutlinesAndAnEdgeAtEveryVertex) {
  for (const TestGlyph* glyph : {&kRectangle, &kTwoContours}) {
    SCOPED_TRACE(std::string(1, char(glyph->code)));
    const auto& v = glyph->vertices;
    std::vector<Segment> expected;
    size_t first = 0;
    for (uint8_t last : glyph->contourEnds) {
      addLoop(expected, v, first, last, 1);
      addLoop(expected, v, first, last, 1.2f);
      first = last + 1u;
    }
    for (const GlyphVertex& p : v) expected.push_back({{p.x, p.y, 1}, {p.x, p.y, 1.2f}});

    auto items = capture([glyph] { drawWireGlyph3D(glyph->code); });
    EXPECT_TRUE(polygonsOf(items).empty());
    EXPECT_TRUE(sameSegments(segmentsOf(items), expected));
  }
}

TEST_F(ExtrudedTextTest, NormalsFaceOutOfTheFacesAndOutOfTheOriginOnTheWalls) {
  // One white directional light of a quarter strength; nothing else lights.
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  const GLfloat none[4] = {0, 0, 0, 1}, quarter[4] = {0.25f, 0.25f, 0.25f, 1}, white[4] = {1, 1, 1, 1};
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, none);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, quarter);

  // Light from +z: the front face is lit fully, the back face and the walls not at all.
  const GLfloat fromFront[4] = {0, 0, 1, 0};
  glLightfv(GL_LIGHT0, GL_POSITION, fromFront);
  auto fromFrontItems = capture([] { drawSolidGlyph3D('A'); });
  ASSERT_EQ(prismOf(fromFrontItems, 0.2f).front.size(), 2u);
  for (const FeedbackItem& polygon : polygonsOf(fromFrontItems)) {
    auto p = pointsOf(polygon);
    for (size_t k = 0; k < p.size(); k++) {
      const float expected = allAtZ(p, 1.2f) && signedArea(p) < 0 ? 0.25f : 0.0f;
      EXPECT_NEAR(polygon.vertices[k].r, expected, 1e-3f);
    }
  }

  // Light from +y: a wall vertex is lit by its normal (x, y, 0) unscaled, so by a
  // quarter of y. The closing pair repeats the first vertex with the last vertex's
  // normal: at (-0.5, -0.25) the walls are dark where the strip starts and lit by
  // the normal of (-0.5, 0.75) where it closes.
  const GLfloat fromAbove[4] = {0, 1, 0, 0};
  glLightfv(GL_LIGHT0, GL_POSITION, fromAbove);
  int darkAtFirst = 0, closingAtFirst = 0;
  for (const FeedbackItem& polygon : polygonsOf(capture([] { drawSolidGlyph3D('A'); }))) {
    auto p = pointsOf(polygon);
    if (allAtZ(p, 1) || allAtZ(p, 1.2f)) continue;  // a face
    for (size_t k = 0; k < p.size(); k++) {
      const float r = polygon.vertices[k].r;
      if (near(p[k].x, -0.5f) && near(p[k].y, -0.25f)) {
        darkAtFirst += near(r, 0);
        closingAtFirst += near(r, 0.25f * 0.75f);
        EXPECT_TRUE(near(r, 0) || near(r, 0.25f * 0.75f)) << r;
      } else {
        EXPECT_NEAR(r, 0.25f * std::max(0.0f, p[k].y), 1e-3f) << p[k].x << "," << p[k].y;
      }
    }
  }
  EXPECT_GT(darkAtFirst, 0);
  EXPECT_GT(closingAtFirst, 0);
}

TEST_F(ExtrudedTextTest, ContourOverlayIsUnlitAndPutsColourAndLightingBack) {
  setContourColor(1, 0, 0, 1);
  std::vector<Segment> wireframe = segmentsOf(capture([] { drawWireGlyph3D('A'); }));

  // Without contouring: no lines at all.
  EXPECT_TRUE(linesOf(capture([] { drawSolidGlyph3D('A'); })).empty());

  enableOption(OPTION_CONTOURING);
  for (bool lighting : {true, false}) {
    SCOPED_TRACE(lighting ? "lighting on" : "lighting off");
    if (lighting) {
      glEnable(GL_LIGHTING);
      glEnable(GL_LIGHT0);
    } else {
      glDisable(GL_LIGHTING);
    }
    glColor4f(0, 0, 1, 1);
    auto items = capture([] { drawSolidGlyph3D('A'); });

    EXPECT_TRUE(sameSegments(segmentsOf(items), wireframe));
    for (const FeedbackItem& line : linesOf(items))
      for (const FeedbackVertex& v : line.vertices) {
        EXPECT_FLOAT_EQ(v.r, 1);
        EXPECT_FLOAT_EQ(v.g, 0);
        EXPECT_FLOAT_EQ(v.b, 0);
      }
    // The solid itself: in the caller's colour when unlit, shaded when lit.
    for (const FeedbackItem& polygon : polygonsOf(items))
      EXPECT_EQ(polygon.vertices[0].b == 1.0f && polygon.vertices[0].r == 0.0f, !lighting);

    EXPECT_EQ(glIsEnabled(GL_LIGHTING), lighting ? GL_TRUE : GL_FALSE);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[0], 0.0f);
    EXPECT_EQ(colour[1], 0.0f);
    EXPECT_EQ(colour[2], 1.0f);
    EXPECT_EQ(colour[3], 1.0f);
  }
}

// A member that takes a font index, and the plain member it stands for.
struct FontMember {
  const char* name;
  std::function<void(int)> inFont;
  std::function<void()> plain;
};

std::vector<FontMember> fontMembers() {
  return {
      {"drawOutlineGlyphInFont", [](int f) { drawOutlineGlyphInFont(f, 'A'); },
       [] { drawOutlineGlyph('A'); }},
      {"drawOutlineStringInFont", [](int f) { drawOutlineStringInFont(f, "AB A"); },
       [] { drawOutlineString("AB A"); }},
      {"drawWireGlyph3DInFont", [](int f) { drawWireGlyph3DInFont(f, 'B'); }, [] { drawWireGlyph3D('B'); }},
      {"drawWireString3DInFont", [](int f) { drawWireString3DInFont(f, "AB A"); },
       [] { drawWireString3D("AB A"); }},
      {"drawSolidGlyph3DInFont", [](int f) { drawSolidGlyph3DInFont(f, 'B'); },
       [] { drawSolidGlyph3D('B'); }},
      {"drawSolidString3DInFont", [](int f) { drawSolidString3DInFont(f, "AB A"); },
       [] { drawSolidString3D("AB A"); }},
  };
}

TEST_F(ExtrudedTextTest, FontIndexMembersDrawLikeThePlainOnesAndRestoreTheCurrentFont) {
  enableOption(OPTION_CONTOURING);
  for (const FontMember& member : fontMembers()) {
    SCOPED_TRACE(member.name);
    ASSERT_EQ(selectFont(0), 0);
    auto plain = capture(member.plain);
    ASSERT_FALSE(plain.empty());

    // Slot 0 drawn while nothing is current.
    fontRegistry.currentFont = -1;
    auto viaIndex = capture([&] { member.inFont(0); });
    EXPECT_EQ(getCurrentFont(), -1);
    ASSERT_EQ(viaIndex.size(), plain.size());
    for (size_t i = 0; i < plain.size(); i++) {
      ASSERT_EQ(viaIndex[i].kind, plain[i].kind);
      ASSERT_EQ(viaIndex[i].vertices.size(), plain[i].vertices.size());
      for (size_t k = 0; k < plain[i].vertices.size(); k++) {
        EXPECT_FLOAT_EQ(viaIndex[i].vertices[k].x, plain[i].vertices[k].x);
        EXPECT_FLOAT_EQ(viaIndex[i].vertices[k].y, plain[i].vertices[k].y);
      }
    }

    // An empty slot and indices outside the registry draw nothing, and slot 0 stays current.
    ASSERT_EQ(selectFont(0), 0);
    for (int index : {1, 255, -1, 256, 100000}) {
      EXPECT_TRUE(capture([&] { member.inFont(index); }).empty()) << "index " << index;
      EXPECT_EQ(getCurrentFont(), 0);
    }
  }
}

TEST_F(ExtrudedTextTest, StringMembersDrawEveryGlyphInTheirStyle) {
  auto outline = capture([] { drawOutlineString("AA"); });
  EXPECT_TRUE(polygonsOf(outline).empty());
  EXPECT_EQ(linesOf(outline).size(), 2 * 4u);
  for (const FeedbackItem& line : outline)
    for (const Point& p : pointsOf(line)) EXPECT_NEAR(p.z, 0, 1e-3f);
  auto wire = capture([] { drawWireString3D("AA"); });
  EXPECT_TRUE(polygonsOf(wire).empty());
  EXPECT_EQ(linesOf(wire).size(), 2 * 12u);
  auto solid = capture([] { drawSolidString3D("AA"); });
  EXPECT_TRUE(linesOf(solid).empty());
  EXPECT_EQ(polygonsOf(solid).size(), 2 * 12u);
  // A character without a glyph draws nothing, contour or not.
  enableOption(OPTION_CONTOURING);
  EXPECT_TRUE(capture([] { drawSolidString3D("ZZ"); }).empty());
}

}  // namespace

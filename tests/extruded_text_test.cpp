// extruded_text_test.cpp -- outline, wireframe and solid prisms of vector glyphs, seen
// through GL feedback in a real Mesa context under an oblique projection (walls stay
// visible and every window position maps back to its object position).
#include "font/extruded_text.h"

#include <GL/gl.h>

#include <cmath>

#include "font/outline_text.h"
#include "tests/support/gl_context.h"
#include "tests/vector_font_test_files.h"

namespace {

struct Point {
  float x, y, z;
};
bool near(float a, float b) { return std::fabs(a - b) < 1e-3f; }
bool same(const Point& a, const Point& b) { return near(a.x, b.x) && near(a.y, b.y) && near(a.z, b.z); }

// Object coordinates of a primitive's vertices under the projection set in SetUp.
std::vector<Point> pointsOf(const FeedbackItem& item) {
  std::vector<Point> points;
  for (const FeedbackVertex& v : item.vertices) {
    const float z = 4 * (2 * v.z - 1);
    points.push_back({(v.x / 512 - 1 - 0.1f * z) / 0.25f, (v.y / 384 - 1 - 0.1f * z) / 0.25f, z});
  }
  return points;
}
std::vector<float> flat(const std::vector<FeedbackItem>& items) {
  std::vector<float> values;
  for (const FeedbackItem& item : items)
    for (const FeedbackVertex& v : item.vertices) values.insert(values.end(), {v.x, v.y, v.z, v.r, v.g, v.b});
  return values;
}
// Twice the signed xy area: positive when the corners run counter-clockwise seen from +z.
float signedArea(const std::vector<Point>& p) {
  float area = 0;
  for (size_t i = 0, j = 1; i < p.size(); i++, j = (i + 1) % p.size())
    area += p[i].x * p[j].y - p[j].x * p[i].y;
  return area;
}
bool allAtZ(const std::vector<Point>& p, float z) {
  return std::all_of(p.begin(), p.end(), [z](const Point& q) { return near(q.z, z); });
}

// True if the lines are the segments a-b of the list, either way round, each as often.
bool sameSegments(const std::vector<FeedbackItem>& items, std::vector<std::pair<Point, Point>> expected) {
  for (const FeedbackItem& line : linesOf(items)) {
    const Point a = pointsOf(line)[0], b = pointsOf(line)[1];
    auto found = std::find_if(expected.begin(), expected.end(), [&](const std::pair<Point, Point>& s) {
      return (same(a, s.first) && same(b, s.second)) || (same(a, s.second) && same(b, s.first));
    });
    if (found == expected.end()) return false;
    expected.erase(found);
  }
  return expected.empty();
}

// 'A': one contour of four vertices. 'B': a square and a triangle inside, one triangle of fill.
const TestGlyph kRectangle = rectangleGlyph('A', -0.5f, 0.5f, -0.25f, 0.75f);
const TestGlyph kTwoContours = {
    'B',
    {{-0.8f, -0.8f}, {0.8f, -0.8f}, {0.8f, 0.8f}, {-0.8f, 0.8f}, {-0.2f, -0.2f}, {0.2f, -0.2f}, {0, 0.3f}},
    {0, 1, 2},
    {3, 6}};

// The wireframe of a glyph: both outlines and an edge at every vertex.
std::vector<std::pair<Point, Point>> wireframeOf(const TestGlyph& glyph) {
  const auto& v = glyph.vertices;
  std::vector<std::pair<Point, Point>> segments;
  size_t first = 0;
  for (size_t last : glyph.contourEnds) {
    for (size_t i = first, j = i + 1; i <= last; i++, j = i == last ? first : i + 1)
      for (float z : {1.0f, 1.2f}) segments.push_back({{v[i].x, v[i].y, z}, {v[j].x, v[j].y, z}});
    first = last + 1;
  }
  for (const GlyphVertex& p : v) segments.push_back({{p.x, p.y, 1}, {p.x, p.y, 1.2f}});
  return segments;
}

class ExtrudedTextTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT);
    ASSERT_EQ(loadFont(writeTestFile("prisms.font", fontFileBytes({kRectangle, kTwoContours})).c_str()), 0);
    setDirection(DIRECTION_RIGHT);
    // x and y lean by a tenth of z; z keeps a quarter of its size.
    const GLfloat oblique[16] = {0.25f, 0, 0, 0, 0, 0.25f, 0, 0, 0.1f, 0.1f, 0.25f, 0, 0, 0, 0, 1};
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(oblique);
    glMatrixMode(GL_MODELVIEW);
  }
  void TearDown() override {
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    glPopAttrib();
    resetFontRegistry();
  }
};

TEST_F(ExtrudedTextTest, SolidPrismHasReversedFrontFileOrderBackAndOneClosedWallStrip) {
  std::vector<std::vector<Point>> front, back, walls;
  for (const FeedbackItem& polygon : polygonsOf(captureFeedback([] { drawSolidGlyph3D('A'); }))) {
    auto p = pointsOf(polygon);
    const bool face = std::fabs(signedArea(p)) > 1e-4f;
    (face && allAtZ(p, 1.2f) ? front : face && allAtZ(p, 1) ? back : walls).push_back(p);
  }
  ASSERT_EQ(front.size(), 2u);
  ASSERT_EQ(back.size(), 2u);
  for (const auto& t : front) EXPECT_LT(signedArea(t), 0);  // the file's triangles run counter-clockwise
  for (const auto& t : back) EXPECT_GT(signedArea(t), 0);
  // A strip of ten vertices is four quads: two triangles on each edge, the closing one included.
  ASSERT_EQ(walls.size(), 8u);
  for (size_t i = 0; i < 4; i++) {
    const GlyphVertex a = kRectangle.vertices[i], b = kRectangle.vertices[(i + 1) % 4];
    int count = 0;
    for (const auto& t : walls)
      count += !allAtZ(t, 1) && !allAtZ(t, 1.2f) && std::all_of(t.begin(), t.end(), [&](const Point& p) {
        return (near(p.x, a.x) && near(p.y, a.y)) || (near(p.x, b.x) && near(p.y, b.y));
      });
    EXPECT_EQ(count, 2) << "walls on the edge from vertex " << i;
  }

  setSymbolDepth(0);  // both faces and the walls in the plane z = 1
  auto thin = polygonsOf(captureFeedback([] { drawSolidGlyph3D('A'); }));
  EXPECT_EQ(thin.size(), 12u);
  for (const FeedbackItem& polygon : thin) EXPECT_TRUE(allAtZ(pointsOf(polygon), 1));
}

TEST_F(ExtrudedTextTest, WireframeIsTwoOutlinesAndAnEdgeAtEveryVertex) {
  for (const TestGlyph* glyph : {&kRectangle, &kTwoContours}) {
    auto items = captureFeedback([glyph] { drawWireGlyph3D(glyph->code); });
    EXPECT_TRUE(polygonsOf(items).empty());
    EXPECT_TRUE(sameSegments(items, wireframeOf(*glyph))) << glyph->code;
  }
}

TEST_F(ExtrudedTextTest, NormalsPointOutOfTheFacesAndAwayFromTheOriginOnTheWalls) {
  // One white directional light of a quarter strength from (0, 1, 1); nothing else lights.
  const GLfloat none[4] = {0, 0, 0, 1}, quarter[4] = {0.25f, 0.25f, 0.25f, 1}, white[4] = {1, 1, 1, 1};
  const GLfloat light[4] = {0, 1, 1, 0};
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, none);
  glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, quarter);
  glLightfv(GL_LIGHT0, GL_POSITION, light);
  const float lit = 0.25f / std::sqrt(2.0f);
  for (const FeedbackItem& polygon : polygonsOf(captureFeedback([] { drawSolidGlyph3D('A'); }))) {
    const auto p = pointsOf(polygon);
    const bool face = std::fabs(signedArea(p)) > 1e-4f;
    for (size_t k = 0; k < p.size(); k++) {
      // A wall vertex is lit by its normal (x, y, 0), unscaled. The strip closes at the first
      // vertex with the last vertex's normal, so that vertex is left out.
      if (!face && near(p[k].x, -0.5f) && near(p[k].y, -0.25f)) continue;
      const float expected = face ? (p[k].z > 1.1f ? lit : 0) : lit * std::max(0.0f, p[k].y);
      EXPECT_NEAR(polygon.vertices[k].r, expected, 1e-3f) << p[k].x << "," << p[k].y << "," << p[k].z;
    }
  }
}

TEST_F(ExtrudedTextTest, ContourOverlayIsUnlitAndRestoresColourAndLighting) {
  setContourColor(1, 0, 0, 1);
  EXPECT_TRUE(linesOf(captureFeedback([] { drawSolidGlyph3D('A'); })).empty());
  enableOption(OPTION_CONTOURING);
  glEnable(GL_LIGHT0);
  for (bool lighting : {true, false}) {
    SCOPED_TRACE(lighting ? "lighting on" : "lighting off");
    lighting ? glEnable(GL_LIGHTING) : glDisable(GL_LIGHTING);
    glColor4f(0, 0, 1, 1);
    auto items = captureFeedback([] { drawSolidGlyph3D('A'); });
    EXPECT_TRUE(sameSegments(items, wireframeOf(kRectangle)));
    for (const FeedbackItem& item : items) {  // caller's colour on the unlit solid, shaded on the lit one
      const FeedbackVertex& v = item.vertices[0];
      EXPECT_TRUE(item.kind == FeedbackItem::Polygon ? (v.r == 0 && v.b == 1) != lighting
                                                     : v.r == 1 && v.g == 0 && v.b == 0);
    }
    EXPECT_EQ(glIsEnabled(GL_LIGHTING), lighting ? GL_TRUE : GL_FALSE);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(std::vector<float>(colour, colour + 4), std::vector<float>({0, 0, 1, 1}));
  }
}

TEST_F(ExtrudedTextTest, EveryMemberDrawsItsStyleAndTheFontIndexOnesKeepTheCurrentFont) {
  struct Member {
    std::function<void()> plain;
    std::function<void(int)> inFont;
    size_t lines, polygons;  // with contouring on; 'A' has four edges, 'B' seven
  };
  const Member members[] = {
      {[] { drawOutlineGlyph('A'); }, [](int f) { drawOutlineGlyphInFont(f, 'A'); }, 4, 0},
      {[] { drawOutlineString("A B"); }, [](int f) { drawOutlineStringInFont(f, "A B"); }, 11, 0},
      {[] { drawWireGlyph3D('B'); }, [](int f) { drawWireGlyph3DInFont(f, 'B'); }, 21, 0},
      {[] { drawWireString3D("A B"); }, [](int f) { drawWireString3DInFont(f, "A B"); }, 33, 0},
      {[] { drawSolidGlyph3D('B'); }, [](int f) { drawSolidGlyph3DInFont(f, 'B'); }, 21, 16},
      {[] { drawSolidString3D("A B"); }, [](int f) { drawSolidString3DInFont(f, "A B"); }, 33, 28},
  };
  enableOption(OPTION_CONTOURING);
  for (const Member& member : members) {
    SCOPED_TRACE("member " + std::to_string(&member - members));
    ASSERT_EQ(selectFont(0), 0);
    const auto plain = captureFeedback(member.plain);
    EXPECT_EQ(linesOf(plain).size(), member.lines);
    EXPECT_EQ(polygonsOf(plain).size(), member.polygons);
    fontRegistry.currentFont = -1;  // slot 0 drawn while nothing is current
    EXPECT_EQ(flat(captureFeedback([&member] { member.inFont(0); })), flat(plain));
    EXPECT_EQ(getCurrentFont(), -1);
    ASSERT_EQ(selectFont(0), 0);
    for (int index : {1, 255, -1, 256, 100000}) {  // empty slots and indices outside the registry
      EXPECT_TRUE(captureFeedback([&member, index] { member.inFont(index); }).empty()) << index;
      EXPECT_EQ(getCurrentFont(), 0);
    }
  }
  EXPECT_TRUE(captureFeedback([] { drawSolidString3D("ZZ"); }).empty());  // no glyph: nothing, contour or not
}

}  // namespace

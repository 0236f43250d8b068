// sphere_mesh_test.cpp -- the sphere generator and the polygon-mesh drawer in a real
// GL context. glBegin and glEnd are wrapped (the real ones still do the work) to count
// the faces and mark their ends in the feedback stream; the array forms of new and
// delete are replaced to count the generator's tables and to make one of them fail.
#include "render/sphere_mesh.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <dlfcn.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <new>
#include <set>
#include <vector>

#include "tests/support/gl_context.h"

namespace {
std::vector<GLenum> begins;
bool countingTables = false;
int tablesAllocated = 0;
int failTableNumber = 0;  // 1-based; 0 = none fails
std::set<void*> liveTables;
}  // namespace

extern "C" void glBegin(GLenum mode) {
  static auto real = reinterpret_cast<void (*)(GLenum)>(dlsym(RTLD_NEXT, "glBegin"));
  begins.push_back(mode);
  real(mode);
}

extern "C" void glEnd() {
  static auto real = reinterpret_cast<void (*)()>(dlsym(RTLD_NEXT, "glEnd"));
  real();
  GLint renderMode = 0;
  glGetIntegerv(GL_RENDER_MODE, &renderMode);
  if (renderMode == GL_FEEDBACK) glPassThrough(0);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  if (countingTables && ++tablesAllocated == failTableNumber) return nullptr;
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p && countingTables) liveTables.insert(p);
  return p;
}
// Every array form goes through malloc and free, so the replaced forms stay paired.
void* operator new[](std::size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (!p) throw std::bad_alloc();
  return p;
}
void operator delete[](void* p) noexcept {
  liveTables.erase(p);
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept { operator delete[](p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { operator delete[](p); }

namespace {

using Point = std::array<double, 5>;  // object x, y, z and texture s, t

// The faces as drawn: the primitives up to each end marker.
std::vector<std::vector<FeedbackItem>> drawnFaces() {
  std::vector<std::vector<FeedbackItem>> faces(1);
  for (const auto& item : captureFeedback([] { drawSphere(1, 2, 4); })) {
    if (item.kind == FeedbackItem::PassThrough) {
      faces.emplace_back();
    } else {
      faces.back().push_back(item);
    }
  }
  faces.pop_back();  // after the last end
  return faces;
}

bool contains(const std::vector<Point>& points, const Point& wanted) {
  for (const auto& p : points) {
    double d = 0;
    for (int i = 0; i < 5; i++) d += std::fabs(p[i] - wanted[i]);
    if (d < 2e-3) return true;
  }
  return false;
}

// The distinct corners of some primitives, in object coordinates.
std::vector<Point> pointsOf(const std::vector<FeedbackItem>& primitives) {
  GLdouble modelview[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  std::vector<Point> out;
  for (const auto& p : primitives)
    for (const auto& v : p.vertices) {
      Point g{0, 0, 0, v.s, v.t};
      gluUnProject(v.x, v.y, v.z, modelview, projection, viewport, &g[0], &g[1], &g[2]);
      if (!contains(out, g)) out.push_back(g);
    }
  return out;
}

// The point of the unit sphere at a latitude and longitude, with texture coordinates.
Point onSphere(double lat, double lon, double s = 0, double t = 0) {
  return {std::cos(lon) * std::cos(lat), std::sin(lon) * std::cos(lat), std::sin(lat), s, t};
}
// Grid point (j, k) of a sphere of radius 1 with 2 stacks and 4 slices.
Point gridPoint(int j, int k) { return onSphere(-M_PI / 2 + j * M_PI / 2, k * M_PI / 2, k / 4.0, j / 2.0); }

class SphereMeshTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    glMatrixMode(GL_PROJECTION);
    glOrtho(-2, 2, -1.5, 1.5, -5, 5);
    glMatrixMode(GL_MODELVIEW);
    // Seen obliquely from outside and off the seam, so that no face lies edge-on.
    glRotatef(-30, 1, 0, 0);
    glRotatef(20, 0, 0, 1);
    glPolygonMode(GL_FRONT, GL_FILL);
    glPolygonMode(GL_BACK, GL_LINE);
    wireframeMode = 0;
    begins.clear();
    tablesAllocated = failTableNumber = 0;
    liveTables.clear();
  }
  void TearDown() override { countingTables = false, wireframeMode = 0; }
};

}  // namespace

TEST_F(SphereMeshTest, TwoStacksFourSlicesMakeFifteenGridPointsAndEightFaces) {
  countingTables = true;
  const auto faces = drawnFaces();
  countingTables = false;
  EXPECT_EQ(begins, std::vector<GLenum>(8, GLenum(GL_POLYGON)));
  ASSERT_EQ(faces.size(), 8u);
  EXPECT_EQ(tablesAllocated, 5);
  EXPECT_TRUE(liveTables.empty());

  // All fifteen grid points, the poles and the seam each repeated with their own
  // texture coordinates; nothing else.
  std::vector<FeedbackItem> all;
  for (const auto& f : faces) all.insert(all.end(), f.begin(), f.end());
  const auto points = pointsOf(all);
  EXPECT_EQ(points.size(), 15u);
  for (int j = 0; j <= 2; j++)
    for (int k = 0; k <= 4; k++) EXPECT_TRUE(contains(points, gridPoint(j, k))) << j << ", " << k;

  // Face (j, k) spans grid points (j, k), (j, k+1), (j+1, k+1), (j+1, k), and is filled
  // (wound counter-clockwise from outside) exactly when it faces the viewer.
  GLdouble m[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, m);
  for (int j = 0; j < 2; j++)
    for (int k = 0; k < 4; k++) {
      SCOPED_TRACE(testing::Message() << "face " << j << ", " << k);
      const auto& face = faces[size_t(j * 4 + k)];
      const auto corners = pointsOf(face);
      EXPECT_EQ(corners.size(), 4u);
      for (auto [dj, dk] : {std::pair{0, 0}, {0, 1}, {1, 1}, {1, 0}})
        EXPECT_TRUE(contains(corners, gridPoint(j + dj, k + dk)));
      const Point n =
          onSphere(-M_PI / 4 + j * M_PI / 2, M_PI / 4 + k * M_PI / 2);  // toward the cell's middle
      const bool facing = m[2] * n[0] + m[6] * n[1] + m[10] * n[2] > 0;
      bool filled = false;
      for (const auto& p : face) filled = filled || p.kind == FeedbackItem::Polygon;
      EXPECT_EQ(filled, facing);
    }

  // The last face's normal points to the middle of its cell: latitude 45, longitude 315.
  GLfloat normal[3];
  glGetFloatv(GL_CURRENT_NORMAL, normal);
  for (size_t i = 0; i < 3; i++) EXPECT_NEAR(normal[i], onSphere(M_PI / 4, -M_PI / 4)[i], 1e-5) << i;

  // Wireframe mode: the same faces as closed outlines, each corner where one segment
  // ends and the next begins.
  wireframeMode = 1;
  begins.clear();
  const auto outlines = drawnFaces();
  EXPECT_EQ(begins, std::vector<GLenum>(8, GLenum(GL_LINE_LOOP)));
  ASSERT_EQ(outlines.size(), 8u);
  for (size_t f = 0; f < 8; f++) {
    for (const auto& p : outlines[f]) EXPECT_NE(p.kind, FeedbackItem::Polygon) << f;
    const auto loop = pointsOf(outlines[f]);
    EXPECT_EQ(loop.size(), 4u) << f;
    for (const Point& corner : pointsOf(faces[f])) EXPECT_TRUE(contains(loop, corner)) << f;
  }
}

TEST_F(SphereMeshTest, ATableThatCannotBeHadDrawsNothingAndLeavesNothingBehind) {
  countingTables = true;
  for (failTableNumber = 1; failTableNumber <= 5; failTableNumber++) {
    tablesAllocated = 0;
    drawSphere(1, 8, 16);
    EXPECT_TRUE(begins.empty()) << failTableNumber;
    EXPECT_TRUE(liveTables.empty()) << liveTables.size() << " tables left after " << failTableNumber;
  }
  // Nothing to build: no tables, no faces.
  failTableNumber = tablesAllocated = 0;
  drawSphere(1, 0, 4);
  drawSphere(1, 3, -1);
  EXPECT_EQ(tablesAllocated, 0);
  EXPECT_TRUE(begins.empty());
}

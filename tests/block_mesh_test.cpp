// block_mesh_test.cpp -- the block's tables and the quad-mesh drawer in a real GL
// context. glBindTexture is wrapped here (the real one still does the work) so that
// each bind leaves a pass-through marker in the feedback stream: the stream then
// splits into the faces as they were sent, each after its own bind.
#include "render/block_mesh.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <dlfcn.h>

#include <cmath>
#include <vector>

#include "render/scene.h"
#include "tests/support/gl_context.h"

namespace {
std::vector<GLuint> binds;
}

extern "C" void glBindTexture(GLenum target, GLuint texture) {
  using BindFunction = void (*)(GLenum, GLuint);
  static BindFunction real = reinterpret_cast<BindFunction>(dlsym(RTLD_NEXT, "glBindTexture"));
  real(target, texture);
  binds.push_back(texture);
  GLint mode = 0;
  glGetIntegerv(GL_RENDER_MODE, &mode);
  if (mode == GL_FEEDBACK) glPassThrough(GLfloat(texture));
}

namespace {

// What one face produced: the primitives between its bind marker and the next.
struct SentFace {
  GLuint texture;
  std::vector<FeedbackItem> primitives;
};

std::vector<SentFace> splitAtBinds(const std::vector<FeedbackItem>& items) {
  std::vector<SentFace> faces;
  for (const auto& item : items) {
    if (item.kind == FeedbackItem::PassThrough) {
      faces.push_back({GLuint(item.token), {}});
    } else if (!faces.empty()) {
      faces.back().primitives.push_back(item);
    } else {
      ADD_FAILURE() << "a primitive came before any bind";
    }
  }
  return faces;
}

struct Point {
  double x, y, z, s, t;
};

// The distinct corners of a face's primitives in object coordinates.
std::vector<Point> cornersOf(const SentFace& face) {
  GLdouble modelview[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  std::vector<Point> out;
  for (const auto& p : face.primitives)
    for (const auto& v : p.vertices) {
      Point c{0, 0, 0, v.s, v.t};
      gluUnProject(v.x, v.y, v.z, modelview, projection, viewport, &c.x, &c.y, &c.z);
      bool seen = false;
      for (const auto& d : out)
        seen = seen || (std::fabs(c.x - d.x) + std::fabs(c.y - d.y) + std::fabs(c.z - d.z) < 1e-3);
      if (!seen) out.push_back(c);
    }
  return out;
}

class BlockMeshTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    glMatrixMode(GL_PROJECTION);
    glOrtho(-4, 4, -3, 3, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    binds.clear();
  }
  // An oblique view that shows no face edge-on.
  static void obliqueView(float turn) {
    glLoadIdentity();
    glRotatef(30, 1, 0, 0);
    glRotatef(turn, 0, 1, 0);
    glTranslatef(-0.5f, -1, -0.5f);
  }
};

const float CORNER_TEX[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};

}  // namespace

TEST_F(BlockMeshTest, SixFacesEachBoundColouredAndTexturedCornerByCorner) {
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  obliqueView(40);
  auto faces = splitAtBinds(
      captureFeedback([] { drawBlockMesh(5, blockVertices, blockNormals, blockFaces, BLOCK_FACE_COUNT); }));
  ASSERT_EQ(faces.size(), 6u);
  for (int i = 0; i < 6; i++) {
    SCOPED_TRACE(i);
    const SentFace& face = faces[size_t(i)];
    EXPECT_EQ(face.texture, 5u);
    ASSERT_FALSE(face.primitives.empty());
    for (const auto& p : face.primitives) {
      ASSERT_EQ(p.kind, FeedbackItem::Polygon);
      for (const auto& v : p.vertices) {
        EXPECT_FLOAT_EQ(v.r, palette[i][0]);
        EXPECT_FLOAT_EQ(v.g, palette[i][1]);
        EXPECT_FLOAT_EQ(v.b, palette[i][2]);
      }
    }
    // Each corner of the face carries its texture coordinate by drawing order.
    auto corners = cornersOf(face);
    ASSERT_EQ(corners.size(), 4u);
    for (int k = 0; k < 4; k++) {
      const float* expected = blockVertices[blockFaces[i][k]];
      bool found = false;
      for (const auto& c : corners) {
        if (std::fabs(c.x - expected[0]) < 1e-3 && std::fabs(c.y - expected[1]) < 1e-3 &&
            std::fabs(c.z - expected[2]) < 1e-3) {
          found = true;
          EXPECT_FLOAT_EQ(float(c.s), CORNER_TEX[k][0]) << "corner " << k;
          EXPECT_FLOAT_EQ(float(c.t), CORNER_TEX[k][1]) << "corner " << k;
        }
      }
      EXPECT_TRUE(found) << "corner " << k << " missing";
    }
  }
  EXPECT_EQ(binds, std::vector<GLuint>(6, 5u));
}

TEST_F(BlockMeshTest, EveryFaceIsCounterClockwiseFromOutside) {
  setupRenderState();  // front faces filled, back faces outlined
  // From two opposite corners every face is seen once from outside and once from inside.
  for (float turn : {40.0f, 220.0f}) {
    for (bool fromBelow : {false, true}) {
      SCOPED_TRACE(testing::Message() << "turn " << turn << (fromBelow ? " from below" : ""));
      glLoadIdentity();
      glRotatef(fromBelow ? -30.0f : 30.0f, 1, 0, 0);
      glRotatef(turn, 0, 1, 0);
      glTranslatef(-0.5f, -1, -0.5f);
      GLdouble m[16];
      glGetDoublev(GL_MODELVIEW_MATRIX, m);
      auto faces = splitAtBinds(captureFeedback(
          [] { drawBlockMesh(3, blockVertices, blockNormals, blockFaces, BLOCK_FACE_COUNT); }));
      ASSERT_EQ(faces.size(), 6u);
      for (int i = 0; i < 6; i++) {
        const float* n = blockNormals[i];
        const double towardViewer = m[2] * n[0] + m[6] * n[1] + m[10] * n[2];  // eye-space z of the normal
        const auto kind = towardViewer > 0 ? FeedbackItem::Polygon : FeedbackItem::Line;
        ASSERT_FALSE(faces[size_t(i)].primitives.empty()) << "face " << i;
        for (const auto& p : faces[size_t(i)].primitives)
          EXPECT_TRUE(p.kind == kind || (kind == FeedbackItem::Line && p.kind == FeedbackItem::LineReset))
              << "face " << i
              << (towardViewer > 0 ? " faces the viewer but is not filled"
                                   : " faces away but is not outlined");
      }
    }
  }
}

TEST_F(BlockMeshTest, NoFacesBindNothingAndColoursRepeatEveryTwelveFaces) {
  auto nothing = captureFeedback([] { drawBlockMesh(4, blockVertices, blockNormals, blockFaces, 0); });
  EXPECT_TRUE(nothing.empty());
  EXPECT_TRUE(binds.empty());

  // Fourteen copies of the top face: faces 12 and 13 take colours 0 and 1 again.
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  obliqueView(40);
  std::vector<float> normals;
  std::vector<int32_t> quads;
  for (int i = 0; i < 14; i++) {
    normals.insert(normals.end(), {0, 1, 0});
    quads.insert(quads.end(), {4, 7, 6, 5});
  }
  auto faces = splitAtBinds(captureFeedback([&] {
    drawBlockMesh(7, blockVertices, reinterpret_cast<const float(*)[3]>(normals.data()),
                  reinterpret_cast<const int32_t(*)[4]>(quads.data()), 14);
  }));
  ASSERT_EQ(faces.size(), 14u);
  for (int i = 0; i < 14; i++) {
    ASSERT_FALSE(faces[size_t(i)].primitives.empty());
    const auto& v = faces[size_t(i)].primitives[0].vertices[0];
    EXPECT_FLOAT_EQ(v.r, palette[i % 12][0]) << i;
    EXPECT_FLOAT_EQ(v.g, palette[i % 12][1]) << i;
    EXPECT_FLOAT_EQ(v.b, palette[i % 12][2]) << i;
  }
}

TEST_F(BlockMeshTest, TheCameraSideShowsItsTextureMirrored) {
  // Left half red, right half blue, shown untinted.
  const unsigned char texels[2][3] = {{255, 0, 0}, {0, 0, 255}};
  glBindTexture(GL_TEXTURE_2D, 3);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glEnable(GL_TEXTURE_2D);
  glDisable(GL_FOG);
  glEnable(GL_DEPTH_TEST);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();  // looking along -z at the face z = 1, which spans x 0..1 (screen 512..640)
  drawBlockMesh(3, blockVertices, blockNormals, blockFaces, BLOCK_FACE_COUNT);
  auto nearLeftEdge = readPixelsRgb(520, 400, 1, 1);
  auto nearRightEdge = readPixelsRgb(632, 400, 1, 1);
  EXPECT_EQ(nearLeftEdge, (std::vector<unsigned char>{0, 0, 255}));
  EXPECT_EQ(nearRightEdge, (std::vector<unsigned char>{255, 0, 0}));
  glDisable(GL_TEXTURE_2D);
}

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
  static auto real = reinterpret_cast<void (*)(GLenum, GLuint)>(dlsym(RTLD_NEXT, "glBindTexture"));
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

std::vector<SentFace> drawnFaces(const float (*normals)[3], const int32_t (*faces)[4], int count,
                                 int texture = 5) {
  std::vector<SentFace> sent;
  for (const auto& item :
       captureFeedback([&] { drawBlockMesh(texture, blockVertices, normals, faces, count); })) {
    if (item.kind == FeedbackItem::PassThrough) {
      sent.push_back({GLuint(item.token), {}});
    } else if (sent.empty()) {
      ADD_FAILURE() << "a primitive came before any bind";
    } else {
      sent.back().primitives.push_back(item);
    }
  }
  return sent;
}

// Seen from above (or below) at a turn about the vertical: no face lies edge-on.
void obliqueView(float turn, float tilt = 30) {
  glLoadIdentity();
  glRotatef(tilt, 1, 0, 0);
  glRotatef(turn, 0, 1, 0);
  glTranslatef(-0.5f, -1, -0.5f);
}

class BlockMeshTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    glMatrixMode(GL_PROJECTION);
    glOrtho(-4, 4, -3, 3, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    binds.clear();
  }
};

}  // namespace

TEST_F(BlockMeshTest, EachFaceIsBoundColouredAndTexturedCornerByCorner) {
  EXPECT_TRUE(drawnFaces(blockNormals, blockFaces, 0).empty());  // no faces, no bind
  // The block's faces over and over: fourteen, so that the colours come round again.
  float normals[14][3];
  int32_t quads[14][4];
  for (int i = 0; i < 14; i++) {
    std::copy(blockNormals[i % 6], blockNormals[i % 6] + 3, normals[i]);
    std::copy(blockFaces[i % 6], blockFaces[i % 6] + 4, quads[i]);
  }
  obliqueView(40);
  const auto faces = drawnFaces(normals, quads, 14);
  ASSERT_EQ(faces.size(), 14u);
  EXPECT_EQ(binds, std::vector<GLuint>(14, 5u));
  GLdouble modelview[16], projection[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  glGetIntegerv(GL_VIEWPORT, viewport);
  const float cornerTexCoords[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
  for (int i = 0; i < 14; i++) {
    SCOPED_TRACE(i);
    // Every vertex sent is one of the face's corners, with that corner's texture
    // coordinate (by drawing order) and the face's colour; all four corners are sent.
    std::vector<bool> seen(4, false);
    for (const auto& p : faces[size_t(i)].primitives) {
      ASSERT_EQ(p.kind, FeedbackItem::Polygon);
      for (const auto& v : p.vertices) {
        EXPECT_EQ(std::vector<float>({v.r, v.g, v.b}),
                  std::vector<float>(palette[i % 12], palette[i % 12] + 3));
        double x, y, z;
        gluUnProject(v.x, v.y, v.z, modelview, projection, viewport, &x, &y, &z);
        auto isCorner = [&](int k) {
          const float* c = blockVertices[quads[i][k]];
          return std::fabs(c[0] - x) + std::fabs(c[1] - y) + std::fabs(c[2] - z) < 1e-3;
        };
        int k = 0;
        while (k < 4 && !isCorner(k)) k++;
        ASSERT_LT(k, 4) << "a vertex off the face, at " << x << ", " << y << ", " << z;
        seen[size_t(k)] = true;
        EXPECT_EQ(std::vector<float>({v.s, v.t}),
                  std::vector<float>(cornerTexCoords[k], cornerTexCoords[k] + 2));
      }
    }
    EXPECT_EQ(seen, std::vector<bool>(4, true));
  }
}

TEST_F(BlockMeshTest, EveryFaceIsCounterClockwiseFromOutside) {
  setupRenderState();  // front faces filled, back faces outlined
  // From two opposite corners, above and below, every face is seen from outside and
  // from inside.
  for (float turn : {40.0f, 220.0f})
    for (float tilt : {30.0f, -30.0f}) {
      SCOPED_TRACE(testing::Message() << "turn " << turn << ", tilt " << tilt);
      obliqueView(turn, tilt);
      GLdouble m[16];
      glGetDoublev(GL_MODELVIEW_MATRIX, m);
      const auto faces = drawnFaces(blockNormals, blockFaces, BLOCK_FACE_COUNT, 3);
      ASSERT_EQ(faces.size(), 6u);
      for (int i = 0; i < 6; i++) {
        const float* n = blockNormals[i];
        const bool towardViewer = m[2] * n[0] + m[6] * n[1] + m[10] * n[2] > 0;  // eye-space z of the normal
        ASSERT_FALSE(faces[size_t(i)].primitives.empty()) << "face " << i;
        for (const auto& p : faces[size_t(i)].primitives)
          EXPECT_EQ(p.kind == FeedbackItem::Polygon, towardViewer)
              << "face " << i
              << (towardViewer ? " faces the viewer but is not filled" : " faces away but is filled");
      }
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
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();  // looking along -z at the face z = 1, which spans x 0..1 (screen 512..640)
  drawBlockMesh(3, blockVertices, blockNormals, blockFaces, BLOCK_FACE_COUNT);
  EXPECT_EQ(readPixelsRgb(520, 400, 1, 1), (std::vector<unsigned char>{0, 0, 255}));
  EXPECT_EQ(readPixelsRgb(632, 400, 1, 1), (std::vector<unsigned char>{255, 0, 0}));
  glDisable(GL_TEXTURE_2D);
}

// gl_context.cpp -- the headless EGL context and the feedback/pixel helpers; screenshots
// are written through libpng.
#include "tests/support/gl_context.h"

#include <png.h>

#include "platform/headless/headless_gl.h"

std::string makeHeadlessGlContextCurrent() {
  static const std::string error = makeHeadlessGlContext(GlTest::kWidth, GlTest::kHeight);
  return error;
}

void GlTest::SetUp() {
  std::string error = makeHeadlessGlContextCurrent();
  ASSERT_EQ(error, "") << "cannot get a headless OpenGL context";
  glViewport(0, 0, kWidth, kHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glColor4f(1, 1, 1, 1);
  while (glGetError() != GL_NO_ERROR) {
  }
}

std::vector<FeedbackItem> captureFeedback(const std::function<void()>& draw, size_t bufferFloats) {
  std::vector<GLfloat> buffer(bufferFloats);
  glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
  glRenderMode(GL_FEEDBACK);
  draw();
  GLint used = glRenderMode(GL_RENDER);
  std::vector<FeedbackItem> items;
  if (used < 0) {
    ADD_FAILURE() << "feedback buffer of " << bufferFloats << " floats overflowed";
    return items;
  }
  auto readVertex = [&](GLint& i) {
    FeedbackVertex v;
    float* f = &v.x;
    for (int k = 0; k < 11; k++) f[k] = buffer[size_t(i++)];
    return v;
  };
  for (GLint i = 0; i < used;) {
    GLint token = GLint(buffer[size_t(i++)]);
    FeedbackItem item{};
    switch (token) {
      case GL_POLYGON_TOKEN: {
        item.kind = FeedbackItem::Polygon;
        GLint n = GLint(buffer[size_t(i++)]);
        for (GLint k = 0; k < n; k++) item.vertices.push_back(readVertex(i));
        break;
      }
      case GL_LINE_TOKEN:
      case GL_LINE_RESET_TOKEN:
        item.kind = FeedbackItem::Line;
        item.vertices = {readVertex(i), readVertex(i)};
        break;
      case GL_POINT_TOKEN:
      case GL_BITMAP_TOKEN:
      case GL_DRAW_PIXEL_TOKEN:
      case GL_COPY_PIXEL_TOKEN:
        item.kind = FeedbackItem::Point;
        item.vertices = {readVertex(i)};
        break;
      case GL_PASS_THROUGH_TOKEN:
        item.kind = FeedbackItem::PassThrough;
        item.token = buffer[size_t(i++)];
        break;
      default:
        ADD_FAILURE() << "unknown feedback token " << token;
        return items;
    }
    items.push_back(std::move(item));
  }
  return items;
}

static std::vector<FeedbackItem> only(const std::vector<FeedbackItem>& items, FeedbackItem::Kind kind) {
  std::vector<FeedbackItem> out;
  for (const auto& item : items)
    if (item.kind == kind) out.push_back(item);
  return out;
}
std::vector<FeedbackItem> polygonsOf(const std::vector<FeedbackItem>& items) {
  return only(items, FeedbackItem::Polygon);
}
std::vector<FeedbackItem> linesOf(const std::vector<FeedbackItem>& items) {
  return only(items, FeedbackItem::Line);
}

std::vector<unsigned char> readPixelsRgb(int x, int y, int width, int height) {
  std::vector<unsigned char> pixels(size_t(width) * size_t(height) * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  return pixels;
}

bool saveScreenshot(const std::string& path, int width, int height) {
  auto pixels = readPixelsRgb(0, 0, width, height);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(width);
  image.height = png_uint_32(height);
  image.format = PNG_FORMAT_RGB;
  // A negative row stride: the rows were read bottom first, the file holds them top first.
  return png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), -width * 3, nullptr) != 0;
}

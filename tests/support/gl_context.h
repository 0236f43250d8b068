// gl_context.h -- test support: the headless GL context (a 1024 x 768 pbuffer), and
// what immediate-mode code drew: GL feedback capture and pixel read-back.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Makes the process's one headless context, current on the first caller's thread. Returns
// an empty string on success, otherwise what went wrong.
std::string makeHeadlessGlContextCurrent();  // created once

// Fixture for tests that draw: SetUp makes the context current (failing the test
// loudly if it cannot), resets the matrices to identity, the viewport to the whole
// 1024 x 768 surface and the colour to white.
class GlTest : public ::testing::Test {
 public:
  static constexpr int kWidth = 1024;
  static constexpr int kHeight = 768;

 protected:
  void SetUp() override;
};

// One vertex as feedback mode reports it (GL_3D_COLOR_TEXTURE): window coordinates,
// colour and texture coordinate.
struct FeedbackVertex {
  float x, y, z;
  float r, g, b, a;
  float s, t, p, q;
};

// One primitive of the feedback stream.
struct FeedbackItem {
  enum Kind { Polygon, Line, Point, PassThrough } kind;  // Point: also bitmaps and pixel copies
  std::vector<FeedbackVertex> vertices;                  // Polygon: n; Line: 2; Point: 1
  float token = 0;                                       // PassThrough: the marker value
};

// Runs draw() in GL_FEEDBACK mode and returns what it produced, in order. Fails the
// current test (ADD_FAILURE) if the buffer overflowed.
std::vector<FeedbackItem> captureFeedback(const std::function<void()>& draw,
                                          size_t bufferFloats = 1 << 20);  // feedback capture
// Only the polygons (or only the lines) of a capture.
std::vector<FeedbackItem> polygonsOf(const std::vector<FeedbackItem>& items);  // filter polygons
std::vector<FeedbackItem> linesOf(const std::vector<FeedbackItem>& items);     // filter lines

// Reads back RGB pixels of the current read buffer, bottom row first.
std::vector<unsigned char> readPixelsRgb(int x, int y, int width, int height);  // glReadPixels
// Writes the whole surface (or window) as a PNG; returns false on failure.
bool saveScreenshot(const std::string& path, int width = 1024, int height = 768);  // PNG of the frame

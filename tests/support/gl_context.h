// gl_context.h -- test support: the headless GL context (a 1024 x 768 pbuffer), and what
// code drew: pixels read back, frames written as PNG and compared with reference pictures.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// Makes the process's one headless context, current on the first caller's thread: "" or the error.
std::string makeHeadlessGlContextCurrent();  // created once

// Fixture for tests that draw: SetUp makes the context current (failing the test loudly if it
// cannot), resets the matrices, the viewport to the whole 1024 x 768 surface, the colour to white and
// the clear colour to black.
class GlTest : public ::testing::Test {
 public:
  static constexpr int kWidth = 1024;
  static constexpr int kHeight = 768;

 protected:
  void SetUp() override;
};

// The whole frame, as RGB pixels, that draw() leaves on a cleared surface, drawn from the identity.
std::vector<unsigned char> frameOf(const std::function<void()>& draw);  // clear, draw, read back
// Reads back RGB pixels of the current read buffer, bottom row first.
std::vector<unsigned char> readPixelsRgb(int x, int y, int width, int height);  // glReadPixels
// Writes the whole surface (or window) as a PNG; returns false on failure.
bool saveScreenshot(const std::string& path, int width = 1024, int height = 768);  // PNG of the frame
// How many pixels of two PNG pictures differ; -1 if either cannot be read or their sizes differ.
long differingPixels(const std::string& path, const std::string& referencePath);  // picture compare

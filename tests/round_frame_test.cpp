// round_frame_test.cpp -- one frame of a round, drawn by the display callback into a
// real GLUT window from a fixed game state, against the reference picture of the same
// frame (tests/data/round_frame.png): every pixel must be the same.
#define STB_IMAGE_IMPLEMENTATION
#include <GL/freeglut.h>
#include <stb_image.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "game/game_state.h"
#include "game/obstacle_field.h"
#include "image/texture_loader.h"
#include "render/scene.h"
#include "tests/support/gl_context.h"

TEST(RoundFrame, LooksAsTheReferencePicture) {
  int argc = 1;
  char name[] = "round_frame_test";
  char* argv[] = {name, nullptr};
  glutInit(&argc, argv);
  glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
  glutInitWindowSize(1024, 768);
  ASSERT_NE(glutCreateWindow("round_frame_test"), 0);
  ASSERT_EQ(chdir(ZARNOK_ASSET_DIR), 0);
  // The game's start-up, a round started and 30 idle ticks of straight running.
  restoreInitialGameState();
  glClearColor(0, 0, 0, 0);
  loadTextures();
  createObstacles();
  setupRenderState();
  reshapeWindow(1024, 768);
  isPlaying = true;
  for (int tick = 0; tick < 60; tick++) advance();
  elapsedTime = 12.3f;
  bestTime = 45.6f;

  displayFrame();
  ASSERT_TRUE(isPlaying) << "the fixed state ran into an obstacle";
  glReadBuffer(GL_BACK);
  const std::vector<unsigned char> drawn = readPixelsRgb(0, 0, 1024, 768);
  saveScreenshot(testing::TempDir() + "round_frame_drawn.png");

  int width = 0, height = 0, channels = 0;
  const std::string reference = std::string(ZARNOK_SOURCE_DIR) + "/tests/data/round_frame.png";
  stbi_set_flip_vertically_on_load(1);  // the read-back rows run bottom first
  unsigned char* expected = stbi_load(reference.c_str(), &width, &height, &channels, 3);
  ASSERT_NE(expected, nullptr) << "cannot read " << reference;
  ASSERT_EQ(width, 1024);
  ASSERT_EQ(height, 768);
  int differing = 0;
  for (size_t pixel = 0; pixel < drawn.size() / 3; pixel++) {
    const unsigned char* a = &drawn[pixel * 3];
    const unsigned char* b = expected + pixel * 3;
    differing += a[0] != b[0] || a[1] != b[1] || a[2] != b[2];
  }
  stbi_image_free(expected);
  EXPECT_EQ(differing, 0) << "pixels that differ from " << reference;
  std::printf("%d of %d pixels differ from the reference\n", differing, 1024 * 768);

  for (Obstacle*& o : obstacles) {
    delete o;
    o = nullptr;
  }
}

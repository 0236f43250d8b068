// picture_test.cpp -- the picture reader and the game's ten textures, on files that
// ImageMagick writes from known pixels.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "image/texture_loader.h"
#include "tests/support/gl_context.h"

namespace {

using Bytes = std::vector<uint8_t>;
const std::string kDir = ::testing::TempDir(), kTrueColor = "-compress None BMP3:";
const std::string kIndexed = "-type Palette " + kTrueColor;

Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Has ImageMagick write a picture of up to 251 colours to path in a format; returns its
// pixels as red, green, blue, bottom row first.
Bytes makePicture(const std::string& path, int width, int height, const std::string& format) {
  std::string ppm = "P6 " + std::to_string(width) + " " + std::to_string(height) + " 255\n";
  Bytes bottomUp(size_t(width) * height * 3);
  for (int i = 0; i < width * height; i++) {  // PPM rows run top down
    const int k = (i % width * 7 + i / width * 13) % 251;
    const uint8_t rgb[3] = {uint8_t(k), uint8_t(k * 5 + 1), uint8_t(255 - k)};
    ppm.append(rgb, rgb + 3);
    std::memcpy(&bottomUp[(size_t(height - 1 - i / width) * width + i % width) * 3], rgb, 3);
  }
  std::ofstream(path + ".ppm", std::ios::binary) << ppm;
  EXPECT_EQ(std::system(("convert '" + path + ".ppm' " + format + "'" + path + "'").c_str()), 0);
  return bottomUp;
}

// loadBmp of path into image; returns what it printed.
std::string load(const std::string& path, BmpImage& image, bool ok) {
  ::testing::internal::CaptureStdout();
  EXPECT_EQ(loadBmp(path.c_str(), image), ok);
  return ::testing::internal::GetCapturedStdout();
}

TEST(PictureReaderTest, DecodesWhatImageMagickWrites) {
  const std::tuple<int, int, int, std::string> cases[] = {
      {1, 2, 24, kTrueColor},     {3, 2, 24, kTrueColor}, {17, 3, 24, kTrueColor},
      {1024, 90, 24, kTrueColor}, {6, 2, 24, "BMP:"},  // a 124-byte information record
      {5, 4, 8, kIndexed},        {1024, 2, 8, kIndexed}};
  BmpImage image;
  for (const auto& [width, height, bits, format] : cases) {
    SCOPED_TRACE(std::to_string(bits) + " bits, " + std::to_string(width) + " wide, " + format);
    const std::string path = kDir + "picture.bmp";
    const Bytes expected = makePicture(path, width, height, format);
    ASSERT_EQ(readFile(path).at(28), bits) << "ImageMagick wrote another depth";
    EXPECT_EQ(load(path, image, true), "");
    ASSERT_EQ(std::pair(image.width, image.height), std::pair(width, height));
    EXPECT_TRUE(Bytes(image.pixels, image.pixels + expected.size()) == expected);
  }
  releaseBmp(image);
}

// Each bad file is loaded over a good 4 x 2 picture, which a refused file (height 0
// below) leaves in place. An empty message is one of the reader's own choosing.
TEST(PictureReaderTest, ReportsEveryProblemInOneLine) {
  const std::string good = kDir + "good.bmp", bad = kDir + "bad.bmp";
  makePicture(good, 4, 2, kTrueColor);
  const std::tuple<size_t, size_t, int32_t, std::string, int32_t> cases[] = {
      {0, 1, 'A', "Error reading BMP file, file type incorrect\n", 0},
      {13, 0, 0, "Error reading BMP file header\n", 0},
      {53, 0, 0, "Error reading BMP Information record\n", 0},
      {0, 30, 1, "Sorry, this code cannot read compressed image files\n", 0},
      {0, 28, 16, "Sorry, this code can only read 8 bit or 24 bit image files\n", 0},
      {0, 18, -4, "", 0},                                  // negative width
      {0, 18, 1025, "", 0},                                // rows of 3076 bytes
      {0, 22, INT32_MAX, "", 0},                           // over 2 GB
      {0, 22, -2, "Error allocating pixel memory\n", -2},  // top down
      {77, 0, 0, "Error reading BMP pixels\n", 2},
      {56, 28, 8, "Error reading BMP Color Table\nError reading BMP pixels\n", 2}};
  BmpImage image;
  for (const auto& [cut, at, value, message, height] : cases) {
    SCOPED_TRACE(message + std::to_string(at) + " " + std::to_string(value));
    load(good, image, true);
    const uint8_t* before = image.pixels;
    Bytes bytes = readFile(good);
    if (at) std::memcpy(&bytes[at], &value, 4);
    if (cut) bytes.resize(cut);
    std::ofstream(bad, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    const std::string printed = load(bad, image, false);
    EXPECT_TRUE(message.empty() ? std::count(printed.begin(), printed.end(), '\n') == 1 : printed == message);
    EXPECT_EQ(image.height, height ? height : 2);
    EXPECT_TRUE(height || image.pixels == before) << "a refused file leaves the record";
  }
  EXPECT_EQ(load(kDir + "missing.bmp", image, false), "Could not open file '" + kDir + "missing.bmp'\n");
  releaseBmp(image);
  uint8_t field[4] = {1, 2, 3, 4};
  swap16(field), swap32(field);
  EXPECT_EQ(Bytes(field, field + 4), (Bytes{4, 3, 1, 2}));
}

// Ten pictures of ten sizes and both depths: each name holds its own file's texels.
TEST_F(GlTest, GameTexturesGetTheNamesOneToTen) {
  char previous[4096];
  ASSERT_TRUE(getcwd(previous, sizeof previous) && chdir(kDir.c_str()) == 0);
  std::vector<Bytes> expected;
  for (GLuint id = Ground; id <= RecordBoard; id++)
    expected.push_back(
        makePicture(textureFileName(TextureId(id)), 8 * id, id + 2, id % 2 ? kTrueColor : kIndexed));
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  nextTextureName = 42;
  loadTextures();
  ASSERT_EQ(chdir(previous), 0);
  GLint mode = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
  EXPECT_EQ(std::pair(nextTextureName, mode), std::pair(11u, GL_REPLACE));
  for (GLuint id = Ground; id <= RecordBoard; id++) {
    glBindTexture(GL_TEXTURE_2D, id);
    std::vector<GLint> got;
    for (GLenum what : {GL_TEXTURE_WIDTH, GL_TEXTURE_HEIGHT, GL_TEXTURE_INTERNAL_FORMAT})
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, what, &got.emplace_back());
    for (GLenum what : {GL_TEXTURE_MAG_FILTER, GL_TEXTURE_MIN_FILTER, GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T})
      glGetTexParameteriv(GL_TEXTURE_2D, what, &got.emplace_back());
    EXPECT_EQ(got, std::vector<GLint>(
                       {GLint(8 * id), GLint(id + 2), GL_RGB, GL_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT}));
    Bytes texels(expected[id - 1].size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    EXPECT_TRUE(texels == expected[id - 1]) << id;
  }
}

}  // namespace

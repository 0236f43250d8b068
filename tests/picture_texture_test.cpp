// picture_texture_test.cpp -- the ten game textures in a real Mesa context: names 1
// to 10 with the sizes and texels of the files (decoded independently by stb_image),
// their filter, wrap and environment state, what bad or missing files leave behind,
// and the pictures themselves (both depths, a ground that tiles without a seam).
#include <stb_image.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/texture_loader.h"
#include "tests/picture_files.h"
#include "tests/support/gl_context.h"

namespace {

using namespace picture_files;

// A game texture file decoded by stb_image, bottom row first like a texture, and the
// bits per pixel the file stores.
struct Reference {
  int width = 0, height = 0, storedBits = 0;
  Bytes rgb;
};

Reference decodeWithStb(GLuint id) {
  const std::string path = std::string(ZARNOK_ASSET_DIR) + "/" + textureFileName(TextureId(id));
  Reference ref;
  stbi_set_flip_vertically_on_load(1);
  int channels = 0;
  uint8_t* data = stbi_load(path.c_str(), &ref.width, &ref.height, &channels, 3);
  EXPECT_NE(data, nullptr) << "stb_image cannot read " << path;
  if (data) ref.rgb.assign(data, data + size_t(ref.width) * size_t(ref.height) * 3);
  stbi_image_free(data);
  char header[30];
  if (std::ifstream(path, std::ios::binary).read(header, 30)) ref.storedBits = uint8_t(header[28]);
  return ref;
}

GLint levelParameter(GLenum which) {
  GLint value = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, which, &value);
  return value;
}

// The image of the bound texture as RGB bytes, bottom row first.
Bytes boundTexels() {
  Bytes texels(size_t(levelParameter(GL_TEXTURE_WIDTH)) * size_t(levelParameter(GL_TEXTURE_HEIGHT)) * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  return texels;
}

class TextureLoaderTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    for (GLuint name = Ground; name <= RecordBoard; name++) glDeleteTextures(1, &name);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    releaseBmp(textureImage);
    nextTextureName = 42;
  }

  // loadTextures in dir; returns what it printed.
  static std::string loadTexturesIn(const std::string& dir) {
    char previous[4096];
    EXPECT_NE(getcwd(previous, sizeof previous), nullptr);
    EXPECT_EQ(chdir(dir.c_str()), 0) << dir;
    ::testing::internal::CaptureStdout();
    loadTextures();
    std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(chdir(previous), 0);
    return printed;
  }
};

TEST_F(TextureLoaderTest, LoadsTheTenGameTexturesAsNamesOneToTen) {
  EXPECT_EQ(loadTexturesIn(ZARNOK_ASSET_DIR), "");
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
  EXPECT_EQ(nextTextureName, 11u);
  GLint mode = 0;
  glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
  EXPECT_EQ(mode, GL_REPLACE);
  for (GLuint id = Ground; id <= RecordBoard; id++) {
    SCOPED_TRACE(textureFileName(TextureId(id)));
    const Reference ref = decodeWithStb(id);
    ASSERT_TRUE(glIsTexture(id));
    glBindTexture(GL_TEXTURE_2D, id);
    EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), ref.width);
    EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), ref.height);
    EXPECT_TRUE(boundTexels() == ref.rgb) << "texels differ from the file";
    for (auto [which, value] : {std::pair<GLenum, GLint>{GL_TEXTURE_MAG_FILTER, GL_LINEAR},
                                {GL_TEXTURE_MIN_FILTER, GL_LINEAR},
                                {GL_TEXTURE_WRAP_S, GL_REPEAT},
                                {GL_TEXTURE_WRAP_T, GL_REPEAT}}) {
      GLint got = 0;
      glGetTexParameteriv(GL_TEXTURE_2D, which, &got);
      EXPECT_EQ(got, value) << which;
    }
  }
  EXPECT_FALSE(glIsTexture(11));
}

// Every failure kind in one run: a missing first file leaves Ground empty, refused
// files repeat the texture before them, a top-down file leaves its name without an
// image, a cut-off file keeps its whole rows.
TEST_F(TextureLoaderTest, BadFilesRepeatThePreviousTextureOrLeaveItEmpty) {
  const std::string dir = ::testing::TempDir() + "picture_texture_test_" + std::to_string(getpid());
  std::filesystem::create_directory(dir);
  auto file = [&](TextureId id) { return dir + "/" + textureFileName(id); };
  BmpFile topDown = picture(4, 2), cut = picture(4, 3);
  topDown.height = -2;
  cut.rows.resize(cut.rows.size() - 7);
  writeFile(file(Wall), picture(4, 2).bytes());
  writeFile(file(Block2), {'B', 'A', 0, 0});
  writeFile(file(Block3), topDown.bytes());
  writeFile(file(Block4), picture(8, 2, 8).bytes());
  writeFile(file(Block5), picture(1100, 1).bytes());
  writeFile(file(Block6), cut.bytes());
  writeFile(file(TimeBoard), picture(8, 4).bytes());

  EXPECT_EQ(loadTexturesIn(dir),
            "Could not open file 'terrain_texture.bmp'\n"
            "Could not open file 'c_1.bmp'\n"
            "Error reading BMP file, file type incorrect\n"
            "Error allocating pixel memory\n"
            "Sorry, this code cannot read image rows longer than 3072 bytes\n"
            "Error reading BMP pixels\n"
            "Could not open file 'BG_Record.bmp'\n");
  while (glGetError() != GL_NO_ERROR) {
  }
  EXPECT_EQ(nextTextureName, 11u);

  const Bytes wall = expected(4, 2), block4 = expected(8, 2, 8), board = expected(8, 4);
  const struct {
    TextureId id;
    int width, height;
    const Bytes* texels;  // the first rows of the texture
  } textures[] = {
      {Ground, 0, 0, nullptr},   {Wall, 4, 2, &wall},         {Block1, 4, 2, &wall},   {Block2, 4, 2, &wall},
      {Block3, 0, 0, nullptr},   {Block4, 8, 2, &block4},     {Block5, 8, 2, &block4}, {Block6, 4, 3, &wall},
      {TimeBoard, 8, 4, &board}, {RecordBoard, 8, 4, &board},
  };
  for (const auto& t : textures) {
    SCOPED_TRACE(textureFileName(t.id));
    glBindTexture(GL_TEXTURE_2D, t.id);
    EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), t.width);
    EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), t.height);
    if (t.texels) {
      Bytes texels = boundTexels();
      texels.resize(t.texels->size());
      EXPECT_TRUE(texels == *t.texels);
    }
  }
  std::filesystem::remove_all(dir);
}

TEST(TexturePicturesTest, SuitTheReaderAndTheGroundTiles) {
  bool indexed = false, trueColor = false;
  for (GLuint id = Ground; id <= RecordBoard; id++) {
    SCOPED_TRACE(textureFileName(TextureId(id)));
    const Reference ref = decodeWithStb(id);
    EXPECT_EQ(ref.width % 4, 0) << "rows must need no unpack padding";
    EXPECT_GE(ref.width, 64);
    EXPECT_LE(ref.width, 1024);
    indexed |= ref.storedBits == 8;
    trueColor |= ref.storedBits == 24;
  }
  EXPECT_TRUE(indexed) << "no 8-bit texture: the colour-table decoder goes unused";
  EXPECT_TRUE(trueColor);

  // The ground repeats 10 x 10: on means of 4 x 4 blocks (so that grain hides no seam)
  // the step from its last column (row) to its first is like any between neighbours.
  const Reference ground = decodeWithStb(Ground);
  const int w = ground.width / 4, h = ground.height / 4;
  std::vector<float> mean(size_t(w) * size_t(h) * 3, 0);
  for (int y = 0; y < h * 4; y++)
    for (int x = 0; x < w * 4; x++)
      for (int c = 0; c < 3; c++)
        mean[size_t(((y / 4) * w + x / 4) * 3 + c)] +=
            ground.rgb[size_t((y * ground.width + x) * 3 + c)] / 16.0f;
  auto difference = [&](bool columns, int a, int b) {  // mean step between columns (rows) a and b
    const int n = columns ? h : w;
    float sum = 0;
    for (int i = 0; i < n; i++)
      for (int c = 0; c < 3; c++)
        sum += std::fabs(mean[size_t(((columns ? i : a) * w + (columns ? a : i)) * 3 + c)] -
                         mean[size_t(((columns ? i : b) * w + (columns ? b : i)) * 3 + c)]);
    return sum / float(n * 3);
  };
  for (bool columns : {true, false}) {
    const int n = columns ? w : h;
    float worst = 0;
    for (int k = 0; k + 1 < n; k++) worst = std::max(worst, difference(columns, k, k + 1));
    EXPECT_LE(difference(columns, n - 1, 0), worst * 1.1f) << (columns ? "columns" : "rows");
  }
}

}  // namespace

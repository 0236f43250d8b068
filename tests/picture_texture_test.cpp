// picture_texture_test.cpp -- the ten game textures in a real Mesa context: names 1
// to 10 with the sizes and texels of the files (checked against stb_image as an
// independent decoder), the filter, wrap and environment state, what bad or missing
// files leave behind, the pictures themselves (sizes, tiling, distinct blocks), and a
// screenshot of all ten drawn side by side.
#include <stb_image.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "image/texture_loader.h"
#include "tests/support/gl_context.h"

namespace {

// Runs the rest of a scope in another working directory.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& dir) {
    char buffer[4096];
    if (getcwd(buffer, sizeof buffer)) previous = buffer;
    entered = chdir(dir.c_str()) == 0;
  }
  ~WorkingDirectory() {
    if (!previous.empty() && chdir(previous.c_str()) != 0) ADD_FAILURE() << "cannot return to " << previous;
  }
  bool entered = false;

 private:
  std::string previous;
};

// A picture decoded by stb_image, bottom row first like a texture.
struct Reference {
  int width = 0, height = 0, storedBits = 0;
  std::vector<uint8_t> rgb;
};

Reference decodeWithStb(const std::string& path) {
  Reference ref;
  stbi_set_flip_vertically_on_load(1);
  int channels = 0;
  uint8_t* data = stbi_load(path.c_str(), &ref.width, &ref.height, &channels, 3);
  if (!data) {
    ADD_FAILURE() << "stb_image cannot read " << path;
    return ref;
  }
  ref.rgb.assign(data, data + size_t(ref.width) * size_t(ref.height) * 3);
  stbi_image_free(data);
  if (FILE* file = std::fopen(path.c_str(), "rb")) {
    uint8_t header[30];
    if (std::fread(header, 1, 30, file) == 30) ref.storedBits = header[28] | header[29] << 8;
    std::fclose(file);
  }
  return ref;
}

std::string assetPath(TextureId id) { return std::string(ZARNOK_ASSET_DIR) + "/" + textureFileName(id); }

GLint levelParameter(GLenum which) {
  GLint value = -1;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, which, &value);
  return value;
}

// The image of the bound texture as RGB bytes, bottom row first.
std::vector<uint8_t> boundTexels() {
  std::vector<uint8_t> texels(size_t(levelParameter(GL_TEXTURE_WIDTH)) *
                              size_t(levelParameter(GL_TEXTURE_HEIGHT)) * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  return texels;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
  std::fclose(file);
}

// A small bitmap file: 24-bit pixels from colour(x, row) or 8-bit pixels of index
// (x + row) % 256 over a grey ramp; rows padded to 4 bytes.
std::vector<uint8_t> bitmapFile(int width, int height, int bits, uint8_t seed) {
  auto put32 = [](std::vector<uint8_t>& out, uint32_t v) {
    for (int k = 0; k < 4; k++) out.push_back(uint8_t(v >> (8 * k)));
  };
  int rows = height < 0 ? -height : height;
  uint32_t table = bits == 8 ? 1024 : 0;
  std::vector<uint8_t> out = {'B', 'M'};
  put32(out, 0);
  put32(out, 0);
  put32(out, 54 + table);
  put32(out, 40);
  put32(out, uint32_t(width));
  put32(out, uint32_t(height));
  put32(out, 1u | uint32_t(bits) << 16);
  for (int k = 0; k < 6; k++) put32(out, 0);
  for (uint32_t i = 0; i < table / 4; i++)
    out.insert(out.end(), {uint8_t(i), uint8_t(i), uint8_t(255 - i), 0});
  for (int row = 0; row < rows; row++) {
    size_t start = out.size();
    for (int x = 0; x < width; x++) {
      if (bits == 8)
        out.push_back(uint8_t(x + row + seed));
      else
        out.insert(out.end(), {uint8_t(seed + 10 * x), uint8_t(seed + 40 * row), uint8_t(200 - seed)});
    }
    while ((out.size() - start) % 4) out.push_back(0);
  }
  return out;
}

// Decodes a file we wrote ourselves with the reader, for the expected texels.
std::vector<uint8_t> decoded(const std::string& path, size_t bytes) {
  BmpImage image;
  ::testing::internal::CaptureStdout();
  loadBmp(path.c_str(), image);
  ::testing::internal::GetCapturedStdout();
  std::vector<uint8_t> out(image.pixels, image.pixels + bytes);
  releaseBmp(image);
  return out;
}

class TextureLoaderTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    GLuint names[TEXTURE_COUNT];
    for (GLuint i = 0; i < GLuint(TEXTURE_COUNT); i++) names[i] = Ground + i;
    glDeleteTextures(TEXTURE_COUNT, names);  // each test starts from fresh names
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    releaseBmp(textureImage);
    nextTextureName = 42;
  }

  // loadTextures in dir; returns what it printed.
  std::string loadTexturesIn(const std::string& dir) {
    WorkingDirectory here(dir);
    EXPECT_TRUE(here.entered) << "cannot enter " << dir;
    ::testing::internal::CaptureStdout();
    loadTextures();
    return ::testing::internal::GetCapturedStdout();
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
    std::string path = assetPath(TextureId(id));
    SCOPED_TRACE(path);
    Reference ref = decodeWithStb(path);
    ASSERT_TRUE(glIsTexture(id));
    glBindTexture(GL_TEXTURE_2D, id);
    EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), ref.width);
    EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), ref.height);
    EXPECT_TRUE(boundTexels() == ref.rgb) << "texels differ from the file";
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_REPEAT);
  }
  EXPECT_FALSE(glIsTexture(11));
}

// Every failure kind in one run: a missing first file leaves Ground empty, refused
// files repeat the texture before them, a top-down file leaves its name without an
// image, a cut-off file keeps its whole rows.
TEST_F(TextureLoaderTest, BadFilesRepeatThePreviousTextureOrLeaveItEmpty) {
  char pattern[] = "/tmp/picture_texture_test.XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  std::string dir = pattern;
  auto file = [&](TextureId id) { return dir + "/" + textureFileName(id); };
  writeFile(file(Wall), bitmapFile(4, 2, 24, 1));
  writeFile(file(Block2), {'B', 'A', 0, 0});
  writeFile(file(Block3), bitmapFile(4, -2, 24, 2));
  writeFile(file(Block4), bitmapFile(8, 2, 8, 3));
  writeFile(file(Block5), bitmapFile(1100, 1, 24, 4));
  std::vector<uint8_t> cut = bitmapFile(4, 3, 24, 5);
  cut.resize(cut.size() - 7);
  writeFile(file(Block6), cut);
  writeFile(file(TimeBoard), bitmapFile(8, 4, 24, 6));

  std::string printed = loadTexturesIn(dir);
  EXPECT_EQ(printed,
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

  std::vector<uint8_t> wall = decoded(file(Wall), 4 * 2 * 3);
  std::vector<uint8_t> block4 = decoded(file(Block4), 8 * 2 * 3);
  std::vector<uint8_t> board = decoded(file(TimeBoard), 8 * 4 * 3);
  struct Expected {
    TextureId id;
    int width, height;
    const std::vector<uint8_t>* texels;
  } expected[] = {
      {Ground, 0, 0, nullptr},     {Wall, 4, 2, &wall},     {Block1, 4, 2, &wall},
      {Block2, 4, 2, &wall},       {Block3, 0, 0, nullptr}, {Block4, 8, 2, &block4},
      {Block5, 8, 2, &block4},     {Block6, 4, 3, nullptr}, {TimeBoard, 8, 4, &board},
      {RecordBoard, 8, 4, &board},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(textureFileName(e.id));
    glBindTexture(GL_TEXTURE_2D, e.id);
    EXPECT_EQ(levelParameter(GL_TEXTURE_WIDTH), e.width);
    EXPECT_EQ(levelParameter(GL_TEXTURE_HEIGHT), e.height);
    if (e.texels) {
      EXPECT_TRUE(boundTexels() == *e.texels);
    }
  }
  // The cut-off file: its two whole rows arrived.
  glBindTexture(GL_TEXTURE_2D, Block6);
  std::vector<uint8_t> texels = boundTexels();
  std::vector<uint8_t> whole = bitmapFile(4, 2, 24, 5);
  writeFile(dir + "/whole.bmp", whole);
  EXPECT_TRUE(std::vector<uint8_t>(texels.begin(), texels.begin() + 24) == decoded(dir + "/whole.bmp", 24));

  for (const char* name :
       {"wallpaper.bmp", "c_2.bmp", "c_3.bmp", "c_4.bmp", "c_5.bmp", "c_6.bmp", "BG_Time.bmp", "whole.bmp"})
    std::remove((dir + "/" + name).c_str());
  rmdir(dir.c_str());
}

// Average of 4 x 4 blocks, so that per-pixel grain does not hide a seam.
std::vector<float> blurred(const Reference& ref, int& width, int& height) {
  width = ref.width / 4;
  height = ref.height / 4;
  std::vector<float> out(size_t(width) * size_t(height) * 3, 0);
  for (int y = 0; y < height * 4; y++)
    for (int x = 0; x < width * 4; x++)
      for (int c = 0; c < 3; c++)
        out[(size_t(y / 4) * size_t(width) + size_t(x / 4)) * 3 + size_t(c)] +=
            ref.rgb[(size_t(y) * size_t(ref.width) + size_t(x)) * 3 + size_t(c)] / 16.0f;
  return out;
}

float columnDifference(const std::vector<float>& p, int width, int height, int a, int b) {
  float sum = 0;
  for (int y = 0; y < height; y++)
    for (int c = 0; c < 3; c++)
      sum += std::fabs(p[(size_t(y) * size_t(width) + size_t(a)) * 3 + size_t(c)] -
                       p[(size_t(y) * size_t(width) + size_t(b)) * 3 + size_t(c)]);
  return sum / float(height * 3);
}

float rowDifference(const std::vector<float>& p, int width, int a, int b) {
  float sum = 0;
  for (int x = 0; x < width * 3; x++)
    sum += std::fabs(p[size_t(a) * size_t(width) * 3 + size_t(x)] -
                     p[size_t(b) * size_t(width) * 3 + size_t(x)]);
  return sum / float(width * 3);
}

TEST(TexturePicturesTest, SuitTheReaderTileAndTellTheBlocksApart) {
  bool indexed = false, trueColor = false;
  for (GLuint id = Ground; id <= RecordBoard; id++) {
    Reference ref = decodeWithStb(assetPath(TextureId(id)));
    SCOPED_TRACE(textureFileName(TextureId(id)));
    EXPECT_EQ(ref.width % 4, 0) << "rows must need no unpack padding";
    EXPECT_GE(ref.width, 64);
    EXPECT_LE(ref.width, 1024);
    indexed |= ref.storedBits == 8;
    trueColor |= ref.storedBits == 24;
  }
  EXPECT_TRUE(indexed) << "no 8-bit texture: the colour-table decoder goes unused";
  EXPECT_TRUE(trueColor);

  // The ground repeats 10 x 10: the step from its last column (row) to its first must
  // look like any step between neighbours.
  Reference ground = decodeWithStb(assetPath(Ground));
  int width = 0, height = 0;
  std::vector<float> smooth = blurred(ground, width, height);
  float worstColumn = 0, worstRow = 0;
  for (int x = 0; x + 1 < width; x++)
    worstColumn = std::max(worstColumn, columnDifference(smooth, width, height, x, x + 1));
  for (int y = 0; y + 1 < height; y++) worstRow = std::max(worstRow, rowDifference(smooth, width, y, y + 1));
  EXPECT_LE(columnDifference(smooth, width, height, width - 1, 0), worstColumn * 1.1f);
  EXPECT_LE(rowDifference(smooth, width, height - 1, 0), worstRow * 1.1f);

  // Six blocks in clearly different colours: coarse colour histograms overlap little.
  std::vector<std::vector<float>> histograms;
  for (GLuint id = Block1; id <= Block6; id++) {
    Reference ref = decodeWithStb(assetPath(TextureId(id)));
    std::vector<float> h(64, 0);
    for (size_t i = 0; i < ref.rgb.size(); i += 3)
      h[size_t(ref.rgb[i] / 64 * 16 + ref.rgb[i + 1] / 64 * 4 + ref.rgb[i + 2] / 64)] +=
          3.0f / float(ref.rgb.size());
    histograms.push_back(h);
  }
  for (size_t a = 0; a < histograms.size(); a++)
    for (size_t b = a + 1; b < histograms.size(); b++) {
      float overlap = 0;
      for (size_t k = 0; k < 64; k++) overlap += std::min(histograms[a][k], histograms[b][k]);
      EXPECT_LT(overlap, 0.35f) << "blocks c_" << a + 1 << " and c_" << b + 1 << " look alike";
    }
}

// Draws every texture on a grey background with the current colour red: in replace
// mode the texels show untinted. Pictures drawn at one texel per pixel must come out
// exactly; the enlarged blocks keep their average colour. Saved for a look.
TEST_F(TextureLoaderTest, DrawsTheTenTexturesUntintedSideBySide) {
  ASSERT_EQ(loadTexturesIn(ZARNOK_ASSET_DIR), "");
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, kWidth, kHeight, 0, -1, 1);  // y runs down the screen
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glClearColor(0.5f, 0.5f, 0.5f, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_TEXTURE_2D);
  glColor3f(1, 0, 0);

  struct Placement {
    TextureId id;
    int x, y, width, height;  // on the screen, from the top left
    float repeatS, repeatT;
  };
  std::vector<Placement> placements = {
      {Ground, 8, 8, 256, 256, 1, 1},
      {Wall, 272, 8, 512, 128, 1, 1},
      {TimeBoard, 272, 144, 160, 128, 1, 1},
      {RecordBoard, 440, 144, 280, 128, 1, 1},
  };
  for (int i = 0; i < 6; i++) placements.push_back({TextureId(Block1 + i), 8 + 168 * i, 280, 160, 160, 1, 1});
  placements.push_back({Ground, 8, 456, 1008, 304, 1008 / 128.0f, 304 / 128.0f});  // the ground, tiled
  for (const Placement& p : placements) {
    glBindTexture(GL_TEXTURE_2D, p.id);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2i(p.x, p.y + p.height);
    glTexCoord2f(p.repeatS, 0);
    glVertex2i(p.x + p.width, p.y + p.height);
    glTexCoord2f(p.repeatS, p.repeatT);
    glVertex2i(p.x + p.width, p.y);
    glTexCoord2f(0, p.repeatT);
    glVertex2i(p.x, p.y);
    glEnd();
  }
  glDisable(GL_TEXTURE_2D);
  glFinish();
  ASSERT_TRUE(saveScreenshot(ZARNOK_BINARY_DIR "/picture_textures.png"));

  for (size_t i = 0; i + 1 < placements.size(); i++) {
    const Placement& p = placements[i];
    SCOPED_TRACE(textureFileName(p.id));
    glBindTexture(GL_TEXTURE_2D, p.id);
    std::vector<uint8_t> texels = boundTexels();
    std::vector<uint8_t> drawn = readPixelsRgb(p.x, kHeight - p.y - p.height, p.width, p.height);
    if (drawn.size() == texels.size()) {
      int worst = 0;
      for (size_t k = 0; k < drawn.size(); k++)
        worst = std::max(worst, std::abs(int(drawn[k]) - int(texels[k])));
      EXPECT_LE(worst, 1) << "drawn one to one, the picture must match its texels";
    } else {
      for (int c = 0; c < 3; c++) {
        double a = 0, b = 0;
        for (size_t k = size_t(c); k < drawn.size(); k += 3) a += drawn[k];
        for (size_t k = size_t(c); k < texels.size(); k += 3) b += texels[k];
        EXPECT_NEAR(a / double(drawn.size() / 3), b / double(texels.size() / 3), 3.0) << "channel " << c;
      }
    }
  }
  glClearColor(0, 0, 0, 0);
}

}  // namespace

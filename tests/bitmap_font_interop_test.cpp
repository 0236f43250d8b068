// bitmap_font_interop_test.cpp -- pictures written by an independent program: ImageMagick
// writes grey, RGB and RGBA pictures in the font picture format, raw and run-length
// encoded; embedded in a font file they must decode to exactly the pixels ImageMagick
// itself reads back from them.
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tests/bitmap_font_files.h"

namespace {

constexpr int kWidth = 301, kHeight = 37;

std::string tempPath(const std::string& name) { return ::testing::TempDir() + "bitmap_font_interop_" + name; }

std::vector<uint8_t> readFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void run(const std::string& command) { ASSERT_EQ(std::system(command.c_str()), 0) << command; }

// A source picture in a netpbm format ImageMagick reads (PGM, PPM or PAM for 1, 3, 4
// channels): long flat runs (run packets), noise (literal packets) and a gradient.
std::string writeSource(int channels) {
  const std::string size = std::to_string(kWidth) + " " + std::to_string(kHeight);
  const std::string header = channels == 4 ? "P7\nWIDTH " + std::to_string(kWidth) + "\nHEIGHT " +
                                                 std::to_string(kHeight) +
                                                 "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                                           : (channels == 1 ? "P5\n" : "P6\n") + size + "\n255\n";
  std::vector<uint8_t> bytes(header.begin(), header.end());
  uint32_t noise = 12345;
  for (int row = 0; row < kHeight; row++)
    for (int x = 0; x < kWidth; x++)
      for (int c = 0; c < channels; c++) {
        noise = noise * 1103515245u + 12345u;
        const int value = x < 140   ? (row % 3 == 0 ? 0 : 40 * c + 7)  // runs longer than 127
                          : x < 220 ? int(noise >> 16)
                                    : (x - 220) * 3 + row + c * 50;
        bytes.push_back(uint8_t(value));
      }
  return writeTestFile("bitmap_font_interop_source" + std::to_string(channels) + ".pnm", bytes);
}

TEST(BitmapFontInteropTest, DecodesImageMagickPicturesAsImageMagickReadsThem) {
  for (int channels : {1, 3, 4}) {
    const std::string source = writeSource(channels);
    for (bool runLength : {false, true}) {
      SCOPED_TRACE(std::to_string(channels) + " channels, " + (runLength ? "run-length" : "raw"));
      const std::string picturePath = tempPath("picture"), rgbaPath = tempPath("imagemagick.rgba");
      run("convert '" + source + "' -depth 8 -compress " + (runLength ? "RLE" : "None") +
          " 'sgi:" + picturePath + "'");
      run("convert 'sgi:" + picturePath + "' -depth 8 'rgba:" + rgbaPath + "'");
      const std::vector<uint8_t> picture = readFileBytes(picturePath), expected = readFileBytes(rgbaPath);
      ASSERT_GE(picture.size(), 512u);
      ASSERT_EQ(picture[2], runLength ? 1 : 0) << "ImageMagick wrote the other storage";
      ASSERT_EQ(picture[3], 1) << "one byte per channel";
      ASSERT_EQ(picture[11], channels);
      ASSERT_EQ(expected.size(), size_t(kWidth) * kHeight * 4);

      int32_t width = 0, height = 0;
      std::unique_ptr<uint8_t[]> pixels =
          decodePictureOf(writeTestFile("bitmap_font_interop_font", fontFile(picture)), &width, &height);
      ASSERT_TRUE(pixels);
      ASSERT_EQ(width, kWidth);
      ASSERT_EQ(height, kHeight);
      for (int y = 0; y < kHeight; y++) {  // decoded rows run bottom up, ImageMagick's top down
        const uint8_t* ours = pixels.get() + size_t(y) * kWidth * 4;
        const uint8_t* theirs = expected.data() + size_t(kHeight - 1 - y) * kWidth * 4;
        ASSERT_EQ(std::vector<uint8_t>(ours, ours + kWidth * 4),
                  std::vector<uint8_t>(theirs, theirs + kWidth * 4))
            << "row " << y;
      }
    }
  }
}

}  // namespace

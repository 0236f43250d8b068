// bitmap_font_interop_test.cpp -- pictures written by an independent program: ImageMagick
// writes grey, RGB and RGBA pictures in the font picture format, raw and run-length
// encoded; embedded in a font file they must decode to exactly the pixels ImageMagick
// itself reads back from them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "font/bitmap_font.h"
#include "tools/common/bitmap_font_writer.h"

namespace fw = bitmap_font_writer;

namespace {

constexpr int kPictureWidth = 301;
constexpr int kPictureHeight = 37;

std::string tempPath(const std::string& name) { return ::testing::TempDir() + "bitmap_font_interop_" + name; }

std::vector<uint8_t> readFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A source picture in a netpbm format ImageMagick reads: long flat runs (run packets),
// noisy stretches (literal packets) and a gradient. channels 1 (PGM), 3 (PPM), 4 (PAM).
std::string writeSource(int channels) {
  std::string header;
  if (channels == 1)
    header = "P5\n" + std::to_string(kPictureWidth) + " " + std::to_string(kPictureHeight) + "\n255\n";
  if (channels == 3)
    header = "P6\n" + std::to_string(kPictureWidth) + " " + std::to_string(kPictureHeight) + "\n255\n";
  if (channels == 4)
    header = "P7\nWIDTH " + std::to_string(kPictureWidth) + "\nHEIGHT " + std::to_string(kPictureHeight) +
             "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
  std::vector<uint8_t> bytes(header.begin(), header.end());
  uint32_t noise = 12345;
  for (int row = 0; row < kPictureHeight; row++) {
    for (int x = 0; x < kPictureWidth; x++) {
      for (int c = 0; c < channels; c++) {
        noise = noise * 1103515245u + 12345u;
        uint8_t value;
        if (x < 140)
          value = row % 3 == 0 ? 0 : uint8_t(40 * c + 7);  // runs longer than 127
        else if (x < 220)
          value = uint8_t(noise >> 16);  // literals
        else
          value = uint8_t((x - 220) * 3 + row + c * 50);
        bytes.push_back(value);
      }
    }
  }
  const std::string path = tempPath("source" + std::to_string(channels) + ".pnm");
  EXPECT_TRUE(fw::writeFileBytes(path, bytes));
  return path;
}

// ImageMagick's own reading of a picture as RGBA bytes, top row first.
std::vector<uint8_t> imageMagickRgba(const std::string& picture) {
  const std::string out = tempPath("imagemagick.rgba");
  const std::string command = "convert 'sgi:" + picture + "' -depth 8 'rgba:" + out + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
  return readFileBytes(out);
}

std::unique_ptr<uint8_t[]> decodeEmbedded(const std::vector<uint8_t>& picture, const std::string& fontPath) {
  fw::GlyphBox glyphs[256];
  if (!fw::writeFileBytes(fontPath, fw::encodeFontFile("interop", glyphs, picture))) return nullptr;
  FILE* file = std::fopen(fontPath.c_str(), "rb");
  if (!file) return nullptr;
  std::fseek(file, BITMAP_FONT_IMAGE_OFFSET, SEEK_SET);
  int32_t width = 0, height = 0, channels = 0;
  std::unique_ptr<uint8_t[]> pixels = decodeFontImage(file, &width, &height, &channels);
  std::fclose(file);
  EXPECT_EQ(width, kPictureWidth);
  EXPECT_EQ(height, kPictureHeight);
  return pixels;
}

TEST(BitmapFontInteropTest, DecodesImageMagickPicturesAsImageMagickReadsThem) {
  for (int channels : {1, 3, 4}) {
    const std::string source = writeSource(channels);
    for (bool runLength : {false, true}) {
      SCOPED_TRACE(std::to_string(channels) + " channels, " + (runLength ? "run-length" : "raw"));
      const std::string picturePath = tempPath("picture");
      const std::string command = "convert '" + source + "' -depth 8 -compress " +
                                  (runLength ? "RLE" : "None") + " 'sgi:" + picturePath + "'";
      ASSERT_EQ(std::system(command.c_str()), 0) << command << " (is ImageMagick installed?)";
      const std::vector<uint8_t> picture = readFileBytes(picturePath);
      ASSERT_GE(picture.size(), 512u);
      ASSERT_EQ(picture[2], runLength ? 1 : 0) << "ImageMagick wrote the other storage";
      ASSERT_EQ(picture[3], 1) << "one byte per channel";
      ASSERT_EQ(picture[11], channels);

      const std::vector<uint8_t> expected = imageMagickRgba(picturePath);
      ASSERT_EQ(expected.size(), size_t(kPictureWidth) * kPictureHeight * 4);
      const std::string fontPath = tempPath("font");
      std::unique_ptr<uint8_t[]> pixels = decodeEmbedded(picture, fontPath);
      ASSERT_TRUE(pixels);
      // Decoded rows run bottom up, ImageMagick's top down.
      for (int y = 0; y < kPictureHeight; y++) {
        const uint8_t* ours = pixels.get() + size_t(y) * kPictureWidth * 4;
        const uint8_t* theirs = expected.data() + size_t(kPictureHeight - 1 - y) * kPictureWidth * 4;
        ASSERT_EQ(std::vector<uint8_t>(ours, ours + kPictureWidth * 4),
                  std::vector<uint8_t>(theirs, theirs + kPictureWidth * 4))
            << "row " << y;
      }
    }
  }
}

}  // namespace

// picture_reader_test.cpp -- the bitmap picture reader on files written here: both
// decoders, long information records, every failure message with what the shared
// record holds afterwards, and the refusals that keep the reader inside its buffers.
#include "image/picture_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/picture_files.h"

namespace {

using namespace picture_files;

class BmpReaderTest : public ::testing::Test {
 protected:
  void TearDown() override {
    releaseBmp(image);
    std::remove(file.c_str());
  }

  // Loads a file of these bytes (or the file at path) into the record; returns what
  // the reader printed and keeps its result in ok.
  std::string load(const Bytes& bytes) {
    writeFile(file, bytes);
    return loadPath(file);
  }
  std::string loadPath(const std::string& path) {
    ::testing::internal::CaptureStdout();
    ok = loadBmp(path.c_str(), image);
    return ::testing::internal::GetCapturedStdout();
  }
  Bytes pixels(size_t count) const { return Bytes(image.pixels, image.pixels + count); }

  const std::string file = ::testing::TempDir() + "picture_reader_test_" + std::to_string(getpid()) + ".bmp";
  BmpImage image;
  bool ok = false;
};

TEST(BmpByteOrderTest, ProbeAndSwapsFollowTheHost) {
  swapHeaderBytes = true;
  probeByteOrder();
  EXPECT_EQ(swapHeaderBytes, __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__);
  uint8_t field[4] = {1, 2, 3, 4};
  swap16(field);
  EXPECT_EQ(Bytes(field, field + 4), (Bytes{2, 1, 3, 4}));
  swap32(field);
  EXPECT_EQ(Bytes(field, field + 4), (Bytes{4, 3, 1, 2}));
}

// Widths on both sides of the row padding, of the groups the decoders work in, and
// the widest rows the row buffer holds; empty pictures. The colours-used field is ignored: the whole
// table is read, and the pixels use entries far above 16.
TEST_F(BmpReaderTest, DecodesRowsBottomFirstWithoutPaddingAtBothDepths) {
  const std::pair<int, std::vector<int>> depths[] = {{24, {0, 1, 3, 4, 5, 6, 8, 9, 10, 11, 16, 17, 20, 1024}},
                                                     {8, {1, 3, 4, 5, 7, 8, 3072}}};
  for (const auto& [bits, widths] : depths)
    for (int width : widths) {
      SCOPED_TRACE(std::to_string(bits) + " bits, width " + std::to_string(width));
      BmpFile f = picture(width, 3, bits);
      f.colorsUsed = 16;
      EXPECT_EQ(load(f.bytes()), "");
      EXPECT_TRUE(ok);
      ASSERT_EQ(image.width, width);
      ASSERT_EQ(image.height, 3);
      EXPECT_EQ(pixels(size_t(width) * 9), expected(width, 3, bits));
    }
  EXPECT_EQ(load(picture(5, 0).bytes()), "");  // no rows at all
  EXPECT_TRUE(ok);
  // Spelled out: stored blue, green, red becomes red, green, blue, bottom row first.
  BmpFile f;
  f.width = f.height = 2;
  f.rows = {0x10, 0x20, 0x30, 1, 2, 3, 0, 0, 4, 5, 6, 7, 8, 9, 0, 0};
  EXPECT_EQ(load(f.bytes()), "");
  EXPECT_EQ(pixels(12), (Bytes{0x30, 0x20, 0x10, 3, 2, 1, 6, 5, 4, 9, 8, 7}));
}

// Only the first 40 bytes of a longer record are read; the pixels are found through
// the offset, while the colour table is taken from offset 54 regardless.
TEST_F(BmpReaderTest, LongerInformationRecordsAreReadAsFortyBytes) {
  for (size_t headerSize : {108u, 124u}) {
    SCOPED_TRACE("header size " + std::to_string(headerSize));
    Bytes tail(headerSize - 40);
    for (size_t i = 0; i < tail.size(); i++) tail[i] = uint8_t(0xA0 + i);
    BmpFile trueColor = picture(5, 2);
    trueColor.headerTail = tail;
    EXPECT_EQ(load(trueColor.bytes()), "");
    EXPECT_EQ(pixels(30), expected(5, 2));
    // Pixel 0 uses entry 0, the record's bytes 40..43; pixel 1 the table's real entry 0.
    BmpFile indexed = picture(2, 1, 8);
    indexed.headerTail = tail;
    indexed.rows = {0, uint8_t(tail.size() / 4), 0, 0};
    EXPECT_EQ(load(indexed.bytes()), "");
    EXPECT_EQ(pixels(6), (Bytes{tail[2], tail[1], tail[0], 0x5A, 255, 0}));
  }
}

// Each refusal before the record is touched: the message, and the record keeps the
// previous picture (same buffer, same pixels), so the next upload repeats it.
TEST_F(BmpReaderTest, RefusedFilesLeaveThePreviousPictureInPlace) {
  const Bytes good = picture(5, 2).bytes();
  auto spoiled = [](BmpFile f, void (*change)(BmpFile&)) {
    change(f);
    return f.bytes();
  };
  const BmpFile base = picture(4, 2), indexed = picture(4, 2, 8);
  const std::string type = "Error reading BMP file, file type incorrect\n",
                    packed = "Sorry, this code cannot read compressed image files\n",
                    depth = "Sorry, this code can only read 8 bit or 24 bit image files\n",
                    negative = "Sorry, this code cannot read images with a negative width\n",
                    row = "Sorry, this code cannot read image rows longer than 3072 bytes\n",
                    size = "Sorry, this code cannot read images of more than 2 GB of pixels\n";
  const struct {
    const char* what;
    Bytes bytes;
    std::string message;
  } cases[] = {
      {"empty file", {}, type},
      {"wrong second magic byte", {'B', 'A'}, type},
      {"short file header", Bytes(good.begin(), good.begin() + 13), "Error reading BMP file header\n"},
      {"short information record", Bytes(good.begin(), good.begin() + 53),
       "Error reading BMP Information record\n"},
      {"compressed", spoiled(base, [](BmpFile& f) { f.compression = 1; }), packed},
      {"compressed, 32 bits", spoiled(base, [](BmpFile& f) { f.compression = 3, f.bits = 32; }), packed},
      {"32 bits", spoiled(base, [](BmpFile& f) { f.bits = 32; }), depth},
      {"16 bits", spoiled(base, [](BmpFile& f) { f.bits = 16; }), depth},
      {"negative width", spoiled(base, [](BmpFile& f) { f.width = -4; }), negative},
      {"negative width and height", spoiled(base, [](BmpFile& f) { f.width = -4, f.height = -2; }), negative},
      {"24-bit row of 3076 bytes", spoiled(base, [](BmpFile& f) { f.width = 1025; }), row},
      {"8-bit row of 3076 bytes", spoiled(indexed, [](BmpFile& f) { f.width = 3073; }), row},
      {"huge width", spoiled(base, [](BmpFile& f) { f.width = 0x7fffffff; }), row},
      {"24-bit size past 2 GB", spoiled(base, [](BmpFile& f) { f.width = 1024, f.height = 699051; }), size},
      {"8-bit size past 2 GB", spoiled(indexed, [](BmpFile& f) { f.width = 1000, f.height = 715828; }), size},
      {"largest height", spoiled(base, [](BmpFile& f) { f.height = 0x7fffffff; }), size},
  };

  ASSERT_EQ(load(good), "");
  const uint8_t* buffer = image.pixels;
  const Bytes before = pixels(30);
  const std::string missing = ::testing::TempDir() + "no_such_picture.bmp";
  EXPECT_EQ(loadPath(missing), "Could not open file '" + missing + "'\n");
  EXPECT_FALSE(ok);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(load(c.bytes), c.message);
    EXPECT_FALSE(ok);
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.height, 2);
    ASSERT_EQ(image.pixels, buffer);
    EXPECT_EQ(pixels(30), before);
  }
}

TEST_F(BmpReaderTest, ShortColorTableKeepsTheEntriesRead) {
  // Three entries, then the pixels: the table read runs on into them, harmlessly.
  BmpFile f = picture(3, 1, 8);
  f.colorTable.resize(12);
  f.rows = {2, 0, 1, 0};
  EXPECT_EQ(load(f.bytes()), "");
  EXPECT_TRUE(ok);
  EXPECT_EQ(pixels(9), (Bytes{2 ^ 0x5A, 253, 2, 0x5A, 255, 0, 1 ^ 0x5A, 254, 1}));
  // No table and no pixels: both reported, and the record describes the new file.
  f = picture(4, 2, 8);
  f.colorTable.clear();
  f.rows.clear();
  EXPECT_EQ(load(f.bytes()), "Error reading BMP Color Table\nError reading BMP pixels\n");
  EXPECT_FALSE(ok);
  EXPECT_EQ(image.width, 4);
  EXPECT_EQ(image.height, 2);
  EXPECT_NE(image.pixels, nullptr);
}

// Unpadded rows are read in large blocks, padded rows one by one: both keep exactly
// the whole rows before a cut, also when it falls in a later block.
TEST_F(BmpReaderTest, TruncatedPixelsKeepTheWholeRowsBeforeTheCut) {
  struct Cut {
    int width, height, wholeRows, extraBytes;
  };
  for (Cut cut : {Cut{4, 3, 2, 5}, Cut{5, 3, 2, 15}, Cut{3, 2, 1, 11}, Cut{1024, 200, 133, 3071}}) {
    SCOPED_TRACE("width " + std::to_string(cut.width));
    BmpFile f = picture(cut.width, cut.height);
    f.rows.resize(f.rows.size() / size_t(cut.height) * size_t(cut.wholeRows) + size_t(cut.extraBytes));
    EXPECT_EQ(load(f.bytes()), "Error reading BMP pixels\n");
    EXPECT_FALSE(ok);
    EXPECT_EQ(image.width, cut.width);
    EXPECT_EQ(image.height, cut.height);
    ASSERT_NE(image.pixels, nullptr);
    EXPECT_TRUE(pixels(size_t(cut.width * 3 * cut.wholeRows)) == expected(cut.width, cut.wholeRows));
  }
  // The large picture whole: every block turned round, none twice.
  EXPECT_EQ(load(picture(1024, 200).bytes()), "");
  EXPECT_TRUE(pixels(1024 * 3 * 200) == expected(1024, 200));
  // An offset beyond the end of the file: not a single row.
  Bytes far = picture(4, 1).bytes();
  far[10] = far[11] = 0xff;
  EXPECT_EQ(load(far), "Error reading BMP pixels\n");
}

TEST_F(BmpReaderTest, TopDownFilesFailAsAnAllocationAndDropThePreviousPicture) {
  ASSERT_EQ(load(picture(4, 2).bytes()), "");
  BmpFile f = picture(4, 2);
  for (int32_t height : {-2, INT32_MIN}) {  // the most negative would wrap to a small size
    f.height = height;
    EXPECT_EQ(load(f.bytes()), "Error allocating pixel memory\n");
    EXPECT_FALSE(ok);
    EXPECT_EQ(image.width, 4);
    EXPECT_EQ(image.height, height);
    EXPECT_EQ(image.pixels, nullptr);
  }
}

}  // namespace

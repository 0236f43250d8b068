// picture_reader_test.cpp -- the bitmap picture reader against files written here:
// both decoders (padding, byte order, colour table, row order), long information
// records, every failure message with what the shared record holds afterwards, and
// the refusals that keep the reader inside its buffers.
#include "image/picture_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xffff);
  put16(out, v >> 16);
}

// A bitmap file put together field by field, so that tests can spoil any of them.
struct BmpFile {
  int32_t width = 0, height = 0;
  uint16_t bits = 24;
  uint32_t compression = 0;
  uint32_t colorsUsed = 0;
  std::vector<uint8_t> headerTail;  // information record bytes beyond the first 40
  std::vector<uint8_t> colorTable;  // written after the information record
  std::vector<uint8_t> rows;        // pixel rows exactly as stored, padding included

  std::vector<uint8_t> bytes() const {
    uint32_t offset = uint32_t(54 + headerTail.size() + colorTable.size());
    std::vector<uint8_t> out = {'B', 'M'};
    put32(out, uint32_t(offset + rows.size()));
    put32(out, 0);
    put32(out, offset);
    put32(out, uint32_t(40 + headerTail.size()));
    put32(out, uint32_t(width));
    put32(out, uint32_t(height));
    put16(out, 1);
    put16(out, bits);
    put32(out, compression);
    put32(out, uint32_t(rows.size()));
    put32(out, 2835);
    put32(out, 2835);
    put32(out, colorsUsed);
    put32(out, 0);
    out.insert(out.end(), headerTail.begin(), headerTail.end());
    out.insert(out.end(), colorTable.begin(), colorTable.end());
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
  }
};

// The test pictures: file pixel (x, row) of a 24-bit picture is stored as blue, green,
// red = blueAt, greenAt, redAt; 8-bit pixels index indexAt into colourTable().
uint8_t blueAt(int x, int row) { return uint8_t(0x10 + 8 * row + x); }
uint8_t greenAt(int x, int row) { return uint8_t(0x80 + 8 * row + 3 * x); }
uint8_t redAt(int x, int row) { return uint8_t(0xC0 + 8 * row + 5 * x); }
uint8_t indexAt(int x, int row) { return uint8_t(x * 7 + row * 13); }

std::vector<uint8_t> trueColorRows(int width, int height) {
  std::vector<uint8_t> rows;
  for (int row = 0; row < height; row++) {
    for (int x = 0; x < width; x++) rows.insert(rows.end(), {blueAt(x, row), greenAt(x, row), redAt(x, row)});
    while (rows.size() % 4) rows.push_back(0xEE);  // padding
  }
  return rows;
}

std::vector<uint8_t> indexedRows(int width, int height) {
  std::vector<uint8_t> rows;
  for (int row = 0; row < height; row++) {
    for (int x = 0; x < width; x++) rows.push_back(indexAt(x, row));
    while (rows.size() % 4) rows.push_back(0xEE);
  }
  return rows;
}

// Entry i holds blue i, green 255 - i, red i ^ 0x5A, reserved 0x77.
std::vector<uint8_t> colourTable() {
  std::vector<uint8_t> table;
  for (int i = 0; i < 256; i++)
    table.insert(table.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i ^ 0x5A), 0x77});
  return table;
}

BmpFile trueColorFile(int width, int height) {
  BmpFile f;
  f.width = width;
  f.height = height;
  f.rows = trueColorRows(width, height);
  return f;
}

BmpFile indexedFile(int width, int height) {
  BmpFile f;
  f.width = width;
  f.height = height;
  f.bits = 8;
  f.colorTable = colourTable();
  f.rows = indexedRows(width, height);
  return f;
}

std::vector<uint8_t> expectedTrueColor(int width, int rows) {
  std::vector<uint8_t> out;
  for (int row = 0; row < rows; row++)
    for (int x = 0; x < width; x++) out.insert(out.end(), {redAt(x, row), greenAt(x, row), blueAt(x, row)});
  return out;
}

std::vector<uint8_t> expectedIndexed(int width, int rows) {
  std::vector<uint8_t> out;
  for (int row = 0; row < rows; row++)
    for (int x = 0; x < width; x++) {
      uint8_t i = indexAt(x, row);
      out.insert(out.end(), {uint8_t(i ^ 0x5A), uint8_t(255 - i), i});
    }
  return out;
}

std::vector<uint8_t> pixelsOf(const BmpImage& image, size_t count) {
  return std::vector<uint8_t>(image.pixels, image.pixels + count);
}

class BmpReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/picture_reader_test.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr) << "cannot make a temporary folder";
    dir = pattern;
  }
  void TearDown() override {
    releaseBmp(image);
    for (const std::string& path : written) std::remove(path.c_str());
    rmdir(dir.c_str());
  }

  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = dir + "/" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr) << path;
    if (!file) return path;
    if (!bytes.empty()) {
      EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    }
    std::fclose(file);
    written.push_back(path);
    return path;
  }

  // Loads the file into the test's record and returns what the reader printed.
  std::string load(const std::string& path, bool* result = nullptr) {
    ::testing::internal::CaptureStdout();
    bool ok = loadBmp(path.c_str(), image);
    std::string printed = ::testing::internal::GetCapturedStdout();
    if (result) *result = ok;
    return printed;
  }

  std::string dir;
  std::vector<std::string> written;
  BmpImage image;
};

TEST(BmpByteOrderTest, ProbeAndSwapsFollowTheHost) {
  swapHeaderBytes = true;
  probeByteOrder();
  EXPECT_EQ(swapHeaderBytes, __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__);

  uint8_t field16[2] = {0x12, 0x34};
  swap16(field16);
  EXPECT_EQ(field16[0], 0x34);
  EXPECT_EQ(field16[1], 0x12);
  uint8_t field32[4] = {0x12, 0x34, 0x56, 0x78};
  swap32(field32);
  EXPECT_EQ(std::vector<uint8_t>(field32, field32 + 4), (std::vector<uint8_t>{0x78, 0x56, 0x34, 0x12}));
}

// Widths on both sides of the row padding, of the eight-pixel rounds of the true
// colour path, and the widest rows the row buffer holds.
TEST_F(BmpReaderTest, DecodesTrueColorRowsBottomFirstWithoutPadding) {
  for (int width : {1, 3, 4, 5, 6, 8, 9, 10, 11, 16, 17, 20, 1024}) {
    SCOPED_TRACE("width " + std::to_string(width));
    std::string path = write("true_color.bmp", trueColorFile(width, 3).bytes());
    bool ok = false;
    EXPECT_EQ(load(path, &ok), "");
    EXPECT_TRUE(ok);
    ASSERT_EQ(image.width, width);
    ASSERT_EQ(image.height, 3);
    ASSERT_NE(image.pixels, nullptr);
    EXPECT_EQ(pixelsOf(image, size_t(width) * 9), expectedTrueColor(width, 3));
  }
}

TEST_F(BmpReaderTest, StoredBlueGreenRedBecomesRedGreenBlueWithTheBottomLeftPixelFirst) {
  BmpFile f;
  f.width = 2;
  f.height = 2;
  f.rows = {0x10, 0x20, 0x30, 1, 2, 3, 0, 0,   // bottom row, as the file stores it first
            4,    5,    6,    7, 8, 9, 0, 0};  // top row
  EXPECT_EQ(load(write("two_by_two.bmp", f.bytes())), "");
  EXPECT_EQ(pixelsOf(image, 12), (std::vector<uint8_t>{0x30, 0x20, 0x10, 3, 2, 1, 6, 5, 4, 9, 8, 7}));
}

TEST_F(BmpReaderTest, DecodesIndexedRowsThroughTheWholeColorTable) {
  for (int width : {1, 3, 4, 5, 7, 8, 3072}) {
    SCOPED_TRACE("width " + std::to_string(width));
    BmpFile f = indexedFile(width, 3);
    f.colorsUsed = 16;  // the table is read whole all the same; the pixels use entries far above 16
    EXPECT_EQ(load(write("indexed.bmp", f.bytes())), "");
    ASSERT_EQ(image.width, width);
    ASSERT_EQ(image.height, 3);
    EXPECT_EQ(pixelsOf(image, size_t(width) * 9), expectedIndexed(width, 3));
  }
}

// Longer information records: only their first 40 bytes are read. The pixels are
// found through the offset; the colour table is taken from offset 54 regardless.
TEST_F(BmpReaderTest, LongerInformationRecordsAreReadAsFortyBytes) {
  for (size_t headerSize : {108u, 124u}) {
    SCOPED_TRACE("header size " + std::to_string(headerSize));
    std::vector<uint8_t> tail(headerSize - 40);
    for (size_t i = 0; i < tail.size(); i++) tail[i] = uint8_t(0xA0 + i);

    BmpFile trueColor = trueColorFile(5, 2);
    trueColor.headerTail = tail;
    EXPECT_EQ(load(write("long_true_color.bmp", trueColor.bytes())), "");
    EXPECT_EQ(pixelsOf(image, 30), expectedTrueColor(5, 2));

    BmpFile indexed = indexedFile(2, 1);
    indexed.headerTail = tail;
    // Pixel 0 uses entry 0, made of the record's bytes 40..43; pixel 1 uses the entry
    // at which the real table starts in the file, its entry 0.
    uint8_t realStart = uint8_t(tail.size() / 4);
    indexed.rows = {0, realStart, 0, 0};
    EXPECT_EQ(load(write("long_indexed.bmp", indexed.bytes())), "");
    EXPECT_EQ(pixelsOf(image, 6), (std::vector<uint8_t>{tail[2], tail[1], tail[0], 0x5A, 255, 0}));
  }
}

// Each failure before the record is touched: the message, and the record keeps the
// previous picture (same buffer, same pixels), so the next upload repeats it.
TEST_F(BmpReaderTest, RefusedFilesLeaveThePreviousPictureInPlace) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    std::string message;
  };
  std::vector<uint8_t> good = trueColorFile(5, 2).bytes();
  auto spoiled = [](BmpFile f, void (*change)(BmpFile&)) {
    change(f);
    return f.bytes();
  };
  BmpFile base = trueColorFile(4, 2);
  std::vector<Case> cases = {
      {"empty file", {}, "Error reading BMP file, file type incorrect\n"},
      {"one byte", {'B'}, "Error reading BMP file, file type incorrect\n"},
      {"wrong magic", std::vector<uint8_t>{'M', 'B'}, "Error reading BMP file, file type incorrect\n"},
      {"short file header", std::vector<uint8_t>(good.begin(), good.begin() + 13),
       "Error reading BMP file header\n"},
      {"short information record", std::vector<uint8_t>(good.begin(), good.begin() + 53),
       "Error reading BMP Information record\n"},
      {"compressed", spoiled(base, [](BmpFile& f) { f.compression = 1; }),
       "Sorry, this code cannot read compressed image files\n"},
      {"compressed with an unsupported depth",
       spoiled(base, [](BmpFile& f) { f.compression = 3, f.bits = 32; }),
       "Sorry, this code cannot read compressed image files\n"},
      {"32 bits", spoiled(base, [](BmpFile& f) { f.bits = 32; }),
       "Sorry, this code can only read 8 bit or 24 bit image files\n"},
      {"16 bits", spoiled(base, [](BmpFile& f) { f.bits = 16; }),
       "Sorry, this code can only read 8 bit or 24 bit image files\n"},
      {"1 bit", spoiled(base, [](BmpFile& f) { f.bits = 1; }),
       "Sorry, this code can only read 8 bit or 24 bit image files\n"},
      {"negative width", spoiled(base, [](BmpFile& f) { f.width = -4; }),
       "Sorry, this code cannot read images with a negative width\n"},
      {"negative width and height", spoiled(base, [](BmpFile& f) { f.width = -4, f.height = -2; }),
       "Sorry, this code cannot read images with a negative width\n"},
      {"24-bit row of 3076 bytes", spoiled(base, [](BmpFile& f) { f.width = 1025; }),
       "Sorry, this code cannot read image rows longer than 3072 bytes\n"},
      {"8-bit row of 3076 bytes", spoiled(indexedFile(4, 2), [](BmpFile& f) { f.width = 3073; }),
       "Sorry, this code cannot read image rows longer than 3072 bytes\n"},
      {"huge width", spoiled(base, [](BmpFile& f) { f.width = 0x7fffffff; }),
       "Sorry, this code cannot read image rows longer than 3072 bytes\n"},
      {"24-bit size past 2 GB", spoiled(base, [](BmpFile& f) { f.width = 1024, f.height = 699051; }),
       "Sorry, this code cannot read images of more than 2 GB of pixels\n"},
      {"8-bit size past 2 GB",
       spoiled(indexedFile(4, 2), [](BmpFile& f) { f.width = 1000, f.height = 715828; }),
       "Sorry, this code cannot read images of more than 2 GB of pixels\n"},
      {"largest height", spoiled(base, [](BmpFile& f) { f.height = 0x7fffffff; }),
       "Sorry, this code cannot read images of more than 2 GB of pixels\n"},
  };

  ASSERT_EQ(load(write("good.bmp", good)), "");
  const uint8_t* buffer = image.pixels;
  const std::vector<uint8_t> pixels = pixelsOf(image, 30);

  std::string missing = dir + "/no_such_file.bmp";
  bool ok = true;
  EXPECT_EQ(load(missing, &ok), "Could not open file '" + missing + "'\n");
  EXPECT_FALSE(ok);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ok = true;
    EXPECT_EQ(load(write("bad.bmp", c.bytes), &ok), c.message);
    EXPECT_FALSE(ok);
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.height, 2);
    ASSERT_EQ(image.pixels, buffer);
    EXPECT_EQ(pixelsOf(image, 30), pixels);
  }
}

TEST_F(BmpReaderTest, ColorTableCutShortKeepsTheEntriesThatWereRead) {
  // Three entries, then the pixels: the table read runs on into the pixel bytes, which
  // is harmless, since the pixels are found again through the offset.
  BmpFile f = indexedFile(3, 1);
  f.colorTable.resize(12);
  f.rows = {2, 0, 1, 0};
  bool ok = false;
  EXPECT_EQ(load(write("short_table.bmp", f.bytes()), &ok), "");
  EXPECT_TRUE(ok);
  EXPECT_EQ(pixelsOf(image, 9), (std::vector<uint8_t>{2 ^ 0x5A, 253, 2, 0x5A, 255, 0, 1 ^ 0x5A, 254, 1}));

  // No table at all, and so no pixels either: both are reported, and the record
  // describes the new file.
  BmpFile bare = indexedFile(4, 2);
  bare.colorTable.clear();
  bare.rows.clear();
  EXPECT_EQ(load(write("no_table.bmp", bare.bytes()), &ok),
            "Error reading BMP Color Table\nError reading BMP pixels\n");
  EXPECT_FALSE(ok);
  EXPECT_EQ(image.width, 4);
  EXPECT_EQ(image.height, 2);
  EXPECT_NE(image.pixels, nullptr);
}

// Rows without padding are read in large blocks, padded rows one by one: both must
// keep exactly the whole rows before a cut, also when the cut falls in a later block.
TEST_F(BmpReaderTest, TruncatedPixelsKeepTheWholeRowsBeforeTheCut) {
  struct Cut {
    int width, height, wholeRows, extraBytes;
  };
  for (Cut cut : {Cut{4, 3, 2, 5}, Cut{5, 3, 2, 15}, Cut{3, 2, 1, 11}, Cut{1024, 200, 133, 3071}}) {
    SCOPED_TRACE("width " + std::to_string(cut.width));
    BmpFile f = trueColorFile(cut.width, cut.height);
    size_t storedRow = f.rows.size() / size_t(cut.height);
    f.rows.resize(storedRow * size_t(cut.wholeRows) + size_t(cut.extraBytes));
    bool ok = true;
    EXPECT_EQ(load(write("truncated.bmp", f.bytes()), &ok), "Error reading BMP pixels\n");
    EXPECT_FALSE(ok);
    EXPECT_EQ(image.width, cut.width);
    EXPECT_EQ(image.height, cut.height);
    ASSERT_NE(image.pixels, nullptr);
    EXPECT_TRUE(pixelsOf(image, size_t(cut.width) * 3 * size_t(cut.wholeRows)) ==
                expectedTrueColor(cut.width, cut.wholeRows));
  }

  // The same large picture whole: every block turned round, none twice.
  EXPECT_EQ(load(write("large.bmp", trueColorFile(1024, 200).bytes())), "");
  EXPECT_TRUE(pixelsOf(image, 1024 * 3 * 200) == expectedTrueColor(1024, 200));

  // An offset beyond the end of the file: not a single row.
  std::vector<uint8_t> bytes = trueColorFile(4, 1).bytes();
  bytes[10] = 0xff;
  bytes[11] = 0xff;
  EXPECT_EQ(load(write("far_offset.bmp", bytes)), "Error reading BMP pixels\n");
}

TEST_F(BmpReaderTest, TopDownFilesFailAsAnAllocationAndDropThePreviousPicture) {
  ASSERT_EQ(load(write("good.bmp", trueColorFile(4, 2).bytes())), "");
  BmpFile f = trueColorFile(4, 2);
  f.height = -2;
  bool ok = true;
  EXPECT_EQ(load(write("top_down.bmp", f.bytes()), &ok), "Error allocating pixel memory\n");
  EXPECT_FALSE(ok);
  EXPECT_EQ(image.width, 4);
  EXPECT_EQ(image.height, -2);
  EXPECT_EQ(image.pixels, nullptr);

  // The most negative height too: its size would wrap to a small positive number.
  f.height = INT32_MIN;
  EXPECT_EQ(load(write("top_down.bmp", f.bytes())), "Error allocating pixel memory\n");
  EXPECT_EQ(image.pixels, nullptr);
}

TEST_F(BmpReaderTest, EmptyPicturesLoadWithoutReadingRows) {
  for (auto [width, height] : {std::pair<int, int>{0, 0}, {0, 5}, {5, 0}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    BmpFile f = trueColorFile(width, height);
    bool ok = false;
    EXPECT_EQ(load(write("empty.bmp", f.bytes()), &ok), "");
    EXPECT_TRUE(ok);
    EXPECT_EQ(image.width, width);
    EXPECT_EQ(image.height, height);
  }
}

}  // namespace

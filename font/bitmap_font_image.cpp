// bitmap_font_image.cpp -- the picture inside a bitmap font file: its big-endian header,
// raw or run-length encoded rows, one plane per channel, decoded into RGBA pixels; and
// the mask made from those pixels.
//
// Supported: one byte per channel value (the bytes-per-channel field is not looked at),
// 1 to 65535 channels of which the first four are used, sides of 1 to 16384 pixels and
// at most 2^24 pixels. Everything the header, the row tables and the rows claim is
// checked against the real size of the file before it is allocated or read: a picture
// whose rows would lie outside the file, a compressed row that would expand beyond the
// row's width, or one whose packets run past the row's own length, is refused. Running
// out of memory for the header record, the row tables or the scratch row -- all sized
// from what the file really holds -- ends the program with "Out of memory!".
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "font/bitmap_font.h"

namespace {

constexpr size_t kHeaderFieldBytes = 12;       // the six 16-bit fields the reader uses
constexpr size_t kScratchBytesPerPixel = 256;  // a compressed row may take up to 256 x the row width

[[noreturn]] void outOfMemory() {
  std::fputs("Out of memory!\n", stderr);
  std::exit(1);
}

// Moves to offset unless the file already stands there (a seek costs a system call
// even within the stream's buffer, and most rows follow the one read before).
bool seekTo(FILE* file, uint64_t offset) {
  if (offset > uint64_t(LONG_MAX)) return false;
  if (std::ftell(file) == long(offset)) return true;
  return std::fseek(file, long(offset), SEEK_SET) == 0;
}

// The file's size, or -1; leaves the position at `restore`.
long fileSize(FILE* file, long restore) {
  if (std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long size = std::ftell(file);
  if (std::fseek(file, restore, SEEK_SET) != 0) return -1;
  return size;
}

// Expands the packets of one compressed row into `out` (width bytes). False if a
// packet would write beyond the width, or the row's bytes end before its terminator.
bool expandRow(const uint8_t* packets, size_t length, uint8_t* out, size_t width) {
  size_t in = 0, written = 0;
  for (;;) {
    if (in >= length) return false;
    const uint8_t control = packets[in++];
    const size_t count = control & 0x7F;
    if (count == 0) return true;
    if (count > width - written) return false;
    if (control & 0x80) {
      if (count > length - in) return false;
      std::memcpy(out + written, packets + in, count);
      in += count;
    } else {
      if (in >= length) return false;
      std::memset(out + written, packets[in++], count);
    }
    written += count;
  }
}

// Puts one channel's row into byte `Target` of each RGBA pixel; with Target -1, a grey
// row into red, green and blue. (A constant target lets the compiler vectorise.)
template <int Target>
void scatterRow(const uint8_t* row, uint8_t* out, size_t width) {
  for (size_t x = 0; x < width; x++) {
    if (Target < 0) {
      out[x * 4] = out[x * 4 + 1] = out[x * 4 + 2] = row[x];
    } else {
      out[x * 4 + Target] = row[x];
    }
  }
}

}  // namespace

void fromBigEndian16(uint16_t* values, size_t count) {
  for (size_t i = 0; i < count; i++) {
    uint8_t bytes[2];
    std::memcpy(bytes, &values[i], 2);
    values[i] = uint16_t(bytes[0] * 256 + bytes[1]);
  }
}

void fromBigEndian32(uint32_t* values, size_t count) {
  for (size_t i = 0; i < count; i++) {
    uint8_t bytes[4];
    std::memcpy(bytes, &values[i], 4);
    values[i] = uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
  }
}

FontImage* openFontImage(FILE* file) {
  if (!file) return nullptr;
  const long start = std::ftell(file);
  if (start < 0) return nullptr;
  const long size = fileSize(file, start);
  if (size < start) return nullptr;
  const uint64_t imageSize = uint64_t(size - start);
  if (imageSize < uint64_t(FONT_IMAGE_HEADER_SIZE)) return nullptr;

  // The fields are converted byte by byte, so this is right on any host.
  uint16_t fields[kHeaderFieldBytes / 2];
  if (std::fread(fields, 1, kHeaderFieldBytes, file) != kHeaderFieldBytes) return nullptr;
  fromBigEndian16(fields, kHeaderFieldBytes / 2);
  const uint64_t width = fields[3], height = fields[4], channels = fields[5];
  if (width == 0 || height == 0 || channels == 0) return nullptr;
  if (width > FONT_IMAGE_MAX_SIDE || height > FONT_IMAGE_MAX_SIDE) return nullptr;
  if (width * height > FONT_IMAGE_MAX_PIXELS) return nullptr;
  const bool runLength = (fields[1] >> 8) == FONT_IMAGE_RUN_LENGTH;
  // At most 2^24 pixels x 65535 channels, or 2^28 table entries x 8: no overflow in 64 bits.
  const uint64_t rowCount = height * channels;
  const uint64_t needed = runLength ? rowCount * 8 : rowCount * width;
  if (needed > imageSize - FONT_IMAGE_HEADER_SIZE) return nullptr;

  std::unique_ptr<FontImage> image(new (std::nothrow) FontImage);
  if (!image) outOfMemory();
  image->magic = fields[0];
  image->storage = fields[1];
  image->dimension = fields[2];
  image->imageWidth = fields[3];
  image->imageHeight = fields[4];
  image->channelCount = fields[5];
  image->file = file;
  image->imageStart = start;
  image->imageSize = imageSize;
  if (!runLength) return image.release();

  image->rowOffsets.reset(new (std::nothrow) uint32_t[rowCount]);
  image->rowLengths.reset(new (std::nothrow) int32_t[rowCount]);
  if (!image->rowOffsets || !image->rowLengths) outOfMemory();
  if (!seekTo(file, uint64_t(start) + FONT_IMAGE_HEADER_SIZE)) return nullptr;
  if (std::fread(image->rowOffsets.get(), 4, rowCount, file) != rowCount) return nullptr;
  if (std::fread(image->rowLengths.get(), 4, rowCount, file) != rowCount) return nullptr;
  fromBigEndian32(image->rowOffsets.get(), rowCount);
  fromBigEndian32(reinterpret_cast<uint32_t*>(image->rowLengths.get()), rowCount);

  image->scratchSize = size_t(width) * kScratchBytesPerPixel;
  for (uint64_t i = 0; i < rowCount; i++) {
    const int32_t length = image->rowLengths[i];
    if (length < 0 || uint64_t(length) > image->scratchSize) return nullptr;
    if (image->rowOffsets[i] > imageSize || uint64_t(length) > imageSize - image->rowOffsets[i])
      return nullptr;
  }
  image->rowScratch.reset(new (std::nothrow) uint8_t[image->scratchSize]);
  if (!image->rowScratch) outOfMemory();
  return image.release();
}

void closeFontImage(FontImage* image) { delete image; }

int readImageRow(FontImage* image, uint8_t* buffer, int y, int z) {
  if (!image || !buffer) return -1;
  if (y < 0 || y >= image->imageHeight || z < 0 || z >= image->channelCount) return -1;
  const size_t width = image->imageWidth;
  const uint64_t index = uint64_t(y) + uint64_t(z) * image->imageHeight;
  if (!image->rowOffsets) {
    const uint64_t offset = FONT_IMAGE_HEADER_SIZE + width * index;
    if (!seekTo(image->file, uint64_t(image->imageStart) + offset)) return -1;
    return std::fread(buffer, 1, width, image->file) == width ? 0 : -1;
  }
  const size_t length = size_t(image->rowLengths[index]);
  if (!seekTo(image->file, uint64_t(image->imageStart) + image->rowOffsets[index])) return -1;
  if (std::fread(image->rowScratch.get(), 1, length, image->file) != length) return -1;
  return expandRow(image->rowScratch.get(), length, buffer, width) ? 0 : -1;
}

std::unique_ptr<uint8_t[]> decodeFontImage(FILE* file, int32_t* twidth, int32_t* theight, int32_t* tcomp) {
  std::unique_ptr<FontImage, void (*)(FontImage*)> image(openFontImage(file), closeFontImage);
  if (twidth) *twidth = image ? image->imageWidth : 0;
  if (theight) *theight = image ? image->imageHeight : 0;
  if (tcomp) *tcomp = image ? image->channelCount : 0;
  if (!image) return nullptr;

  const size_t width = image->imageWidth, height = image->imageHeight;
  const int channels = image->channelCount;
  std::unique_ptr<uint8_t[]> pixels(new (std::nothrow) uint8_t[width * height * 4]);
  // One row buffer per channel read. Zeroed, so that a row shorter than the width
  // leaves black; a short row keeps what the row below left in its channel's buffer.
  std::unique_ptr<uint8_t[]> rows(new (std::nothrow) uint8_t[width * 4]());
  if (!pixels || !rows) return nullptr;
  if (channels == 1 || channels == 3) {  // opaque: no alpha channel is read
    for (size_t i = 3; i < width * height * 4; i += 4) pixels[i] = 255;
  }

  // Channel by channel, each plane's rows bottom to top: the order the rows lie in the
  // file, so the reads run forwards. Each channel goes into the pixel bytes it fills:
  // grey into red, green and blue; with two channels the second is alpha.
  const int planes = channels < 4 ? channels : 4;
  for (int z = 0; z < planes; z++) {
    uint8_t* row = rows.get() + width * size_t(z);
    const int target = channels < 3 ? (z == 0 ? -1 : 3) : z;
    for (size_t y = 0; y < height; y++) {
      if (readImageRow(image.get(), row, int(y), z)) return nullptr;
      uint8_t* out = pixels.get() + y * width * 4;
      switch (target) {
        case -1:
          scatterRow<-1>(row, out, width);
          break;
        case 0:
          scatterRow<0>(row, out, width);
          break;
        case 1:
          scatterRow<1>(row, out, width);
          break;
        case 2:
          scatterRow<2>(row, out, width);
          break;
        default:
          scatterRow<3>(row, out, width);
          break;
      }
    }
  }
  return pixels;
}

std::unique_ptr<uint8_t[]> makeMaskImage(const uint8_t* pixels, int width, int height) {
  if (!pixels || width < 0 || height < 0) return nullptr;
  const uint64_t count = uint64_t(width) * uint64_t(height);
  if (count > SIZE_MAX / 4) return nullptr;
  std::unique_ptr<uint8_t[]> mask(new (std::nothrow) uint8_t[size_t(count) * 4]);
  if (!mask) return nullptr;
  for (size_t i = 0; i < count; i++) {
    const uint8_t* in = pixels + i * 4;
    const uint8_t value = (in[0] | in[1] | in[2]) == 0 ? 255 : 0;
    uint8_t* out = mask.get() + i * 4;
    out[0] = out[1] = out[2] = value;
    out[3] = 0;
  }
  return mask;
}

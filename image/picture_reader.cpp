// picture_reader.cpp -- decodes the game's Windows bitmap pictures.
//
// Supported subset: the 'BM' file header; an information record read as its first
// 40 bytes whatever its declared size (the pixels are found through the file
// header's offset); 8 bits per pixel with a 256-entry colour table read from file
// offset 54, or 24 bits per pixel; no compression; bottom-up rows (positive height)
// of at most 3072 bytes including padding; a non-negative width; and width x height
// x 3 within a signed 32-bit size. Anything else is refused with a message before a
// single pixel row is read. The working buffers below have fixed sizes and every
// read and write stays inside them.
#include "image/picture_reader.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#endif

bool swapHeaderBytes = false;

// The file header after the two magic bytes.
struct FileHeader {
  uint32_t Size;        // file size; not checked
  uint8_t reserved[4];  // ignored
  uint32_t Offset;      // file offset of the first pixel row
};

// The first 40 bytes of the information record.
struct Info {
  uint32_t HeaderSize;  // declared record size; not checked
  int32_t Width;
  int32_t Height;  // positive: rows run bottom-up
  uint16_t NumberColorPlanes;
  uint16_t BitsPerPixel;
  uint32_t CompressionType;
  uint8_t rest[20];  // image size, resolutions, colours used, important colours: ignored
};

static_assert(sizeof(FileHeader) == 12, "the file header is read as one 12-byte item");
static_assert(sizeof(Info) == 40, "the information record is read as one 40-byte item");

static constexpr size_t COLOR_TABLE_ENTRIES = 256;
static constexpr size_t ROW_BUFFER_BYTES = 3072;
static constexpr uint64_t PIXEL_BYTES_LIMIT = INT32_MAX;
static constexpr size_t DIRECT_READ_BYTES = 1 << 18;  // a multiple of FileBuffer, so reads bypass it

static uint8_t MagicNumber[2];
static uint8_t ColorTable[COLOR_TABLE_ENTRIES * 4];  // blue, green, red, reserved per entry
static uint8_t PixelRow[ROW_BUFFER_BYTES];           // one padded row as stored in the file
static char FileBuffer[1 << 16];                     // the stream's buffer while a file is read

// The colour table as packed red, green, blue, 0 words (in memory order), ready to
// be stored whole (see convertIndexedRow).
static uint32_t packedColors[COLOR_TABLE_ENTRIES];

static void say(const char* line) { std::fputs(line, stdout); }

void probeByteOrder() {
  uint16_t probe = 1;
  uint8_t firstByte;
  std::memcpy(&firstByte, &probe, 1);
  swapHeaderBytes = firstByte == 0;
}

void swap16(void* field) {
  uint8_t* b = static_cast<uint8_t*>(field);
  uint8_t t = b[0];
  b[0] = b[1];
  b[1] = t;
}

void swap32(void* field) {
  uint8_t* b = static_cast<uint8_t*>(field);
  uint8_t t = b[0];
  b[0] = b[3];
  b[3] = t;
  t = b[1];
  b[1] = b[2];
  b[2] = t;
}

void releaseBmp(BmpImage& image) {
  std::free(image.pixels);
  image.pixels = nullptr;
  image.width = 0;
  image.height = 0;
}

// Builds packedColors from ColorTable so that storing the word in memory order gives
// red, green, blue, 0 on either byte order.
static void packColorTable() {
  for (size_t i = 0; i < COLOR_TABLE_ENTRIES; i++) {
    const uint8_t rgb0[4] = {ColorTable[4 * i + 2], ColorTable[4 * i + 1], ColorTable[4 * i], 0};
    std::memcpy(&packedColors[i], rgb0, 4);
  }
}

// 8-bit row: each byte indexes the colour table.
static void convertIndexedRow(const uint8_t* in, uint8_t* out, size_t width) {
  size_t x = 0;
  if (!swapHeaderBytes) {
    // Little-endian host: the packed colours are the values R | G<<8 | B<<16; four of
    // them are merged in registers into 8 + 4 bytes and stored at once.
    for (; x + 4 <= width; x += 4, out += 12) {
      uint64_t c0 = packedColors[in[x]], c1 = packedColors[in[x + 1]];
      uint64_t c2 = packedColors[in[x + 2]];
      uint32_t c3 = packedColors[in[x + 3]];
      uint64_t low = c0 | c1 << 24 | c2 << 48;
      uint32_t high = uint32_t(c2 >> 16) | c3 << 8;
      std::memcpy(out, &low, 8);
      std::memcpy(out + 8, &high, 4);
    }
  }
  for (; x < width; x++, out += 3) std::memcpy(out, &packedColors[in[x]], 3);
}

#if defined(__x86_64__) || defined(__i386__)
// Five pixels per 16-byte shuffle. Loads and stores stop while six pixels remain, so
// neither runs past the row; the sixteenth byte is stored as it was loaded, so that
// rows may be turned round in place. Each group is loaded before the group ahead of
// it is stored, so that no load waits on an overlapping store. Returns the number of
// pixels done.
__attribute__((target("ssse3"))) static size_t swapRedBlueByShuffle(const uint8_t* in, uint8_t* out,
                                                                    size_t width) {
  if (width < 6) return 0;
  const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
  __m128i group = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  size_t x = 0;
  for (; x + 11 <= width; x += 5) {
    __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 3 * x + 15));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * x), _mm_shuffle_epi8(group, order));
    group = next;
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 3 * x), _mm_shuffle_epi8(group, order));
  return x + 5;
}

static bool detectShuffle() {
  __builtin_cpu_init();  // may run before the run-time library's own constructors
  return __builtin_cpu_supports("ssse3");
}

static const bool hostHasShuffle = detectShuffle();
#endif

// 24-bit row: blue, green, red groups become red, green, blue. in may equal out.
static void convertTrueColorRow(const uint8_t* in, uint8_t* out, size_t width) {
  size_t x = 0;
#if defined(__x86_64__) || defined(__i386__)
  if (hostHasShuffle) x = swapRedBlueByShuffle(in, out, width);
#endif
  for (; x < width; x++) {
    uint8_t blue = in[3 * x], green = in[3 * x + 1], red = in[3 * x + 2];
    out[3 * x] = red;
    out[3 * x + 1] = green;
    out[3 * x + 2] = blue;
  }
}

// Reads an opened file into image; prints one line per problem.
static bool readPicture(FILE* file, BmpImage& image) {
  MagicNumber[0] = MagicNumber[1] = 0;
  if (std::fread(MagicNumber, 2, 1, file) != 1 || MagicNumber[0] != 'B' || MagicNumber[1] != 'M') {
    say("Error reading BMP file, file type incorrect\n");
    return false;
  }

  FileHeader header{};
  size_t headerRead = std::fread(&header, sizeof header, 1, file);
  if (swapHeaderBytes) {
    swap32(&header.Size);
    swap32(&header.Offset);
  }
  if (headerRead != 1) {
    say("Error reading BMP file header\n");
    return false;
  }

  Info info{};
  size_t infoRead = std::fread(&info, sizeof info, 1, file);
  if (swapHeaderBytes) {
    swap32(&info.HeaderSize);
    swap32(&info.Width);
    swap32(&info.Height);
    swap32(&info.CompressionType);
    swap16(&info.NumberColorPlanes);
    swap16(&info.BitsPerPixel);
  }
  if (infoRead != 1) {
    say("Error reading BMP Information record\n");
    return false;
  }

  if (info.CompressionType != 0) {
    say("Sorry, this code cannot read compressed image files\n");
    return false;
  }

  size_t colorTableSize, bytesPerPixel;
  if (info.BitsPerPixel == 8) {
    colorTableSize = COLOR_TABLE_ENTRIES;
    bytesPerPixel = 1;
  } else if (info.BitsPerPixel == 24) {
    colorTableSize = 0;
    bytesPerPixel = 3;
  } else {
    say("Sorry, this code can only read 8 bit or 24 bit image files\n");
    return false;
  }

  // The geometry is checked before the record is touched, so a refused file leaves
  // the previous picture in place, like the header errors above.
  if (info.Width < 0) {
    say("Sorry, this code cannot read images with a negative width\n");
    return false;
  }
  uint64_t bytesPerRow = uint64_t(info.Width) * bytesPerPixel;
  if (bytesPerRow % 4 != 0) bytesPerRow = bytesPerRow - bytesPerRow % 4 + 4;
  if (bytesPerRow > ROW_BUFFER_BYTES) {
    say("Sorry, this code cannot read image rows longer than 3072 bytes\n");
    return false;
  }
  if (info.Height > 0 && uint64_t(info.Width) * uint64_t(info.Height) * 3 > PIXEL_BYTES_LIMIT) {
    say("Sorry, this code cannot read images of more than 2 GB of pixels\n");
    return false;
  }

  bool complete = true;
  if (colorTableSize != 0) {
    // Entries the file does not hold stay black.
    std::memset(ColorTable, 0, sizeof ColorTable);
    if (std::fread(ColorTable, 4, colorTableSize, file) == 0) {
      say("Error reading BMP Color Table\n");
      complete = false;
    }
    packColorTable();
  }

  // From here on the record describes this file. The buffer of the picture before is
  // no longer needed: it has been uploaded, or the caller never wanted it.
  std::free(image.pixels);
  image.pixels = nullptr;
  image.width = info.Width;
  image.height = info.Height;
  if (info.Height < 0) {
    // A top-down file: its negative size is never handed to the allocator.
    say("Error allocating pixel memory\n");
    return false;
  }
  size_t pixelBytes = size_t(info.Width) * size_t(info.Height) * 3;
  image.pixels = static_cast<uint8_t*>(std::malloc(pixelBytes != 0 ? pixelBytes : 1));
  if (image.pixels == nullptr) {
    say("Error allocating pixel memory\n");
    return false;
  }

  if (bytesPerRow == 0) return complete;  // no pixels to read
  if (std::fseek(file, long(header.Offset), SEEK_SET) != 0) {
    say("Error reading BMP pixels\n");
    return false;
  }
  size_t width = size_t(info.Width);
  size_t outRowBytes = width * 3;
  uint8_t* out = image.pixels;
  if (bytesPerPixel == 3 && bytesPerRow == outRowBytes) {
    // Unpadded 24-bit rows lie in the file exactly as they will lie in the picture:
    // they are read in large blocks straight into place, and each row is turned round
    // there as soon as it is whole, while it is still in the cache. A short read keeps
    // the whole rows it got. The blocks end at file offsets that are multiples of the
    // stream buffer's size, so the stream passes them on without copying them.
    size_t done = 0, rowsDone = 0;
    while (done < pixelBytes) {
      size_t position = size_t(header.Offset) + done;
      size_t wanted = std::min(DIRECT_READ_BYTES - position % DIRECT_READ_BYTES, pixelBytes - done);
      size_t got = std::fread(image.pixels + done, 1, wanted, file);
      done += got;
      for (; rowsDone < done / outRowBytes; rowsDone++, out += outRowBytes)
        convertTrueColorRow(out, out, width);
      if (got != wanted) {
        say("Error reading BMP pixels\n");
        return false;
      }
    }
    return complete;
  }
  for (uint32_t row = 0; row < uint32_t(info.Height); row++, out += outRowBytes) {
    if (std::fread(PixelRow, size_t(bytesPerRow), 1, file) != 1) {
      // Rows from here on keep whatever the allocator gave.
      say("Error reading BMP pixels\n");
      return false;
    }
    if (bytesPerPixel == 1)
      convertIndexedRow(PixelRow, out, width);
    else
      convertTrueColorRow(PixelRow, out, width);
  }
  return complete;
}

bool loadBmp(const char* path, BmpImage& image) {
  probeByteOrder();
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    std::printf("Could not open file '%s'\n", path);
    return false;
  }
  // Rows are read one at a time; a larger buffer saves most of the system calls.
  std::setvbuf(file, FileBuffer, _IOFBF, sizeof FileBuffer);
  bool ok = readPicture(file, image);
  std::fclose(file);
  return ok;
}

// bitmap_font_maker.cpp -- makes a bitmap font from a TrueType/OpenType font: renders
// the printable codes 32 to 126 and 160 to 255 (as Latin-1) with FreeType into one
// square picture, white glyphs on black, packed in rows from the bottom, and writes the
// 256 glyph records and the picture, raw or run-length encoded, with 1 to 8 channels.
// Codes without a glyph get an all-zero record.
//
// usage: zarnok-bitmap-font-maker [--size PIXELS] [--picture SIDE] [--channels N] [--raw]
//                                 [--name TEXT] FONT_FILE OUTPUT
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/common/bitmap_font_writer.h"

namespace fw = bitmap_font_writer;

namespace {

struct Options {
  int size = 32;      // pixel height FreeType renders at
  int picture = 512;  // side of the square picture
  int channels = 2;
  bool runLength = true;
  std::string name = "bitmap font";
  std::string fontFile, output;
};

// A wrong command line: one line on standard error, status 2.
[[noreturn]] void usage(const char* message) {
  std::fprintf(stderr, "zarnok-bitmap-font-maker: %s (see --help)\n", message);
  std::exit(2);
}

[[noreturn]] void printHelp() {
  std::printf(
      "usage: zarnok-bitmap-font-maker [--size PIXELS] [--picture SIDE] [--channels N] [--raw] [--name TEXT] "
      "FONT_FILE OUTPUT\n"
      "Makes a bitmap font from the TrueType or OpenType font FONT_FILE into OUTPUT.\n"
      "  --size PIXELS   glyph size in pixels, 4 to 512 (32)\n"
      "  --picture SIDE  side of the square font picture, 16 to 8192 (512)\n"
      "  --channels N    channels of the picture, 1 to 8 (2)\n"
      "  --raw, --rle    store the picture raw or run-length encoded (run-length encoded)\n"
      "  --name TEXT     the font name stored in the file (\"bitmap font\")\n");
  std::exit(0);
}

Options parseOptions(int argc, char** argv) {
  Options options;
  int positional = 0;
  for (int i = 1; i < argc; i++) {
    const std::string arg = argv[i];
    auto value = [&]() -> const char* {
      if (i + 1 >= argc) usage(("missing value after " + arg).c_str());
      return argv[++i];
    };
    if (arg == "--help") {
      printHelp();
    } else if (arg == "--size") {
      options.size = std::atoi(value());
    } else if (arg == "--picture") {
      options.picture = std::atoi(value());
    } else if (arg == "--channels") {
      options.channels = std::atoi(value());
    } else if (arg == "--raw") {
      options.runLength = false;
    } else if (arg == "--rle") {
      options.runLength = true;
    } else if (arg == "--name") {
      options.name = value();
    } else if (!arg.empty() && arg[0] == '-') {
      usage(("unknown option " + arg).c_str());
    } else if (positional == 0) {
      options.fontFile = arg;
      positional++;
    } else if (positional == 1) {
      options.output = arg;
      positional++;
    } else {
      usage("too many arguments");
    }
  }
  if (positional != 2) usage("a font file and an output file are needed");
  if (options.size < 4 || options.size > 512) usage("--size must be 4 to 512");
  if (options.picture < 16 || options.picture > 8192) usage("--picture must be 16 to 8192");
  if (options.channels < 1 || options.channels > 8) usage("--channels must be 1 to 8");
  return options;
}

bool hasGlyph(int code) { return (code >= 32 && code <= 126) || code >= 160; }

// Every channel carries the glyph's coverage: grey or RGB white on black, and the alpha
// channel (the second of two, the fourth of four) the same.
void putPixel(fw::PlanarPicture& picture, int x, int y, uint8_t coverage) {
  for (int z = 0; z < picture.channels; z++) picture.at(x, y, z) = coverage;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = parseOptions(argc, argv);
  FT_Library library;
  FT_Face face;
  if (FT_Init_FreeType(&library)) usage("FreeType does not start");
  if (FT_New_Face(library, options.fontFile.c_str(), 0, &face)) {
    std::fprintf(stderr, "zarnok-bitmap-font-maker: cannot read %s\n", options.fontFile.c_str());
    return 1;
  }
  FT_Set_Pixel_Sizes(face, 0, FT_UInt(options.size));
  const int ascent = int(face->size->metrics.ascender >> 6);
  const int descent = int(-face->size->metrics.descender >> 6);
  const int lineHeight = ascent + descent;
  const int side = options.picture;
  const int gap = 2;  // black pixels between cells, so filtering does not bleed

  fw::PlanarPicture picture(side, side, options.channels);
  fw::GlyphBox glyphs[256];
  int penX = gap, rowBottom = gap;
  for (int code = 0; code < 256; code++) {
    if (!hasGlyph(code)) continue;
    if (FT_Load_Char(face, FT_ULong(code), FT_LOAD_RENDER)) continue;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const int left = std::max(0, int(slot->bitmap_left));
    const int advance = int((slot->advance.x + 63) >> 6);
    const int cellWidth = std::max(advance, left + int(bitmap.width));
    if (penX + cellWidth + gap > side) {
      penX = gap;
      rowBottom += lineHeight + gap;
    }
    if (rowBottom + lineHeight + gap > side) {
      std::fprintf(stderr, "zarnok-bitmap-font-maker: the glyphs do not fit a %d x %d picture at size %d\n",
                   side, side, options.size);
      return 1;
    }
    // FreeType's rows run top down; the picture's row 0 is at the bottom.
    const int baseline = rowBottom + descent;
    for (int row = 0; row < int(bitmap.rows); row++) {
      const int y = baseline + slot->bitmap_top - 1 - row;
      if (y < rowBottom || y >= rowBottom + lineHeight) continue;
      for (int column = 0; column < int(bitmap.width); column++) {
        const uint8_t coverage = bitmap.buffer[row * bitmap.pitch + column];
        if (coverage) putPixel(picture, penX + left + column, y, coverage);
      }
    }
    glyphs[code] = {float(penX) / side, float(rowBottom) / side, float(cellWidth) / side,
                    float(lineHeight) / side};
    penX += cellWidth + gap;
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);

  const std::vector<uint8_t> bytes =
      fw::encodeFontFile(options.name, glyphs, fw::encodePicture(picture, options.runLength));
  if (!fw::writeFileBytes(options.output, bytes)) {
    std::fprintf(stderr, "zarnok-bitmap-font-maker: cannot write %s\n", options.output.c_str());
    return 1;
  }
  return 0;
}

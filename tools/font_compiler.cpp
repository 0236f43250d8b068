// font_compiler.cpp -- compiles a TrueType or OpenType font into a vector font file
// for the game's font library. Each glyph's outline is read with FreeType, flattened
// into straight segments, filled with triangles by GLU's tessellator and written with
// its contours one after another: origin at the glyph's horizontal centre, coordinates
// inside the -1..1 cell, every triangle counter-clockwise, at most 255 vertices,
// triangles and contours per glyph (a glyph that would exceed them is flattened more
// coarsely). Codes 32 to 126 and the Latin-1 letters the source has are compiled;
// characters without an outline (the space) get no record.
//
// zarnok-font-compiler [--height H] [--condense C] [--flatness F] [--name NAME] SOURCE OUTPUT
//   --height    cell units spanned by the font's descender-to-ascender height (2)
//   --condense  horizontal factor applied after scaling (1)
//   --flatness  largest distance, in cell units, of a flattened curve from the true one (0.01)
//   --name      the font name stored in the file (default: family and style)
#include <GL/glu.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifndef CALLBACK
#define CALLBACK
#endif

namespace {

constexpr int kMaxCount = 255;  // vertices, triangles and contours per glyph

struct Point {
  double x, y;
};
using Contour = std::vector<Point>;

struct Options {
  std::string source, output, name;
  double height = 2.0;
  double condense = 1.0;
  double flatness = 0.01;
};

struct CompiledGlyph {
  uint8_t code = 0;
  std::vector<Point> vertices;       // cell units, contour after contour
  std::vector<uint8_t> contourEnds;  // index of each contour's last vertex
  std::vector<uint8_t> facets;       // three vertex indices per triangle
};

// ---------------------------------------------------------------------------------
// Flattening: FreeType's outline walk, curves cut into straight pieces whose distance
// from the curve stays within the tolerance (in font units).

struct Flattener {
  double tolerance;
  std::vector<Contour> contours;
  Point last{0, 0};

  void lineTo(Point p) {
    contours.back().push_back(p);
    last = p;
  }
  static Point at(const FT_Vector* v) { return {double(v->x), double(v->y)}; }
  static double length(double x, double y) { return std::sqrt(x * x + y * y); }

  void conicTo(Point c, Point to) {
    const double bend = length(last.x - 2 * c.x + to.x, last.y - 2 * c.y + to.y);
    const int pieces = std::max(1, int(std::ceil(std::sqrt(bend / (4 * tolerance)))));
    const Point from = last;
    for (int i = 1; i <= pieces; i++) {
      const double t = double(i) / pieces, u = 1 - t;
      lineTo(
          {u * u * from.x + 2 * u * t * c.x + t * t * to.x, u * u * from.y + 2 * u * t * c.y + t * t * to.y});
    }
  }
  void cubicTo(Point c1, Point c2, Point to) {
    const double bend = std::max(length(last.x - 2 * c1.x + c2.x, last.y - 2 * c1.y + c2.y),
                                 length(c1.x - 2 * c2.x + to.x, c1.y - 2 * c2.y + to.y));
    const int pieces = std::max(1, int(std::ceil(std::sqrt(3 * bend / (4 * tolerance)))));
    const Point from = last;
    for (int i = 1; i <= pieces; i++) {
      const double t = double(i) / pieces, u = 1 - t;
      const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
      lineTo({a * from.x + b * c1.x + c * c2.x + d * to.x, a * from.y + b * c1.y + c * c2.y + d * to.y});
    }
  }
};

int moveToCallback(const FT_Vector* to, void* user) {
  auto* f = static_cast<Flattener*>(user);
  f->contours.emplace_back();
  f->lineTo(Flattener::at(to));
  return 0;
}
int lineToCallback(const FT_Vector* to, void* user) {
  static_cast<Flattener*>(user)->lineTo(Flattener::at(to));
  return 0;
}
int conicToCallback(const FT_Vector* control, const FT_Vector* to, void* user) {
  static_cast<Flattener*>(user)->conicTo(Flattener::at(control), Flattener::at(to));
  return 0;
}
int cubicToCallback(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  static_cast<Flattener*>(user)->cubicTo(Flattener::at(c1), Flattener::at(c2), Flattener::at(to));
  return 0;
}

double distanceToLine(Point p, Point a, Point b) {
  const double dx = b.x - a.x, dy = b.y - a.y, len = std::sqrt(dx * dx + dy * dy);
  if (len == 0) return std::sqrt((p.x - a.x) * (p.x - a.x) + (p.y - a.y) * (p.y - a.y));
  return std::fabs((p.x - a.x) * dy - (p.y - a.y) * dx) / len;
}

// Drops repeated points, the closing repeat of the first point, and points that lie
// within the tolerance of the line between their neighbours.
Contour simplify(const Contour& in, double tolerance) {
  Contour out;
  for (const Point& p : in) {
    if (out.empty() || p.x != out.back().x || p.y != out.back().y) out.push_back(p);
  }
  while (out.size() > 1 && out.front().x == out.back().x && out.front().y == out.back().y) out.pop_back();
  bool changed = true;
  while (changed && out.size() > 3) {
    changed = false;
    for (size_t i = 0; i < out.size() && out.size() > 3; i++) {
      const Point& before = out[(i + out.size() - 1) % out.size()];
      const Point& after = out[(i + 1) % out.size()];
      if (distanceToLine(out[i], before, after) < tolerance) {
        out.erase(out.begin() + long(i));
        changed = true;
      }
    }
  }
  return out.size() >= 3 ? out : Contour();
}

// ---------------------------------------------------------------------------------
// Triangulation with GLU's tessellator. The edge-flag callback makes it emit plain
// triangles; a vertex it would create where edges cross is snapped to the source
// vertex that weighs most, so the triangles index only the contours' own vertices.

struct Tessellation {
  std::vector<int> corners;
  bool failed = false;
};

void CALLBACK tessBegin(GLenum, void*) {}
void CALLBACK tessEdgeFlag(GLboolean, void*) {}
void CALLBACK tessEnd(void*) {}
void CALLBACK tessVertex(void* vertex, void* data) {
  static_cast<Tessellation*>(data)->corners.push_back(int(reinterpret_cast<intptr_t>(vertex)));
}
void CALLBACK tessCombine(GLdouble[3], void* sources[4], GLfloat weights[4], void** out, void*) {
  int best = 0;
  for (int i = 1; i < 4; i++) {
    if (sources[i] && weights[i] > weights[best]) best = i;
  }
  *out = sources[best];
}
void CALLBACK tessError(GLenum, void* data) { static_cast<Tessellation*>(data)->failed = true; }

bool triangulate(CompiledGlyph& glyph) {
  using Callback = void(CALLBACK*)();  // what gluTessCallback takes, on every system
  GLUtesselator* tess = gluNewTess();
  if (!tess) return false;
  gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<Callback>(tessBegin));
  gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<Callback>(tessVertex));
  gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<Callback>(tessEnd));
  gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<Callback>(tessEdgeFlag));
  gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<Callback>(tessCombine));
  gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<Callback>(tessError));
  gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
  gluTessNormal(tess, 0, 0, 1);

  std::vector<GLdouble> coordinates(glyph.vertices.size() * 3);  // alive until the polygon ends
  for (size_t j = 0; j < glyph.vertices.size(); j++) {
    coordinates[3 * j] = glyph.vertices[j].x;
    coordinates[3 * j + 1] = glyph.vertices[j].y;
    coordinates[3 * j + 2] = 0;
  }
  Tessellation result;
  gluTessBeginPolygon(tess, &result);
  size_t first = 0;
  for (uint8_t end : glyph.contourEnds) {
    gluTessBeginContour(tess);
    for (size_t j = first; j <= end; j++) {
      gluTessVertex(tess, &coordinates[3 * j], reinterpret_cast<void*>(intptr_t(j)));
    }
    gluTessEndContour(tess);
    first = size_t(end) + 1;
  }
  gluTessEndPolygon(tess);
  gluDeleteTess(tess);
  if (result.failed || result.corners.size() % 3 != 0) return false;

  glyph.facets.clear();
  for (size_t i = 0; i < result.corners.size(); i += 3) {
    int a = result.corners[i], b = result.corners[i + 1], c = result.corners[i + 2];
    const Point &pa = glyph.vertices[a], &pb = glyph.vertices[b], &pc = glyph.vertices[c];
    const double area = (pb.x - pa.x) * (pc.y - pa.y) - (pc.x - pa.x) * (pb.y - pa.y);
    if (std::fabs(area) < 1e-12) continue;  // nothing to fill
    if (area < 0) std::swap(b, c);          // front faces are counter-clockwise
    glyph.facets.insert(glyph.facets.end(), {uint8_t(a), uint8_t(b), uint8_t(c)});
  }
  return true;
}

// ---------------------------------------------------------------------------------
// One glyph: flatten at a tolerance, place in the cell, triangulate. Returns false
// when the glyph does not fit the record's limits at this tolerance.

enum class Fit { Done, TooBig, Empty, Failed };

Fit compileGlyph(const FT_Outline& outline, double scale, double middle, const Options& options,
                 double tolerance, CompiledGlyph& glyph) {
  Flattener flattener{tolerance / scale, {}, {0, 0}};
  FT_Outline_Funcs funcs = {moveToCallback, lineToCallback, conicToCallback, cubicToCallback, 0, 0};
  if (FT_Outline_Decompose(const_cast<FT_Outline*>(&outline), &funcs, &flattener) != 0) return Fit::Failed;

  std::vector<Contour> contours;
  size_t vertexTotal = 0;
  for (const Contour& c : flattener.contours) {
    Contour simple = simplify(c, tolerance / scale / 2);
    if (simple.empty()) continue;
    vertexTotal += simple.size();
    contours.push_back(std::move(simple));
  }
  if (contours.empty()) return Fit::Empty;
  if (vertexTotal > kMaxCount || contours.size() > kMaxCount) return Fit::TooBig;

  double xMin = 1e300, xMax = -1e300;
  for (const Contour& c : contours) {
    for (const Point& p : c) {
      xMin = std::min(xMin, p.x);
      xMax = std::max(xMax, p.x);
    }
  }
  const double centre = (xMin + xMax) / 2;
  glyph.vertices.clear();
  glyph.contourEnds.clear();
  double widest = 0, tallest = 0;
  for (const Contour& c : contours) {
    for (const Point& p : c) {
      const Point cell{(p.x - centre) * scale * options.condense, (p.y - middle) * scale};
      widest = std::max(widest, std::fabs(cell.x));
      tallest = std::max(tallest, std::fabs(cell.y));
      glyph.vertices.push_back(cell);
    }
    glyph.contourEnds.push_back(uint8_t(glyph.vertices.size() - 1));
  }
  // A glyph that would leave the cell is shrunk into it on that axis.
  for (Point& p : glyph.vertices) {
    if (widest > 1) p.x /= widest;
    if (tallest > 1) p.y /= tallest;
  }
  if (!triangulate(glyph)) return Fit::Failed;
  return glyph.facets.size() / 3 > kMaxCount ? Fit::TooBig : Fit::Done;
}

void appendFloat(std::vector<uint8_t>& out, double value) {
  const float f = float(value);
  uint32_t bits;
  std::memcpy(&bits, &f, 4);
  for (int i = 0; i < 4; i++) out.push_back(uint8_t(bits >> (8 * i)));  // little-endian
}

bool writeFontFile(const std::string& path, const std::string& name,
                   const std::vector<CompiledGlyph>& glyphs) {
  std::vector<uint8_t> out = {'G', 'L', 'F'};
  std::vector<uint8_t> nameBytes(96, 0);
  std::memcpy(nameBytes.data(), name.data(), std::min<size_t>(name.size(), 96));
  out.insert(out.end(), nameBytes.begin(), nameBytes.end());
  out.push_back(uint8_t(glyphs.size()));
  out.insert(out.end(), 28, 0);
  for (const CompiledGlyph& g : glyphs) {
    out.insert(out.end(), {g.code, uint8_t(g.vertices.size()), uint8_t(g.facets.size() / 3),
                           uint8_t(g.contourEnds.size())});
    for (const Point& p : g.vertices) {
      appendFloat(out, p.x);
      appendFloat(out, p.y);
    }
    out.insert(out.end(), g.facets.begin(), g.facets.end());
    out.insert(out.end(), g.contourEnds.begin(), g.contourEnds.end());
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && written;
}

bool isLatin1Letter(int code) { return code >= 0xC0 && code != 0xD7 && code != 0xF7; }

// A wrong command line: one line on standard error, status 2.
int usage(const std::string& problem) {
  std::fprintf(stderr, "zarnok-font-compiler: %s (see --help)\n", problem.c_str());
  return 2;
}

void printHelp() {
  std::printf(
      "usage: zarnok-font-compiler [--height H] [--condense C] [--flatness F] [--name NAME] SOURCE OUTPUT\n"
      "Compiles the TrueType or OpenType font SOURCE into the vector font file OUTPUT.\n"
      "  --height H    cell units spanned by the font's descender-to-ascender height (2)\n"
      "  --condense C  horizontal factor applied after scaling (1)\n"
      "  --flatness F  largest distance, in cell units, of a flattened curve from the true one (0.01)\n"
      "  --name NAME   the font name stored in the file (default: family and style)\n");
}

bool parseNumber(const char* text, double* value) {
  char* end = nullptr;
  *value = std::strtod(text, &end);
  return end != text && *end == 0 && std::isfinite(*value) && *value > 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::vector<std::string> files;
  for (int i = 1; i < argc; i++) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    const bool takesValue =
        arg == "--height" || arg == "--condense" || arg == "--flatness" || arg == "--name";
    if (arg == "--help") {
      printHelp();
      return 0;
    } else if (takesValue && !hasValue) {
      return usage("missing value after " + arg);
    } else if (arg == "--height") {
      if (!parseNumber(argv[++i], &options.height)) return usage("--height must be a positive number");
    } else if (arg == "--condense") {
      if (!parseNumber(argv[++i], &options.condense)) return usage("--condense must be a positive number");
    } else if (arg == "--flatness") {
      if (!parseNumber(argv[++i], &options.flatness)) return usage("--flatness must be a positive number");
    } else if (arg == "--name") {
      options.name = argv[++i];
    } else if (arg.rfind("-", 0) == 0) {
      return usage("unknown option " + arg);
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 2) return usage("give a SOURCE font and an OUTPUT file");
  options.source = files[0];
  options.output = files[1];

  FT_Library library;
  if (FT_Init_FreeType(&library) != 0) {
    std::fprintf(stderr, "zarnok-font-compiler: cannot start FreeType\n");
    return 1;
  }
  FT_Face face;
  if (FT_New_Face(library, options.source.c_str(), 0, &face) != 0) {
    std::fprintf(stderr, "zarnok-font-compiler: cannot read '%s' as a TrueType or OpenType font\n",
                 options.source.c_str());
    FT_Done_FreeType(library);
    return 1;
  }
  if (!FT_IS_SCALABLE(face) || face->ascender <= face->descender) {
    std::fprintf(stderr, "zarnok-font-compiler: '%s' has no scalable outlines\n", options.source.c_str());
    FT_Done_FreeType(library);
    return 1;
  }
  FT_Select_Charmap(face, FT_ENCODING_UNICODE);
  const double scale = options.height / double(face->ascender - face->descender);
  const double middle = (double(face->ascender) + double(face->descender)) / 2;
  if (options.name.empty()) {
    options.name = std::string(face->family_name ? face->family_name : "") +
                   (face->style_name ? std::string(" ") + face->style_name : "");
  }

  std::vector<CompiledGlyph> glyphs;
  for (int code = 32; code < 256; code++) {
    if (code > 126 && !isLatin1Letter(code)) continue;
    const FT_UInt index = FT_Get_Char_Index(face, FT_ULong(code));
    if (index == 0) continue;
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0 ||
        face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
      std::fprintf(stderr, "zarnok-font-compiler: skipping character %d: no outline\n", code);
      continue;
    }
    CompiledGlyph glyph;
    glyph.code = uint8_t(code);
    Fit fit = Fit::TooBig;
    for (double tolerance = options.flatness; fit == Fit::TooBig && tolerance < 1; tolerance *= 1.5) {
      fit = compileGlyph(face->glyph->outline, scale, middle, options, tolerance, glyph);
    }
    if (fit == Fit::Empty) continue;  // the space and other blank characters
    if (fit != Fit::Done) {
      std::fprintf(stderr, "zarnok-font-compiler: skipping character %d: %s\n", code,
                   fit == Fit::TooBig ? "too many contours" : "cannot be triangulated");
      continue;
    }
    glyphs.push_back(std::move(glyph));
  }
  FT_Done_Face(face);
  FT_Done_FreeType(library);

  if (glyphs.empty()) {
    std::fprintf(stderr, "zarnok-font-compiler: '%s' has no usable glyphs\n", options.source.c_str());
    return 1;
  }
  if (!writeFontFile(options.output, options.name, glyphs)) {
    std::fprintf(stderr, "zarnok-font-compiler: cannot write '%s'\n", options.output.c_str());
    return 1;
  }
  return 0;
}

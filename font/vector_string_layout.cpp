// vector_string_layout.cpp -- places the glyphs of a string in the current vector font
// one after the other along the writing direction (with the registry's spacing,
// centring and rotation) and hands each character to a glyph drawer; and measures
// strings for left-to-right text.
#include <GL/gl.h>

#include <cmath>
#include <cstring>

#include "font/font_library.h"

namespace {

const VectorFont* fontInSlot(int32_t index) {
  if (index < 0 || index >= FONT_SLOT_COUNT) return nullptr;
  return fontRegistry.fonts[index].get();
}

// One string in one font: which characters are laid out as glyphs, and the step from
// one character's origin to the next.
class StringLayout {
 public:
  StringLayout(const VectorFont& font, const char* text, int32_t direction)
      : font_(font), text_(text), length_(std::strlen(text)), direction_(direction) {}

  size_t length() const { return length_; }
  bool isSpace(size_t i) const { return text_[i] == ' '; }
  const VectorGlyph* glyphOf(size_t i) const {
    return font_.symbols[static_cast<unsigned char>(text_[i])].get();
  }
  // The glyph a character is laid out as; null for a space or a character without one.
  const VectorGlyph* laidOutGlyph(size_t i) const { return isSpace(i) ? nullptr : glyphOf(i); }
  // +1 when the writing direction runs along a positive axis, -1 otherwise.
  float sense() const { return direction_ == DIRECTION_RIGHT || direction_ == DIRECTION_UP ? 1.0f : -1.0f; }

  // The signed length used for centring.
  float signedLength() const {
    float distance = 0;
    for (size_t i = 0; i < length_; i++) {
      const VectorGlyph* c = laidOutGlyph(i);
      const bool hasNext = i + 1 < length_;
      if (!c) {
        distance += sense() * fontRegistry.spaceSize;
      } else if (hasNext && isSpace(i + 1)) {
        distance += sense() * fontRegistry.symbolSpace;
      } else if (const VectorGlyph* d = hasNext ? glyphOf(i + 1) : nullptr) {
        const float gap = direction_ == DIRECTION_RIGHT || direction_ == DIRECTION_LEFT
                              ? std::fabs(c->right) + std::fabs(d->left) + fontRegistry.symbolSpace
                              : std::fabs(c->bottom) + std::fabs(c->top) + fontRegistry.symbolSpace;
        distance += sense() * gap;
      }
    }
    return distance;
  }

  // The distance from character i's origin to the next one's; false for no move.
  bool step(size_t i, float* amount) const {
    const VectorGlyph* c = laidOutGlyph(i);
    const bool hasNext = i + 1 < length_;
    if (!c) {
      *amount = fontRegistry.spaceSize;
      return true;
    }
    if (hasNext && isSpace(i + 1)) {
      *amount = fontRegistry.symbolSpace;
      return true;
    }
    const VectorGlyph* d = hasNext ? glyphOf(i + 1) : nullptr;
    if (!d) return false;
    const float space = fontRegistry.symbolSpace;
    switch (direction_) {
      case DIRECTION_RIGHT:
        *amount = std::fabs(c->right) + std::fabs(d->left) + space;
        break;
      case DIRECTION_LEFT:
        *amount = std::fabs(d->right) + std::fabs(c->left) + space;
        break;
      case DIRECTION_UP:
        *amount = std::fabs(c->top) + std::fabs(d->bottom) + space;
        break;
      default:
        *amount = std::fabs(c->bottom) + std::fabs(d->top) + space;
        break;
    }
    return true;
  }

 private:
  const VectorFont& font_;
  const char* text_;
  size_t length_;
  int32_t direction_;
};

// One translation by amount along the writing axis (amount already signed).
void moveAlong(int32_t direction, float amount) {
  if (direction == DIRECTION_RIGHT || direction == DIRECTION_LEFT) {
    glTranslatef(amount, 0, 0);
  } else {
    glTranslatef(0, amount, 0);
  }
}

}  // namespace

void layoutString(const char* text, GlyphDrawer drawer) {
  if (!text || !*text) return;
  const VectorFont* font = fontInSlot(fontRegistry.currentFont);
  if (!font) return;
  const int32_t direction = fontRegistry.direction;
  if (direction < DIRECTION_RIGHT || direction > DIRECTION_DOWN) return;  // no writing axis yet

  const StringLayout layout(*font, text, direction);
  const float distance = fontRegistry.centered ? layout.signedLength() : 0.0f;

  glPushMatrix();
  if (fontRegistry.rotation != 0) glRotatef(fontRegistry.rotation, 0, 0, 1);

  if (fontRegistry.centered) {
    switch (direction) {
      case DIRECTION_RIGHT:
        glTranslatef(-distance / 2, 0, 0);
        break;
      case DIRECTION_LEFT:
        glTranslatef(distance / 2, 0, 0);
        break;
      case DIRECTION_UP:
        glTranslatef(0, distance / 2, 0);
        break;
      default:
        glTranslatef(0, -distance / 2, 0);
        break;
    }
  } else if (const VectorGlyph* first = layout.laidOutGlyph(0)) {
    // Puts the first glyph's near edge on the edge of its cell.
    switch (direction) {
      case DIRECTION_RIGHT:
        glTranslatef(-(1 - std::fabs(first->left)), 0, 0);
        break;
      case DIRECTION_LEFT:
        glTranslatef(1 - std::fabs(first->right), 0, 0);
        break;
      case DIRECTION_UP:
        glTranslatef(0, 1 - std::fabs(first->bottom), 0);
        break;
      default:
        glTranslatef(0, -(1 - std::fabs(first->top)), 0);
        break;
    }
  }

  for (size_t i = 0; i < layout.length(); i++) {
    if (!layout.isSpace(i) && drawer) drawer(static_cast<unsigned char>(text[i]));
    float amount;
    if (layout.step(i, &amount)) moveAlong(direction, layout.sense() * amount);
  }
  glPopMatrix();
}

void getStringBounds(int index, const char* text, float* minX, float* minY, float* maxX, float* maxY) {
  const VectorFont* font = fontInSlot(index);
  if (!font || !text) return;

  const VectorGlyph* first = font->symbols[static_cast<unsigned char>(text[0])].get();
  const float left = first ? first->left : 0.0f;
  float total = 0, lowest = 10, highest = -10;
  for (const char* p = text; *p; p++) {
    const VectorGlyph* glyph = *p == ' ' ? nullptr : font->symbols[static_cast<unsigned char>(*p)].get();
    if (!glyph) {
      total += fontRegistry.spaceSize;
      continue;
    }
    total += glyph->right - glyph->left + fontRegistry.symbolSpace;
    if (glyph->top > highest) highest = glyph->top;
    if (glyph->bottom < lowest) lowest = glyph->bottom;
  }
  if (maxX && maxY) {
    *maxX = total + left;
    *maxY = highest;
  }
  if (minX && minY) {
    *minX = left;
    *minY = lowest;
  }
}

void getCurrentStringBounds(const char* text, float* minX, float* minY, float* maxX, float* maxY) {
  getStringBounds(fontRegistry.currentFont, text, minX, minY, maxX, maxY);
}

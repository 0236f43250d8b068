// bitmap_font_drawing.cpp -- the calls on loaded bitmap fonts: choosing and unloading
// them, and drawing characters and strings with their display lists, plainly (in the
// caller's texturing and blending state) or masked in two passes (the glyphs opaque
// over the frame buffer, their black background left transparent). Strings may be
// centred on the origin. Without a usable current font nothing is drawn and no GL
// state is touched.
#include <GL/gl.h>

#include <cstring>

#include "font/bitmap_font.h"

namespace {

// The current font if it can be drawn with, else null.
BitmapFont* usableFont() {
  const int32_t current = fontRegistry.currentBitmapFont;
  if (current < 0 || current >= FONT_SLOT_COUNT) return nullptr;
  BitmapFont& font = fontRegistry.bitmapFonts[current];
  return font.inUse && font.widths ? &font : nullptr;
}

// The distance drawing `text` moves the origin: each glyph's width plus the spacing,
// summed in single precision.
float stringLength(const BitmapFont& font, const char* text, size_t count) {
  float length = 0;
  for (size_t i = 0; i < count; i++)
    length += font.widths[static_cast<unsigned char>(text[i])] + glyphSpacing;
  return length;
}

bool centered() { return fontRegistry.bitmapCentered == 1; }

// Calls the lists of `text`, shifted left by half its length when strings are centred.
void callStringLists(const BitmapFont& font, const char* text, size_t count, float length) {
  glListBase(font.listBase);
  if (centered()) {
    glPushMatrix();
    glTranslatef(-length / 2, 0, 0);
  }
  glCallLists(GLsizei(count), GL_UNSIGNED_BYTE, text);
  if (centered()) glPopMatrix();
}

// Starts the mask pass: multiplies the frame by the white-on-black-background mask.
void beginMaskPass(const BitmapFont& font) {
  glPushMatrix();
  glPushAttrib(GL_CURRENT_BIT);
  glColor3ub(255, 255, 255);
  glBlendFunc(GL_DST_COLOR, GL_ZERO);
  glBindTexture(GL_TEXTURE_2D, font.maskTexture);
}

void endMaskPass() {
  glPopAttrib();
  glPopMatrix();
}

// Starts the glyph pass: adds the glyph picture in the caller's colour.
void beginGlyphPass(const BitmapFont& font) {
  glBindTexture(GL_TEXTURE_2D, font.texture);
  glBlendFunc(GL_ONE, GL_ONE);
}

}  // namespace

int unloadBitmapFont(int slot) {
  if (slot < 0 || slot >= FONT_SLOT_COUNT || !fontRegistry.bitmapFonts[slot].inUse) return -1;
  BitmapFont& font = fontRegistry.bitmapFonts[slot];
  font.inUse = 0;
  glDeleteTextures(1, &font.texture);
  glDeleteTextures(1, &font.maskTexture);
  if (font.listBase) glDeleteLists(font.listBase, GLYPH_CODE_COUNT);
  font.texture = font.maskTexture = font.listBase = 0;
  font.widths.reset();
  if (fontRegistry.currentBitmapFont == slot) fontRegistry.currentBitmapFont = -1;
  return 0;
}

int unloadCurrentBitmapFont() { return unloadBitmapFont(fontRegistry.currentBitmapFont); }

int selectBitmapFont(int slot) {
  if (slot < 0 || slot >= FONT_SLOT_COUNT || !fontRegistry.bitmapFonts[slot].inUse) return -1;
  fontRegistry.currentBitmapFont = slot;
  return 0;
}

int32_t getCurrentBitmapFont() { return fontRegistry.currentBitmapFont; }

void beginBitmapText() {
  GLboolean texturing = GL_FALSE;
  glGetBooleanv(GL_TEXTURE_2D, &texturing);
  fontRegistry.savedTexturing = texturing;
  glEnable(GL_TEXTURE_2D);
  if (const BitmapFont* font = usableFont()) glBindTexture(GL_TEXTURE_2D, font->texture);
}

void endBitmapText() {
  if (fontRegistry.savedTexturing)
    glEnable(GL_TEXTURE_2D);
  else
    glDisable(GL_TEXTURE_2D);
}

void drawBitmapChar(unsigned char code) {
  if (const BitmapFont* font = usableFont()) glCallList(font->listBase + code);
}

void drawBitmapString(const char* text) {
  const BitmapFont* font = usableFont();
  if (!font || !text) return;
  const size_t count = std::strlen(text);
  callStringLists(*font, text, count, stringLength(*font, text, count));
}

void drawMaskedBitmapChar(unsigned char code) {
  const BitmapFont* font = usableFont();
  if (!font) return;
  beginMaskPass(*font);
  glCallList(font->listBase + code);
  endMaskPass();
  beginGlyphPass(*font);
  glCallList(font->listBase + code);
}

void drawMaskedBitmapString(const char* text) {
  const BitmapFont* font = usableFont();
  if (!font || !text) return;
  const size_t count = std::strlen(text);
  const float length = stringLength(*font, text, count);
  beginMaskPass(*font);
  callStringLists(*font, text, count, length);
  endMaskPass();
  beginGlyphPass(*font);
  callStringLists(*font, text, count, length);
}

void setBitmapCentering(uint8_t flag) { fontRegistry.bitmapCentered = flag; }

uint8_t getBitmapCentering() { return fontRegistry.bitmapCentered; }

void setBitmapRotation(float degrees) { fontRegistry.bitmapRotation = degrees; }

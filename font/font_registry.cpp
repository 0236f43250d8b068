// font_registry.cpp -- the font library's one global registry and the vector-font
// calls on it: loading fonts into the lowest empty of the 256 slots, unloading and
// choosing them, and the layout and drawing settings.
#include <new>

#include "font/font_library.h"

FontRegistry fontRegistry;

int loadFont(const char* path) {
  int slot = 0;
  while (slot < FONT_SLOT_COUNT && fontRegistry.fonts[slot]) slot++;
  if (slot == FONT_SLOT_COUNT) return -1;  // full: no file is opened

  std::unique_ptr<VectorFont>& entry = fontRegistry.fonts[slot];
  entry.reset(new (std::nothrow) VectorFont);
  if (!entry) return -1;
  if (readFontFile(path, entry.get()) != 0) {
    entry.reset();  // frees whatever glyphs were read before the fault
    return -1;
  }
  fontRegistry.currentFont = slot;
  return slot;
}

int unloadCurrentFont() {
  const int32_t current = fontRegistry.currentFont;
  if (current < 0 || current >= FONT_SLOT_COUNT || !fontRegistry.fonts[current]) return -1;
  fontRegistry.fonts[current].reset();  // the font owns its glyphs, each glyph its arrays
  fontRegistry.currentFont = -1;
  return 0;
}

int unloadFont(int index) {
  if (index < 0 || index >= FONT_SLOT_COUNT || !fontRegistry.fonts[index]) return -1;
  const int32_t remembered = fontRegistry.currentFont;
  fontRegistry.currentFont = index;
  unloadCurrentFont();
  fontRegistry.currentFont = index == remembered ? -1 : remembered;
  return 0;
}

int selectFont(int index) {
  if (index < 0 || index >= FONT_SLOT_COUNT || !fontRegistry.fonts[index]) return -1;
  fontRegistry.currentFont = index;
  return 0;
}

int32_t getCurrentFont() { return fontRegistry.currentFont; }

void setSymbolSpace(float space) { fontRegistry.symbolSpace = space; }

void setSpaceSize(float size) { fontRegistry.spaceSize = size; }

void setSymbolDepth(float depth) { fontRegistry.symbolDepth = depth; }

float getSymbolDepth() { return fontRegistry.symbolDepth; }

// The switch an option code names, or null for an unknown code.
static uint8_t* optionSwitch(int option) {
  switch (option) {
    case OPTION_MESSAGES:
      return &fontRegistry.messagesSwitch;
    case OPTION_TEXTURING:
      return &fontRegistry.texturingSwitch;
    case OPTION_CONTOURING:
      return &fontRegistry.contouringSwitch;
    case OPTION_CONSOLE_CURSOR:
      return &fontRegistry.console.cursorSwitch;
    default:
      return nullptr;
  }
}

void enableOption(int option) {
  if (uint8_t* target = optionSwitch(option)) *target = SWITCH_ON;
}

void disableOption(int option) {
  if (uint8_t* target = optionSwitch(option)) *target = SWITCH_OFF;
}

void setContourColor(float red, float green, float blue, float alpha) {
  fontRegistry.contourColor[0] = red;
  fontRegistry.contourColor[1] = green;
  fontRegistry.contourColor[2] = blue;
  fontRegistry.contourColor[3] = alpha;
}

void setDirection(int32_t direction) {
  if (direction >= DIRECTION_RIGHT && direction <= DIRECTION_DOWN) fontRegistry.direction = direction;
}

int32_t getDirection() { return fontRegistry.direction; }

void setCentering(int centered) { fontRegistry.centered = static_cast<uint8_t>(centered & 0xFF); }

uint8_t getCentering() { return fontRegistry.centered; }

void setRotation(float degrees) { fontRegistry.rotation = degrees; }

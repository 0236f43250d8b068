// title_screen.cpp -- draws the game's text in its vector font, in eye coordinates so
// that it stays fixed on the screen: the title screen or the head-up display, chosen
// by isPlaying at the moment of the call, and the credit line. The font is loaded
// afresh before each block of text; once the registry is full the loads stop reading
// the file and the last copy stays current.
//
// The font library lays each string out glyph by glyph under the model-view matrix;
// drawn as it goes, every glyph would be a draw of its own for the driver. Instead the
// glyphs' triangles are placed in eye coordinates as they are laid out, with the
// current colour, and all the text of a frame goes to the driver in one draw at the
// end, in the same order.
#include "render/title_screen.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "font/font_library.h"
#include "game/game_state.h"
#include "render/scene.h"

const char* const GAME_FONT_PATH = "fonts/techno1.glf";

namespace {

constexpr int BLACK = 0;
constexpr int WHITE = 7;

// The text of the frame so far: triangle corners in eye coordinates and their colours.
std::vector<float> textPositions, textColours;

// Glyph drawer for the layout: the glyph's filled triangles as drawSolidGlyph would
// send them, placed by the current model-view matrix.
void holdGlyph(unsigned char code) {
  const int32_t index = fontRegistry.currentFont;
  if (index < 0 || index >= FONT_SLOT_COUNT || !fontRegistry.fonts[index]) return;
  const VectorGlyph* glyph = fontRegistry.fonts[index]->symbols[code].get();
  if (!glyph) return;
  float m[16], colour[4];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  glGetFloatv(GL_CURRENT_COLOR, colour);
  for (int f = 0; f < glyph->facetCount; f++) {
    const uint8_t* corner = &glyph->facets[3 * f];
    if (corner[0] >= glyph->vertexCount || corner[1] >= glyph->vertexCount || corner[2] >= glyph->vertexCount)
      continue;
    for (int k = 0; k < 3; k++) {
      const GlyphVertex& v = glyph->vertices[corner[k]];
      for (int row = 0; row < 3; row++)
        textPositions.push_back(m[row] * v.x + m[4 + row] * v.y + m[12 + row]);
      textColours.insert(textColours.end(), colour, colour + 3);
    }
  }
}

// One string in the current font at the current place: held for the frame's one draw,
// unless the font's texturing or contouring is on (never in the game), which the font
// library's own drawing then does at once.
void textString(const char* text) {
  if (fontRegistry.texturingSwitch == SWITCH_ON || fontRegistry.contouringSwitch == SWITCH_ON) {
    drawString(text);
  } else {
    layoutString(text, holdGlyph);
  }
}

// Draws the held text under an identity model-view matrix, which it leaves as it was.
void drawHeldText() {
  if (textPositions.empty()) return;
  glPushMatrix();
  glLoadIdentity();
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, textPositions.data());
  glColorPointer(3, GL_FLOAT, 0, textColours.data());
  glDrawArrays(GL_TRIANGLES, 0, GLsizei(textPositions.size() / 3));
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  glPopMatrix();
  textPositions.clear();
  textColours.clear();
}

// Starts a block of text: the font, untextured glyphs, the colour, left-to-right
// writing.
void beginTextBlock(int colour) {
  loadFont(GAME_FONT_PATH);
  glBindTexture(GL_TEXTURE_2D, 0);
  glColor3fv(palette[colour]);
  setDirection(DIRECTION_RIGHT);
}

// One row of text: placed and scaled from the current matrix, which it leaves as it was.
void drawRow(const char* text, float x, float y, float z, float scaleX, float scaleY, float scaleZ) {
  glPushMatrix();
  glTranslatef(x, y, z);
  glScalef(scaleX, scaleY, scaleZ);
  textString(text);
  glPopMatrix();
}

void drawHeadUpDisplay() {
  char strTime[64];
  glPushMatrix();
  beginTextBlock(BLACK);
  glLoadIdentity();
  drawRow("Time", -0.05f, 1.6f, -3, 0.05f, 0.05f, 1);
  std::snprintf(strTime, sizeof strTime, "%.1f", double(elapsedTime));
  drawRow(strTime, -0.13f, 1.4f, -3, 0.11f, 0.18f, 1);
  drawRow("-Best Time-", -1.97f, 1.6f, -3, 0.05f, 0.05f, 1);
  std::snprintf(strTime, sizeof strTime, "%.1f", double(bestTime));
  drawRow(strTime, -1.96f, 1.4f, -3, 0.13f, 0.18f, 1);
  drawRow("sec.", -1.41f, 1.33f, -3, 0.07f, 0.07f, 1);
  glPopMatrix();
}

void drawTitleScreen() {
  glPushMatrix();
  beginTextBlock(WHITE);
  glLoadIdentity();

  glPushMatrix();
  glColor3fv(palette[std::rand() % PALETTE_SIZE]);  // a new colour every frame
  glTranslatef(-3.55f, 3.0f, -10);
  glScalef(1.7f, 1.7f, 1.5f);
  textString("Zarnok!");
  glPopMatrix();

  glPushMatrix();
  if (promptVisible) {
    glColor3fv(palette[WHITE]);
    glTranslatef(-2.9f, -2.6f, -10);
    glScalef(0.5f, 0.5f, 0.5f);
    textString("Press Any Key");
  }
  glPopMatrix();
  glPopMatrix();
}

}  // namespace

void drawText() {
  finishScene();  // the scene lies behind the text
  if (isPlaying) {
    drawHeadUpDisplay();
  } else {
    drawTitleScreen();
  }
  // The credit line; its transform stays on the matrix until the next frame's camera.
  beginTextBlock(isPlaying ? BLACK : WHITE);
  glLoadIdentity();
  glTranslatef(-0.65f, -1.6f, -3);
  glScalef(0.05f, 0.05f, 1);
  textString("- Trelvisk -");
  drawHeldText();
}

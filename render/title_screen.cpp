// title_screen.cpp -- draws the game's text in its vector font, in eye coordinates so
// that it stays fixed on the screen: the title screen or the head-up display, chosen
// by isPlaying at the moment of the call, and the credit line. The font is loaded
// afresh before each block of text; once the registry is full the loads stop reading
// the file and the last copy stays current.
#include "render/title_screen.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "font/font_library.h"
#include "game/game_state.h"
#include "render/scene.h"

const char* const GAME_FONT_PATH = "fonts/techno1.glf";

namespace {

constexpr int BLACK = 0;
constexpr int WHITE = 7;

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
  drawString(text);
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
  drawString("Zarnok!");
  glPopMatrix();

  glPushMatrix();
  if (promptVisible) {
    glColor3fv(palette[WHITE]);
    glTranslatef(-2.9f, -2.6f, -10);
    glScalef(0.5f, 0.5f, 0.5f);
    drawString("Press Any Key");
  }
  glPopMatrix();
  glPopMatrix();
}

}  // namespace

void drawText() {
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
  drawString("- Trelvisk -");
}

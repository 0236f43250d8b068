// keyboard_steering.cpp -- the keys players expect beyond the mouse: the left and
// right arrow keys steer exactly as holding the left and right mouse buttons does
// (a press is a button press, a release is "any other event"), and F11 switches
// between the window and full screen.
#include <GL/freeglut.h>

#include "game/game_state.h"

void specialKeyPressed(int key, int x, int y) {
  if (key == GLUT_KEY_LEFT) {
    mouseButton(0, 0, x, y);
  } else if (key == GLUT_KEY_RIGHT) {
    mouseButton(2, 0, x, y);
  } else if (key == GLUT_KEY_F11) {
    glutFullScreenToggle();
  }
}

void specialKeyReleased(int key, int x, int y) {
  // As with the mouse, releasing either arrow ends the steering, even while the other
  // one is still held.
  if (key == GLUT_KEY_LEFT) mouseButton(0, 1, x, y);
  if (key == GLUT_KEY_RIGHT) mouseButton(2, 1, x, y);
}

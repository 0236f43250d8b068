// main.cpp -- program entry: opens the 1024 x 768 window, runs the start-up,
// registers the callbacks and hands control to the GLUT main loop. Closing the
// window makes the loop return, and the game then cleans up and exits with 0.
// `zarnok --version` alone prints the version and exits without opening a window.
#include <GL/freeglut.h>

#include <cstdio>
#include <cstring>

#include "game/game_state.h"
#include "platform/platform.h"

int main(int commandCount, char** commandLine) {
  if (commandCount == 2 && std::strcmp(commandLine[1], "--version") == 0) {
    std::printf("zarnok %s\n", ZARNOK_VERSION);
    return 0;
  }
  // Any other command line is ignored; GLUT gets none of it.
  int argc = 1;
  char programName[] = "zarnok";
  char* argv[] = {programName, nullptr};
  glutInit(&argc, argv);

  glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(1024, 768);
  glutCreateWindow("Trelvisk");
  // The window's context exists now, and with it a software renderer's threads.
  spreadRasterThreads(reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

  initGame();

  glutDisplayFunc(displayFrame);
  glutReshapeFunc(reshapeWindow);
  glutKeyboardFunc(keyPressed);
  glutMouseFunc(mouseButton);
  glutIdleFunc(idleTick);
  glutTimerFunc(100, timerTick, 0);
  glutSpecialFunc(specialKeyPressed);
  glutSpecialUpFunc(specialKeyReleased);

  glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
  glutMainLoop();

  shutdownGame();
  return 0;
}

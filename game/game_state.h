// game_state.h -- the game's global state: session flags, clock, best time, player
// and camera, the tuning constants, the obstacle field and the sound player; and the
// operations of the session, the steering and the motion that work on it.
#pragma once

#include <cstdint>

class SoundPlayer;

struct Vec3 {
  float x, y, z;
};

// One rocking block of the obstacle field.
struct Obstacle {
  float x;            // lateral position
  float y;            // height: -0.2 once placed
  float z;            // position along the track (smaller is farther ahead)
  int32_t texture;    // texture name 3..8
  int32_t rollAngle;  // degrees, a whole number
  float rollSpeed;    // degrees per drawn frame; sign gives the direction
};

constexpr int OBSTACLE_COUNT = 80;

// Session and clock.
extern bool isPlaying;      // a round is in progress; false = title screen
extern bool promptVisible;  // the title screen shows "Press Any Key"
extern int32_t blinkTicks;  // title-screen timer ticks since the prompt last toggled
extern float elapsedTime;   // survival clock, seconds
extern float bestTime;      // best survival time since start, seconds

// Player and camera.
extern Vec3 playerPos;       // x lateral, y eye height, z along the track
extern float playerRoll;     // degrees, counter-clockwise as seen from the camera
extern int32_t steerButton;  // 0 left, 2 right, -1 after any other mouse event
extern int32_t buttonState;  // 0 while a steering button is held
extern Vec3 cameraEye;
extern Vec3 cameraCenter;
extern Vec3 cameraUp;

// Tuning constants (variables that nothing changes).
extern float forwardStep;       // 1.2 per idle tick
extern float steerStep;         // 0.6 per idle tick
extern float rollStep;          // 3.0 degrees per idle tick
extern float cameraRollStep;    // 0.02 per idle tick
extern float viewDepth;         // 130.0
extern int32_t trackHalfWidth;  // 140
extern int32_t trackNearZ;      // 10
extern int32_t trackFarZ;       // -250
extern float hitRadius;         // 0.5

// Owned objects.
extern Obstacle* obstacles[OBSTACLE_COUNT];  // the field, created by initGame
extern SoundPlayer* soundPlayer;             // the one sound player, created by initGame

// Session and main loop.
void initGame();                                   // one-time start-up, after the window exists
void displayFrame();                               // GLUT display callback
void reshapeWindow(int width, int height);         // GLUT reshape callback
void keyPressed(unsigned char key, int x, int y);  // GLUT keyboard callback
void idleTick();                                   // GLUT idle callback, paced to 60 a second
void timerTick(int value);                         // GLUT timer callback, every 100 ms
void switchMusic();                                // restart the music that musicMode names
void shutdownGame();                               // free the obstacles and the sound player
void requestRedisplay();                           // glutPostRedisplay while the window exists

// Steering and forward motion.
void mouseButton(int button, int state, int x, int y);  // GLUT mouse callback
void steer();                                           // first step of every idle tick
void advance();                                         // second step of every idle tick

// Arrow keys and F11.
void specialKeyPressed(int key, int x, int y);   // GLUT special-key callback
void specialKeyReleased(int key, int x, int y);  // GLUT special-key-up callback

// Puts every variable above back to its value at program load (tests use it; the
// owned objects must have been freed first).
void restoreInitialGameState();

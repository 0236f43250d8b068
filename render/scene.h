// scene.h -- the fixed OpenGL state the whole game draws under (depth test, texturing,
// polygon modes, linear fog), the colour table, the following camera and the 3D scene
// of a round: ground, back wall, obstacles, the player's block and the score boards.
#pragma once

struct Obstacle;

constexpr int PALETTE_SIZE = 14;
extern const float palette[PALETTE_SIZE][3];  // RGB colours for quads, block faces and text
extern const float FOG_COLOR[4];              // pale sand, RGBA

void setupRenderState();                            // once at start-up: texturing, depth, polygon modes, fog
void setupCamera();                                 // clear the frame and load the camera transform
void drawGround();                                  // the textured ground quad on y = 0
void drawBackWall();                                // the wall that stays 110 units ahead of the player
void drawRolledObstacle(const Obstacle& obstacle);  // one obstacle's block at its roll
void drawPlayer();                                  // the player's block 7 units ahead of the eye, banked
void drawScoreBoards();                             // the time and record boards, fixed on the screen

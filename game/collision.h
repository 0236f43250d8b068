// collision.h -- the once-per-frame hit test of the player against the obstacle
// field, and the end of a round that a hit sets off.
#pragma once

void checkCollisions();  // test all 80 obstacles; a hit ends the round
void endRound();         // reset player and field, best time, crash, pause, title music
